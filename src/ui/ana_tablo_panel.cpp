#include "ui/ana_tablo_panel.h"

#include <utility>

#include "ui/panel_fields.h"
#include "ui_ana_tablo_panel.h"

namespace vela {

AnaTabloPanel::AnaTabloPanel(QWidget* parent)
    : QGroupBox(parent), ui(std::make_unique<Ui::AnaTabloPanel>()) {
    ui->setupUi(this);
    connect(ui->Command26, &QPushButton::clicked, this, [this] { sendKu(main_board::ku_enable); });
    connect(ui->Command21, &QPushButton::clicked, this, [this] { sendKu(main_board::ku_disable); });
    const std::pair<QPushButton*, Arrow> arrows[] = {
        {ui->Command27, Arrow::Up},   {ui->Command25, Arrow::Down}, {ui->Command24, Arrow::Right},
        {ui->Command23, Arrow::Left}, {ui->Command22, Arrow::Off},
    };
    for (const auto& [button, arrow] : arrows) {
        connect(button, &QPushButton::clicked, this, [this, arrow = arrow] { sendArrow(arrow); });
    }
    connect(ui->Command36, &QPushButton::clicked, this, &AnaTabloPanel::Command36_Click);
}

AnaTabloPanel::~AnaTabloPanel() = default;

Byte AnaTabloPanel::boardNumber(FieldReader& fields) const {
    return fields.byte(fieldText(ui->Text14), captionText(ui->Label35));
}

void AnaTabloPanel::offer(const Result<Frame>& frame) {
    if (auto frames = acceptedFrames(this, frame)) emit send(*frames);
}

void AnaTabloPanel::sendKu(Frame (*build)(Byte board, Byte ku)) {
    FieldReader fields;
    const Byte board = boardNumber(fields);
    const Byte ku = fields.byte(fieldText(ui->Text15), captionText(ui->Label39));
    offer(fields.result(build(board, ku)));
}

void AnaTabloPanel::sendArrow(Arrow arrow) {
    FieldReader fields;
    const Byte board = boardNumber(fields);
    const Byte ku = fields.byte(fieldText(ui->Text15), captionText(ui->Label39));
    offer(fields.result(main_board::arrow(board, ku, arrow)));
}

void AnaTabloPanel::Command36_Click() {
    FieldReader fields;
    const Byte board = boardNumber(fields);
    const Byte seconds = fields.byte(fieldText(ui->Text19), captionText(ui->Label47));
    offer(fields.result(main_board::scroll_delay(board, seconds)));
}

}  // namespace vela
