#pragma once
// A push button whose caption wraps at blanks onto more lines, centred, when
// the button is too narrow for one line. text() and the accessible name stay
// the whole caption.
#include <QPushButton>

namespace vela {

class WrappingButton : public QPushButton {
    Q_OBJECT

public:
    explicit WrappingButton(QWidget* parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace vela
