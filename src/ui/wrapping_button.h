#pragma once
// A push button whose caption wraps at blanks onto more lines, centred, when
// the button is too narrow for one line. text() and the accessible name stay
// the whole caption.
#include <QPushButton>
#include <QStringList>

namespace vela {

class WrappingButton : public QPushButton {
    Q_OBJECT

public:
    explicit WrappingButton(QWidget* parent = nullptr);

    // The caption broken at blanks into lines no wider than `width` where the
    // words allow it (the caption's leading blanks count on the first line);
    // each line is returned without its outer blanks, inner ones kept.
    static QStringList captionLines(const QFontMetrics& metrics, const QString& caption, int width);

    // Where the caption is drawn, and whether all of it fits there.
    QRect captionArea() const;
    bool captionFits() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace vela
