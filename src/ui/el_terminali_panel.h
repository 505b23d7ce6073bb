#pragma once
// Frame1 "El Terminali Komutları": the commands to one hand terminal.
#include <QGroupBox>
#include <memory>

#include "protocol/field_value.h"
#include "protocol/frame.h"

namespace vela {

namespace Ui {
class ElTerminaliPanel;
}

class ElTerminaliPanel : public QGroupBox {
    Q_OBJECT

public:
    explicit ElTerminaliPanel(QWidget* parent = nullptr);
    ~ElTerminaliPanel() override;

signals:
    // Frames ready for Data_Gonder.
    void send(const vela::Sequence& frames);

private:
    void Command2_Click();
    void Command5_Click();
    void Command30_Click();
    void Command35_Click();
    // Reset, nobody waiting and the display commands carry nothing but the
    // terminal number.
    void sendBare(Frame (*build)(Byte terminal));

    Byte terminalNumber(FieldReader& fields) const;  // Text1, always read first
    void offer(const Result<Frame>& frame);

    std::unique_ptr<Ui::ElTerminaliPanel> ui;
};

}  // namespace vela
