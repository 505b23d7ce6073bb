#include "ui/bilet_ayarlama.h"

#include <QCloseEvent>
#include <QTextCursor>
#include <array>

#include "protocol/field_value.h"
#include "protocol/printer_font.h"
#include "protocol/ticket.h"
#include "ui/ana_menu.h"
#include "ui/feedback.h"
#include "ui/font_ayarla.h"
#include "ui/windows.h"
#include "ui_bilet_ayarlama.h"

namespace vela {

namespace {

// The preview box's base style: a compact sans face at 8.5 points.
QFont previewFont() {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(8.5);
    return font;
}

std::string utf8(const QString& text) { return text.toStdString(); }

// The four printed elements in the order of their font slots (ESC ! then GS !
// of each): the key the font window is opened with, the button that opens it,
// the values, their labels and the boxes that tick them for the transfer.
struct FontElement {
    const char* key;  // aktif_font
    WrappingButton* Ui::BiletAyarlama::*button;
    qint16 BiletAyarlama::*esc;
    qint16 BiletAyarlama::*gs;
    QLabel* Ui::BiletAyarlama::*escLabel;
    QLabel* Ui::BiletAyarlama::*gsLabel;
    QCheckBox* Ui::BiletAyarlama::*escTick;
    QCheckBox* Ui::BiletAyarlama::*gsTick;
};

constexpr std::array<FontElement, kFontSlots / 2> kFontElements{{
    {"kurum ismi", &Ui::BiletAyarlama::Command3, &BiletAyarlama::font_kurum_ismi_1, &BiletAyarlama::font_kurum_ismi_2,
     &Ui::BiletAyarlama::Label2, &Ui::BiletAyarlama::Label3, &Ui::BiletAyarlama::Check2, &Ui::BiletAyarlama::Check3},
    {"buton ismi", &Ui::BiletAyarlama::Command4, &BiletAyarlama::font_buton_ismi_1, &BiletAyarlama::font_buton_ismi_2,
     &Ui::BiletAyarlama::Label4, &Ui::BiletAyarlama::Label5, &Ui::BiletAyarlama::Check4, &Ui::BiletAyarlama::Check5},
    {"bilet numarasi", &Ui::BiletAyarlama::Command5, &BiletAyarlama::font_bilet_numarasi_1,
     &BiletAyarlama::font_bilet_numarasi_2, &Ui::BiletAyarlama::Label7, &Ui::BiletAyarlama::Label8,
     &Ui::BiletAyarlama::Check6, &Ui::BiletAyarlama::Check7},
    {"tarih saat", &Ui::BiletAyarlama::Command6, &BiletAyarlama::font_tarih_saat_1, &BiletAyarlama::font_tarih_saat_2,
     &Ui::BiletAyarlama::Label11, &Ui::BiletAyarlama::Label12, &Ui::BiletAyarlama::Check8, &Ui::BiletAyarlama::Check9},
}};

}  // namespace

BiletAyarlama::BiletAyarlama(Windows& windows) : ui(std::make_unique<Ui::BiletAyarlama>()), windows_(windows) {
    ui->setupUi(this);
    ui->RichTextBox1->setFont(previewFont());
    // Until the first preview the box shows its control's own name, as the form
    // always did.
    ui->RichTextBox1->setPlainText(QStringLiteral("RichTextBox1"));

    for (const FontElement& element : kFontElements) {
        connect(ui.get()->*element.button, &QPushButton::clicked, this,
                [this, key = element.key] { showFontWindow(QString::fromLatin1(key)); });
    }
    connect(ui->Command1, &QPushButton::clicked, this, [this] {
        windows_.anaMenu().show();
        hide();
    });
    connect(ui->Command2, &QPushButton::clicked, this, &BiletAyarlama::showPreview);
    connect(ui->BiletBilgisiGönder, &QPushButton::clicked, this, &BiletAyarlama::sendTicket);
}

BiletAyarlama::~BiletAyarlama() = default;

QCheckBox* BiletAyarlama::Check1(int index) const {
    switch (index) {
    case 0: return ui->Check1_0;
    case 1: return ui->Check1_1;
    case 2: return ui->Check1_2;
    case 3: return ui->Check1_3;
    case 6: return ui->Check1_6;
    case 7: return ui->Check1_7;
    default: return nullptr;
    }
}

QLineEdit* BiletAyarlama::Text1(int index) const {
    switch (index) {
    case 0: return ui->Text1_0;
    case 1: return ui->Text1_1;
    case 2: return ui->Text1_2;
    case 3: return ui->Text1_3;
    case 6: return ui->Text1_6;
    case 7: return ui->Text1_7;
    default: return nullptr;
    }
}

void BiletAyarlama::closeEvent(QCloseEvent* event) {
    event->accept();
    Feedback::endProgram();
}

void BiletAyarlama::showFontWindow(const QString& element) {
    hide();
    windows_.fontAyarla().show();
    aktif_font = element;
}

bool BiletAyarlama::setFonts(const QString& key, qint16 esc, qint16 gs) {
    for (const FontElement& element : kFontElements) {
        if (key != QLatin1String(element.key)) continue;
        this->*element.esc = esc;
        this->*element.gs = gs;
        (ui.get()->*element.escLabel)->setText(QString::fromStdString(esc_bang_text(esc)));
        (ui.get()->*element.gsLabel)->setText(QString::fromStdString(gs_bang_text(gs)));
        return true;
    }
    return false;
}

TicketLayout BiletAyarlama::layout() const {
    TicketLayout layout;
    const auto line = [this](int index) { return TicketLine{Check1(index)->isChecked(), utf8(Text1(index)->text())}; };
    for (std::size_t k = 0; k < kInstitutionLines; ++k) layout.institution[k] = line(static_cast<int>(k));
    for (std::size_t k = 0; k < kButtonLines; ++k) layout.button[k] = line(static_cast<int>(6 + k));
    // Font Seç keeps every value within 0..185, one byte.
    std::size_t slot = 0;
    for (const FontElement& element : kFontElements) {
        layout.fonts[slot] = static_cast<Byte>(this->*element.esc);
        layout.font_ticked[slot++] = (ui.get()->*element.escTick)->isChecked();
        layout.fonts[slot] = static_cast<Byte>(this->*element.gs);
        layout.font_ticked[slot++] = (ui.get()->*element.gsTick)->isChecked();
    }
    return layout;
}

void BiletAyarlama::showPreview() {
    const PreviewText preview = preview_text(layout());
    QTextEdit& box = *ui->RichTextBox1;
    box.setPlainText(QString::fromStdString(preview.whole()));

    // The institution name is the ticket's heading: bold and centred, its
    // closing line feed left out so the separator line keeps the base style.
    const int heading = QString::fromStdString(preview.heading).size();
    if (heading == 0) return;
    QTextCursor cursor(box.document());
    cursor.setPosition(0);
    cursor.setPosition(heading - 1, QTextCursor::KeepAnchor);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    cursor.mergeCharFormat(bold);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    cursor.mergeBlockFormat(centred);
}

void BiletAyarlama::sendTicket() {
    FieldReader reader;
    const Byte machine = reader.byte(utf8(ui->Text5->text()), utf8(ui->Label31->text()));
    if (!reader.ok()) {
        refuse(reader.message());
        return;
    }
    const Result<Sequence> frames = ticket_transfer(machine, layout());
    if (!frames) {
        refuse(frames.message());
        return;
    }
    Bilet_Komut_Gonder(*frames);
}

void BiletAyarlama::refuse(const std::string& message) {
    windows_.anaMenu().refuse(this, ui->BiletBilgisiGönder->text(), QString::fromStdString(message));
}

void BiletAyarlama::Bilet_Komut_Gonder(const Sequence& frames) {
    windows_.anaMenu().sendRecorded(this, frames, Device::TicketMachine,
                                    [](const Frame& frame) { return QString::fromStdString(ticket_step_name(frame)); });
}

}  // namespace vela
