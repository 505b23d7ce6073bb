#include "ui/genel_komutlar.h"

#include "protocol/commands.h"
#include "protocol/field_value.h"
#include "ui/console_style.h"
#include "ui/panel_fields.h"
#include "ui_genel_komutlar.h"

namespace vela {

GenelKomutlar::GenelKomutlar(QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::GenelKomutlar>()) {
    ui->setupUi(this);
    ui->Label10->setFont(headingFont(16));
    connect(ui->Command3, &QPushButton::clicked, this, &GenelKomutlar::Command3_Click);
    connect(ui->Adres_Yukle, &QPushButton::clicked, this, &GenelKomutlar::Adres_Yukle_Click);
}

GenelKomutlar::~GenelKomutlar() = default;

void GenelKomutlar::Command3_Click() { emit send(Sequence{Step{general::global_reset()}}); }

void GenelKomutlar::Adres_Yukle_Click() {
    FieldReader fields;
    const Byte address = fields.byte(fieldText(ui->Text20), captionText(ui->Label49));
    if (auto frames = acceptedFrames(this, fields.result(general::load_address(address)))) emit send(*frames);
}

}  // namespace vela
