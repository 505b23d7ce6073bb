#include "ui/zil_panel.h"

#include "protocol/commands.h"
#include "ui_zil_panel.h"

namespace vela {

ZilPanel::ZilPanel(QWidget* parent) : DevicePanel(parent) {
    Ui::ZilPanel ui;
    ui.setupUi(this);
    onClick(ui.Command34, chime::on);
    onClick(ui.Command28, chime::off);
}

}  // namespace vela
