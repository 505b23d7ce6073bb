#pragma once
// Frame5 "Ding-Dong Zil Komutları": the chime on and off, fixed frames.
#include <QGroupBox>
#include <memory>

#include "protocol/frame.h"

namespace vela {

namespace Ui {
class ZilPanel;
}

class ZilPanel : public QGroupBox {
    Q_OBJECT

public:
    explicit ZilPanel(QWidget* parent = nullptr);
    ~ZilPanel() override;

signals:
    // Frames ready for Data_Gonder.
    void send(const vela::Sequence& frames);

private:
    std::unique_ptr<Ui::ZilPanel> ui;
};

}  // namespace vela
