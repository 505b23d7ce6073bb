#pragma once
// Frame4 "Ana Tablo Komutları": KU enable and disable, direction arrows and
// the scroll delay of one main board.
#include <QGroupBox>
#include <memory>

#include "protocol/commands.h"
#include "protocol/field_value.h"

namespace vela {

namespace Ui {
class AnaTabloPanel;
}

class AnaTabloPanel : public QGroupBox {
    Q_OBJECT

public:
    explicit AnaTabloPanel(QWidget* parent = nullptr);
    ~AnaTabloPanel() override;

signals:
    // Frames ready for Data_Gonder.
    void send(const vela::Sequence& frames);

private:
    void sendKu(Frame (*build)(Byte board, Byte ku));  // Command26, Command21
    void sendArrow(Arrow arrow);                        // Command27, 25, 24, 23, 22
    void Command36_Click();

    Byte boardNumber(FieldReader& fields) const;  // Text14, always read first
    void offer(const Result<Frame>& frame);

    std::unique_ptr<Ui::AnaTabloPanel> ui;
};

}  // namespace vela
