#include "ui/ana_menu.h"

#include <QCloseEvent>
#include <array>

#include "ui/bilet_ayarlama.h"
#include "ui/console_style.h"
#include "ui/feedback.h"
#include "ui/windows.h"
#include "ui_ana_menu.h"

namespace vela {

namespace {
QString shown(Byte value) { return QString::fromStdString(byte_text(value)); }

// A received byte as the log shows it: a blank, then the byte as the displays
// show it ("  170"). Made once, as every byte of the line passes here.
const QString& loggedByte(Byte value) {
    static const auto texts = [] {
        std::array<QString, 256> made;
        for (int b = 0; b < 256; ++b) made[static_cast<std::size_t>(b)] = QString(u' ') + shown(static_cast<Byte>(b));
        return made;
    }();
    return texts[value];
}
}  // namespace

AnaMenu::AnaMenu(Windows& windows)
    : ui(std::make_unique<Ui::AnaMenu>()), windows_(windows), transmitter_(MSComm1) {
    ui->setupUi(this);
    ui->Label13->setFont(headingFont(24));
    ui->Label8->setFont(headingFont(16));
    ui->Label45->setFont(headingFont(16));
    gonderilen_ = {ui->GonderilenLabel_0, ui->GonderilenLabel_1, ui->GonderilenLabel_2, ui->GonderilenLabel_3,
                   ui->GonderilenLabel_4, ui->GonderilenLabel_5, ui->GonderilenLabel_6};
    gelen_ = {ui->GelenLabel_0, ui->GelenLabel_1, ui->GelenLabel_2, ui->GelenLabel_3,
              ui->GelenLabel_4, ui->GelenLabel_5, ui->GelenLabel_6};
    ui->Text7->append(u"Text7");

    for (DevicePanel* panel : std::initializer_list<DevicePanel*>{ui->Frame1, ui->Frame2, ui->GenelKomutlar, ui->Frame3,
                                                                   ui->Frame4, ui->Frame5}) {
        connect(panel, &DevicePanel::send, this, &AnaMenu::Data_Gonder);
    }
    connect(ui->Command29, &QPushButton::clicked, this, &AnaMenu::Command29_Click);
    connect(&MSComm1, &SerialPort::onComm, this, &AnaMenu::MSComm1_OnComm);

    Feedback::beep();  // Form_Load
}

AnaMenu::~AnaMenu() = default;

QLabel* AnaMenu::GelenKomutLabel() const { return ui->GelenKomutLabel; }

ReceivedLog* AnaMenu::Text7() const { return ui->Text7; }

void AnaMenu::Data_Gonder(const Sequence& frames, [[maybe_unused]] const QString& command) {
    transmitter_.play(this, frames, [this](int index, Byte value) { GonderilenLabel(index)->setText(shown(value)); });
}

// Every waiting byte is handled, in arrival order: an adapter that hands
// over several bytes at once must not cost the monitor any of them. Each byte
// beeps and is logged, each valid frame beeps twice; the log and the display
// are updated once per notification, the display with the last valid frame,
// since nothing is painted between the bytes of one notification anyway.
void AnaMenu::MSComm1_OnComm(int commEvent, const QByteArray& input) {
    if (commEvent != SerialPort::kEventReceive || input.isEmpty()) return;
    QString logged;
    logged.reserve(input.size() * 5);
    std::optional<Frame> lastFrame;
    for (const char received : input) {
        const auto value = static_cast<Byte>(received);
        Feedback::beep();
        logged += loggedByte(value);
        if (const std::optional<Frame> frame = GelenData.push(value)) {
            Feedback::beep();
            lastFrame = frame;
            Feedback::beep();
        }
    }
    ui->Text7->append(logged);
    if (lastFrame) showReceived(*lastFrame);
}

void AnaMenu::showReceived(const Frame& frame) {
    for (int i = 0; i < 7; ++i) GelenLabel(i)->setText(shown(frame[static_cast<std::size_t>(i)]));
    ui->GelenKomutLabel->setText(QString::fromUtf8(decoded_sentence(frame)));
}

void AnaMenu::Command29_Click() {
    hide();
    windows_.biletAyarlama().show();
}

void AnaMenu::closeEvent(QCloseEvent* event) {
    event->accept();
    Feedback::endProgram();
}

}  // namespace vela
