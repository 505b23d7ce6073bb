#include "ui/el_terminali_panel.h"

#include "protocol/commands.h"
#include "ui/panel_fields.h"
#include "ui_el_terminali_panel.h"

namespace vela {

ElTerminaliPanel::ElTerminaliPanel(QWidget* parent)
    : QGroupBox(parent), ui(std::make_unique<Ui::ElTerminaliPanel>()) {
    ui->setupUi(this);
    connect(ui->Command1, &QPushButton::clicked, this, [this] { sendBare(hand_terminal::reset); });
    connect(ui->Command2, &QPushButton::clicked, this, &ElTerminaliPanel::Command2_Click);
    connect(ui->Command4, &QPushButton::clicked, this, [this] { sendBare(hand_terminal::nobody_waiting); });
    connect(ui->Command5, &QPushButton::clicked, this, &ElTerminaliPanel::Command5_Click);
    connect(ui->Command30, &QPushButton::clicked, this, &ElTerminaliPanel::Command30_Click);
    connect(ui->Command31, &QPushButton::clicked, this, [this] { sendBare(hand_terminal::display_off); });
    connect(ui->Command32, &QPushButton::clicked, this, [this] { sendBare(hand_terminal::display_dashes); });
    connect(ui->Command33, &QPushButton::clicked, this, [this] { sendBare(hand_terminal::display_on); });
    connect(ui->Command35, &QPushButton::clicked, this, &ElTerminaliPanel::Command35_Click);
}

ElTerminaliPanel::~ElTerminaliPanel() = default;

Byte ElTerminaliPanel::terminalNumber(FieldReader& fields) const {
    return fields.byte(fieldText(ui->Text1), captionText(ui->Label3));
}

void ElTerminaliPanel::offer(const Result<Frame>& frame) {
    if (auto frames = acceptedFrames(this, frame)) emit send(*frames);
}

void ElTerminaliPanel::sendBare(Frame (*build)(Byte terminal)) {
    FieldReader fields;
    const Byte terminal = terminalNumber(fields);
    offer(fields.result(build(terminal)));
}

void ElTerminaliPanel::Command2_Click() {
    FieldReader fields;
    const Byte terminal = terminalNumber(fields);
    const auto number = fields.word(fieldText(ui->Text2), captionText(ui->Label1));
    offer(fields.result(hand_terminal::show_number(terminal, number)));
}

void ElTerminaliPanel::Command5_Click() {
    FieldReader fields;
    const Byte terminal = terminalNumber(fields);
    const auto waiting = fields.word(fieldText(ui->Text3), captionText(ui->Label6));
    offer(fields.result(hand_terminal::waiting_count(terminal, waiting)));
}

void ElTerminaliPanel::Command30_Click() {
    FieldReader fields;
    const Byte terminal = terminalNumber(fields);
    const Byte count = fields.byte(fieldText(ui->Text16), captionText(ui->Label41));
    offer(fields.result(hand_terminal::flash_count(terminal, count)));
}

void ElTerminaliPanel::Command35_Click() {
    FieldReader fields;
    const Byte terminal = terminalNumber(fields);
    const Byte minutes = fields.scroll_time(fieldText(ui->Text18), captionText(ui->Label9));
    const Byte seconds = fields.scroll_time(fieldText(ui->Text25), captionText(ui->Label54));
    offer(fields.result(hand_terminal::scroll_time(terminal, minutes, seconds)));
}

}  // namespace vela
