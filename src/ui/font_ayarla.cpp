#include "ui/font_ayarla.h"

#include <QCloseEvent>
#include <array>

#include "protocol/printer_font.h"
#include "ui/bilet_ayarlama.h"
#include "ui/console_style.h"
#include "ui/windows.h"
#include "ui_font_ayarla.h"

namespace vela {

namespace {

// The command labels stand out from the rest of the window.
QFont commandFont() {
    QFont font = consoleFont();
    font.setPixelSize(14);
    font.setBold(true);
    return font;
}

}  // namespace

Font_Ayarla::Font_Ayarla(Windows& windows) : ui(std::make_unique<Ui::Font_Ayarla>()), windows_(windows) {
    ui->setupUi(this);
    for (QLabel* label : {ui->Label1, ui->Label2, ui->Label3}) label->setFont(commandFont());

    connect(ui->Command3, &QPushButton::clicked, this, &Font_Ayarla::fontSec);
    connect(ui->Command1, &QPushButton::clicked, this, &Font_Ayarla::geriDon);
}

Font_Ayarla::~Font_Ayarla() = default;

void Font_Ayarla::closeEvent(QCloseEvent* event) {
    event->accept();
    windows_.biletAyarlama().show();
}

void Font_Ayarla::geriDon() {
    hide();
    windows_.biletAyarlama().show();
}

void Font_Ayarla::fontSec() {
    PrintModes modes;
    modes.font_b = ui->Font_A_B_1->isChecked();
    modes.emphasized = ui->Emphasized_Mode->isChecked();
    modes.double_height = ui->Double_Height->isChecked();
    modes.double_width = ui->Double_Width->isChecked();
    modes.underline = ui->Underline->isChecked();
    const int esc = esc_bang_value(modes);

    const QRadioButton* const heights[8] = {ui->Option1_0, ui->Option1_1, ui->Option1_2, ui->Option1_3,
                                            ui->Option1_4, ui->Option1_5, ui->Option1_6, ui->Option1_7};
    const QRadioButton* const widths[8] = {ui->Option2_0, ui->Option2_1, ui->Option2_2, ui->Option2_3,
                                           ui->Option2_4, ui->Option2_5, ui->Option2_6, ui->Option2_7};
    std::array<bool, 8> height{};
    std::array<bool, 8> width{};
    for (int i = 0; i < 8; ++i) {
        height[i] = heights[i]->isChecked();
        width[i] = widths[i]->isChecked();
    }
    const int gs = gs_bang_value(height, width);

    // The labels show what the ticket window now holds.
    BiletAyarlama& bilet = windows_.biletAyarlama();
    if (!bilet.setFonts(bilet.aktif_font, static_cast<qint16>(esc), static_cast<qint16>(gs))) return;
    ui->Label2->setText(QString::fromStdString(esc_bang_text(esc)));
    ui->Label3->setText(QString::fromStdString(gs_bang_text(gs)));
}

}  // namespace vela
