#include "ui/zil_panel.h"

#include "protocol/commands.h"
#include "ui_zil_panel.h"

namespace vela {

ZilPanel::ZilPanel(QWidget* parent) : QGroupBox(parent), ui(std::make_unique<Ui::ZilPanel>()) {
    ui->setupUi(this);
    connect(ui->Command34, &QPushButton::clicked, this, [this] { emit send(Sequence{Step{chime::on()}}); });
    connect(ui->Command28, &QPushButton::clicked, this, [this] { emit send(Sequence{Step{chime::off()}}); });
}

ZilPanel::~ZilPanel() = default;

}  // namespace vela
