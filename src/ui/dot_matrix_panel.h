#pragma once
// Frame3 "Dot Matrix Display Komutları": display control, text modes, arrows,
// settings and the character-by-character text transfer to one display.
#include <QGroupBox>
#include <memory>

#include "protocol/commands.h"
#include "protocol/field_value.h"

namespace vela {

namespace Ui {
class DotMatrixPanel;
}

class DotMatrixPanel : public QGroupBox {
    Q_OBJECT

public:
    explicit DotMatrixPanel(QWidget* parent = nullptr);
    ~DotMatrixPanel() override;

signals:
    // Frames ready for Data_Gonder; the text transfer's carry their pauses.
    void send(const vela::Sequence& frames);

private:
    void sendMode(dot_matrix::Mode mode);  // Command11, 12, 13, 10, 8, 41, 40, 43, 42
    void sendArrow(Arrow arrow);           // Command16 to Command20
    void Command37_Click();
    void Command38_Click();
    void Command39_Click();
    void Command14_Click();

    Byte displayId(FieldReader& fields) const;  // Text8, always read first
    void offer(const Result<Frame>& frame);

    std::unique_ptr<Ui::DotMatrixPanel> ui;
};

}  // namespace vela
