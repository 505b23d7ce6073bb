#include "ui/dot_matrix_panel.h"

#include <utility>

#include "ui/panel_fields.h"
#include "ui_dot_matrix_panel.h"

namespace vela {

DotMatrixPanel::DotMatrixPanel(QWidget* parent)
    : QGroupBox(parent), ui(std::make_unique<Ui::DotMatrixPanel>()) {
    ui->setupUi(this);
    using dot_matrix::Mode;
    const std::pair<QPushButton*, Mode> modes[] = {
        {ui->Command11, Mode::FlashOnChimeOn},
        {ui->Command12, Mode::FlashOnChimeOff},
        {ui->Command13, Mode::FlashOffChimeOn},
        {ui->Command10, Mode::DisplayOn},
        {ui->Command8, Mode::DisplayOff},
        {ui->Command41, Mode::StaticTextAfterAWhile},
        {ui->Command40, Mode::ScrollingTextAfterAWhile},
        {ui->Command43, Mode::StaticTextContinuously},
        {ui->Command42, Mode::ScrollingTextContinuously},
    };
    for (const auto& [button, mode] : modes) {
        connect(button, &QPushButton::clicked, this, [this, mode = mode] { sendMode(mode); });
    }
    const std::pair<QPushButton*, Arrow> arrows[] = {
        {ui->Command16, Arrow::Up},   {ui->Command17, Arrow::Down}, {ui->Command18, Arrow::Right},
        {ui->Command19, Arrow::Left}, {ui->Command20, Arrow::Off},
    };
    for (const auto& [button, arrow] : arrows) {
        connect(button, &QPushButton::clicked, this, [this, arrow = arrow] { sendArrow(arrow); });
    }
    connect(ui->Command37, &QPushButton::clicked, this, &DotMatrixPanel::Command37_Click);
    connect(ui->Command38, &QPushButton::clicked, this, &DotMatrixPanel::Command38_Click);
    connect(ui->Command39, &QPushButton::clicked, this, &DotMatrixPanel::Command39_Click);
    connect(ui->Command14, &QPushButton::clicked, this, &DotMatrixPanel::Command14_Click);
}

DotMatrixPanel::~DotMatrixPanel() = default;

Byte DotMatrixPanel::displayId(FieldReader& fields) const {
    return fields.byte(fieldText(ui->Text8), captionText(ui->Label15));
}

void DotMatrixPanel::offer(const Result<Frame>& frame) {
    if (auto frames = acceptedFrames(this, frame)) emit send(*frames);
}

void DotMatrixPanel::sendMode(dot_matrix::Mode mode) {
    FieldReader fields;
    const Byte id = displayId(fields);
    offer(fields.result(dot_matrix::mode(id, mode)));
}

void DotMatrixPanel::sendArrow(Arrow arrow) {
    FieldReader fields;
    const Byte id = displayId(fields);
    offer(fields.result(dot_matrix::arrow(id, arrow)));
}

void DotMatrixPanel::Command37_Click() {
    FieldReader fields;
    const Byte id = displayId(fields);
    const Byte length = fields.byte(fieldText(ui->Text21), captionText(ui->Label50));
    offer(fields.result(dot_matrix::buffer_length(id, length)));
}

void DotMatrixPanel::Command38_Click() {
    FieldReader fields;
    const Byte id = displayId(fields);
    const Byte fixed = fields.byte(fieldText(ui->Text22), captionText(ui->Label51));
    const Byte scrolling = fields.byte(fieldText(ui->Text23), captionText(ui->Label52));
    offer(fields.result(dot_matrix::frequencies(id, fixed, scrolling)));
}

void DotMatrixPanel::Command39_Click() {
    FieldReader fields;
    const Byte id = displayId(fields);
    const Byte brightness = fields.byte(fieldText(ui->Text24), captionText(ui->Label53));
    offer(fields.result(dot_matrix::brightness(id, brightness)));
}

// The transfer sleeps on this thread between its frames; the button stays
// disabled until the last frame has been handed to the port.
void DotMatrixPanel::Command14_Click() {
    ui->Command14->setEnabled(false);
    FieldReader fields;
    const Byte id = displayId(fields);
    const Result<Sequence> transfer =
        fields.ok() ? dot_matrix::text_transfer(id, fieldText(ui->Text9)) : fields.result(Sequence{});
    if (auto frames = acceptedFrames(this, transfer)) emit send(*frames);
    ui->Command14->setEnabled(true);
}

}  // namespace vela
