#include "ui/bilet_makinesi_panel.h"

#include "protocol/commands.h"
#include "ui_bilet_makinesi_panel.h"

namespace vela {

BiletMakinesiPanel::BiletMakinesiPanel(QWidget* parent) : DevicePanel(parent) {
    Ui::BiletMakinesiPanel ui;
    ui.setupUi(this);
    // The machine's number is always read first.
    const Field machine{ui.Text5, ui.Label31};
    onClick(ui.Command9, ticket_machine::first_ticket, machine, Field{ui.Text6, ui.Label30},
            Field{ui.Text13, ui.Label24});
    onClick(ui.Command6, ticket_machine::second_ticket, machine, Field{ui.Text4, ui.Label12},
            Field{ui.Text17, ui.Label46});
    onClick(ui.Command7, ticket_machine::no_ticket, machine);
    onClick(ui.Command15, ticket_machine::load_ticket_data, machine, Field{ui.Text11, ui.Label21},
            Field{ui.Text10, ui.Label17}, Field{ui.Text12, ui.Label22});
}

}  // namespace vela
