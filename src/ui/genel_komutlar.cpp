#include "ui/genel_komutlar.h"

#include "protocol/commands.h"
#include "ui/console_style.h"
#include "ui_genel_komutlar.h"

namespace vela {

GenelKomutlar::GenelKomutlar(QWidget* parent) : DevicePanel(parent) {
    Ui::GenelKomutlar ui;
    ui.setupUi(this);
    ui.Label10->setFont(headingFont(16));
    onClick(ui.Command3, general::global_reset);
    onClick(ui.Adres_Yukle, general::load_address, Field{ui.Text20, ui.Label49});
}

void GenelKomutlar::paintEvent(QPaintEvent* event) { QWidget::paintEvent(event); }

}  // namespace vela
