#pragma once
// Frame2 "Bilet Makinesi Komutları": the commands to one ticket machine.
#include <QGroupBox>
#include <memory>

#include "protocol/field_value.h"
#include "protocol/frame.h"

namespace vela {

namespace Ui {
class BiletMakinesiPanel;
}

class BiletMakinesiPanel : public QGroupBox {
    Q_OBJECT

public:
    explicit BiletMakinesiPanel(QWidget* parent = nullptr);
    ~BiletMakinesiPanel() override;

signals:
    // Frames ready for Data_Gonder.
    void send(const vela::Sequence& frames);

private:
    void Command9_Click();
    void Command6_Click();
    void Command7_Click();
    void Command15_Click();

    Byte machineNumber(FieldReader& fields) const;  // Text5, always read first
    void offer(const Result<Frame>& frame);

    std::unique_ptr<Ui::BiletMakinesiPanel> ui;
};

}  // namespace vela
