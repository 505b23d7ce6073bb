#include "ui/dot_matrix_panel.h"

#include <QPushButton>
#include <utility>

#include "protocol/commands.h"
#include "ui_dot_matrix_panel.h"

namespace vela {

DotMatrixPanel::DotMatrixPanel(QWidget* parent) : DevicePanel(parent) {
    Ui::DotMatrixPanel ui;
    ui.setupUi(this);
    // The display's ID is always read first.
    const Field id{ui.Text8, ui.Label15};
    using dot_matrix::Mode;
    const std::pair<QAbstractButton*, Mode> modes[] = {
        {ui.Command11, Mode::FlashOnChimeOn},
        {ui.Command12, Mode::FlashOnChimeOff},
        {ui.Command13, Mode::FlashOffChimeOn},
        {ui.Command10, Mode::DisplayOn},
        {ui.Command8, Mode::DisplayOff},
        {ui.Command41, Mode::StaticTextAfterAWhile},
        {ui.Command40, Mode::ScrollingTextAfterAWhile},
        {ui.Command43, Mode::StaticTextContinuously},
        {ui.Command42, Mode::ScrollingTextContinuously},
    };
    for (const auto& [button, mode] : modes) {
        onClick(button, [id, mode = mode](FieldReader& fields) {
            return fields.result(dot_matrix::mode(read<Byte>(fields, id), mode));
        });
    }
    const std::pair<QAbstractButton*, Arrow> arrows[] = {
        {ui.Command16, Arrow::Up},   {ui.Command17, Arrow::Down}, {ui.Command18, Arrow::Right},
        {ui.Command19, Arrow::Left}, {ui.Command20, Arrow::Off},
    };
    for (const auto& [button, arrow] : arrows) {
        onClick(button, [id, arrow = arrow](FieldReader& fields) {
            return fields.result(dot_matrix::arrow(read<Byte>(fields, id), arrow));
        });
    }
    onClick(ui.Command37, dot_matrix::buffer_length, id, Field{ui.Text21, ui.Label50});
    onClick(ui.Command38, dot_matrix::frequencies, id, Field{ui.Text22, ui.Label51}, Field{ui.Text23, ui.Label52});
    onClick(ui.Command39, dot_matrix::brightness, id, Field{ui.Text24, ui.Label53});

    // The transfer sleeps on this thread between its frames; the button stays
    // disabled until the last frame has been handed to the port.
    QPushButton* transfer = ui.Command14;
    const QLineEdit* textField = ui.Text9;
    connect(transfer, &QPushButton::clicked, this, [this, transfer, textField, id] {
        transfer->setEnabled(false);
        FieldReader fields;
        const Byte display = read<Byte>(fields, id);
        run(transfer, fields.ok() ? dot_matrix::text_transfer(display, text(textField)) : fields.result(Sequence{}));
        transfer->setEnabled(true);
    });
}

}  // namespace vela
