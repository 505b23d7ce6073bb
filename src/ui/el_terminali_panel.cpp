#include "ui/el_terminali_panel.h"

#include "protocol/commands.h"
#include "ui_el_terminali_panel.h"

namespace vela {

ElTerminaliPanel::ElTerminaliPanel(QWidget* parent) : DevicePanel(parent) {
    Ui::ElTerminaliPanel ui;
    ui.setupUi(this);
    // The terminal's number is always read first.
    const Field terminal{ui.Text1, ui.Label3};
    onClick(ui.Command1, hand_terminal::reset, terminal);
    onClick(ui.Command4, hand_terminal::nobody_waiting, terminal);
    onClick(ui.Command31, hand_terminal::display_off, terminal);
    onClick(ui.Command32, hand_terminal::display_dashes, terminal);
    onClick(ui.Command33, hand_terminal::display_on, terminal);
    onClick(ui.Command2, hand_terminal::show_number, terminal, Field{ui.Text2, ui.Label1});
    onClick(ui.Command5, hand_terminal::waiting_count, terminal, Field{ui.Text3, ui.Label6});
    onClick(ui.Command30, hand_terminal::flash_count, terminal, Field{ui.Text16, ui.Label41});
    const Field minutes{ui.Text18, ui.Label9};
    const Field seconds{ui.Text25, ui.Label54};
    onClick(ui.Command35, [terminal, minutes, seconds](FieldReader& fields) {
        const Byte number = read<Byte>(fields, terminal);
        const Byte m = fields.scroll_time(text(minutes.text), caption(minutes));
        const Byte s = fields.scroll_time(text(seconds.text), caption(seconds));
        return fields.result(hand_terminal::scroll_time(number, m, s));
    });
}

}  // namespace vela
