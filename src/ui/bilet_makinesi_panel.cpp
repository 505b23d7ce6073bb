#include "ui/bilet_makinesi_panel.h"

#include "protocol/commands.h"
#include "ui/panel_fields.h"
#include "ui_bilet_makinesi_panel.h"

namespace vela {

BiletMakinesiPanel::BiletMakinesiPanel(QWidget* parent)
    : QGroupBox(parent), ui(std::make_unique<Ui::BiletMakinesiPanel>()) {
    ui->setupUi(this);
    connect(ui->Command9, &QPushButton::clicked, this, &BiletMakinesiPanel::Command9_Click);
    connect(ui->Command6, &QPushButton::clicked, this, &BiletMakinesiPanel::Command6_Click);
    connect(ui->Command7, &QPushButton::clicked, this, &BiletMakinesiPanel::Command7_Click);
    connect(ui->Command15, &QPushButton::clicked, this, &BiletMakinesiPanel::Command15_Click);
}

BiletMakinesiPanel::~BiletMakinesiPanel() = default;

Byte BiletMakinesiPanel::machineNumber(FieldReader& fields) const {
    return fields.byte(fieldText(ui->Text5), captionText(ui->Label31));
}

void BiletMakinesiPanel::offer(const Result<Frame>& frame) {
    if (auto frames = acceptedFrames(this, frame)) emit send(*frames);
}

void BiletMakinesiPanel::Command9_Click() {
    FieldReader fields;
    const Byte machine = machineNumber(fields);
    const auto ticket = fields.word(fieldText(ui->Text6), captionText(ui->Label30));
    const Byte which = fields.byte(fieldText(ui->Text13), captionText(ui->Label24));
    offer(fields.result(ticket_machine::first_ticket(machine, ticket, which)));
}

void BiletMakinesiPanel::Command6_Click() {
    FieldReader fields;
    const Byte machine = machineNumber(fields);
    const auto waiting = fields.word(fieldText(ui->Text4), captionText(ui->Label12));
    const Byte repeats = fields.byte(fieldText(ui->Text17), captionText(ui->Label46));
    offer(fields.result(ticket_machine::second_ticket(machine, waiting, repeats)));
}

void BiletMakinesiPanel::Command7_Click() {
    FieldReader fields;
    const Byte machine = machineNumber(fields);
    offer(fields.result(ticket_machine::no_ticket(machine)));
}

void BiletMakinesiPanel::Command15_Click() {
    FieldReader fields;
    const Byte machine = machineNumber(fields);
    const Byte data = fields.byte(fieldText(ui->Text11), captionText(ui->Label21));
    const Byte address = fields.byte(fieldText(ui->Text10), captionText(ui->Label17));
    const Byte sequence = fields.byte(fieldText(ui->Text12), captionText(ui->Label22));
    offer(fields.result(ticket_machine::load_ticket_data(machine, data, address, sequence)));
}

}  // namespace vela
