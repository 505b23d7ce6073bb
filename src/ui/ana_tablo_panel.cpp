#include "ui/ana_tablo_panel.h"

#include <utility>

#include "protocol/commands.h"
#include "ui_ana_tablo_panel.h"

namespace vela {

AnaTabloPanel::AnaTabloPanel(QWidget* parent) : DevicePanel(parent) {
    Ui::AnaTabloPanel ui;
    ui.setupUi(this);
    // The board's number is always read first.
    const Field board{ui.Text14, ui.Label35};
    const Field ku{ui.Text15, ui.Label39};
    onClick(ui.Command26, main_board::ku_enable, board, ku);
    onClick(ui.Command21, main_board::ku_disable, board, ku);
    onClick(ui.Command36, main_board::scroll_delay, board, Field{ui.Text19, ui.Label47});
    const std::pair<QAbstractButton*, Arrow> arrows[] = {
        {ui.Command27, Arrow::Up},   {ui.Command25, Arrow::Down}, {ui.Command24, Arrow::Right},
        {ui.Command23, Arrow::Left}, {ui.Command22, Arrow::Off},
    };
    for (const auto& [button, arrow] : arrows) {
        onClick(button, [board, ku, arrow = arrow](FieldReader& fields) {
            const Byte boardNumber = read<Byte>(fields, board);
            const Byte kuNumber = read<Byte>(fields, ku);
            return fields.result(main_board::arrow(boardNumber, kuNumber, arrow));
        });
    }
}

}  // namespace vela
