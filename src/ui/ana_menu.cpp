#include "ui/ana_menu.h"

#include <QAction>
#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include "serial/open_failure.h"
#include "ui/bilet_ayarlama.h"
#include "ui/console_style.h"
#include "ui/feedback.h"
#include "ui/hat_durumu.h"
#include "ui/line_watch.h"
#include "ui/open_file_dialog.h"
#include "ui/plain_text.h"
#include "ui/record_exporter.h"
#include "ui/record_sender.h"
#include "ui/save_file_dialog.h"
#include "ui/shown_byte.h"
#include "ui/windows.h"
#include "ui_ana_menu.h"

namespace vela {

namespace {

// The file's name while appending, in the free space right of the decoded
// command and under the main-board panel.
constexpr QRect kRecordFileArea = twipsRect(12120, 9045, 3780, 330);

}  // namespace

AnaMenu::AnaMenu(Windows& windows) : ui(std::make_unique<Ui::AnaMenu>()), windows_(windows), transmitter_(MSComm1) {
    ui->setupUi(this);
    ui->Label13->setFont(headingFont(24));
    ui->Label8->setFont(headingFont(16));
    ui->Label45->setFont(headingFont(16));
    gonderilen_ = {ui->GonderilenLabel_0, ui->GonderilenLabel_1, ui->GonderilenLabel_2, ui->GonderilenLabel_3,
                   ui->GonderilenLabel_4, ui->GonderilenLabel_5, ui->GonderilenLabel_6};
    gelen_ = {ui->GelenLabel_0, ui->GelenLabel_1, ui->GelenLabel_2, ui->GelenLabel_3,
              ui->GelenLabel_4, ui->GelenLabel_5, ui->GelenLabel_6};
    // The log starts with its control's own name, as the form always showed
    // it; received bytes are appended after it.
    ui->Text7->append(u"Text7");
    received_ = std::make_unique<ReceivedDisplay>(*ui->Text7, gelen_, *ui->GelenKomutLabel);

    // Each panel's frames go to its device type, as the record names it.
    const std::pair<DevicePanel*, Device> panels[] = {
        {ui->Frame1, Device::HandTerminal}, {ui->Frame2, Device::TicketMachine}, {ui->GenelKomutlar, Device::Everyone},
        {ui->Frame3, Device::DotMatrix},    {ui->Frame4, Device::MainBoard},     {ui->Frame5, Device::Chime}};
    for (const auto& [panel, type] : panels) {
        connect(panel, &DevicePanel::send, this, [this, type = type](const Sequence& frames, const QString& command) {
            Data_Gonder(frames, command, type);
        });
        connect(
            panel, &DevicePanel::refused, this,
            [this, panel = panel](const QString& command, const QString& message) { refuse(panel, command, message); });
    }
    connect(ui->Command29, &QPushButton::clicked, this, &AnaMenu::Command29_Click);
    connect(&MSComm1, &SerialPort::arrived, this, &AnaMenu::recordArrival);
    connect(&MSComm1, &SerialPort::onComm, this, &AnaMenu::MSComm1_OnComm);
    connect(&MSComm1, &SerialPort::onComm, &recorder_, &SessionRecorder::flush);
    lineWatch_ = std::make_unique<LineWatch>(MSComm1, recorder_);
    connect(&MSComm1, &SerialPort::lost, this, [this] { recorder_.port(QString::fromUtf8(kPortLostMeaning)); });
    connect(&MSComm1, &SerialPort::reopened, this, [this] { recorder_.port(QString::fromUtf8(kPortBackMeaning)); });
    connect(&MSComm1, &SerialPort::notReopened, this, [this] {
        recorder_.port(QString::fromUtf8(kPortUnknownMeaning));
        Feedback::message(this, QStringLiteral("Com %1 yeniden açılamadı: hangi adaptör olduğu belli değil (%2).\n"
                                               "Programı yeniden başlatıp Com Port'u yeniden seçin.")
                                    .arg(MSComm1.commPort())
                                    .arg(MSComm1.device()));
    });

    saveRecord_ = new QAction(QStringLiteral("Oturum Kaydını Kaydet…"), this);
    saveRecord_->setShortcut(QKeySequence::Save);
    sendFromRecord_ = new QAction(QStringLiteral("Kayıttan Gönder…"), this);
    sendFromRecord_->setShortcut(QKeySequence::Open);
    stopRecord_ = new QAction(QStringLiteral("Kaydı Durdur"), this);
    stopRecord_->setEnabled(false);
    exportRecord_ = new QAction(QStringLiteral("Kaydı Dışa Aktar…"), this);
    showLineStatus_ = new QAction(QStringLiteral("Hat Durumu"), this);
    showLineStatus_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
    // Text7's context menu lists the actions added to it; the window carries
    // the save and send actions for their shortcuts.
    ui->Text7->addAction(saveRecord_);
    ui->Text7->addAction(sendFromRecord_);
    ui->Text7->addAction(stopRecord_);
    ui->Text7->addAction(exportRecord_);
    ui->Text7->addAction(showLineStatus_);
    addAction(saveRecord_);
    addAction(sendFromRecord_);
    addAction(showLineStatus_);
    connect(showLineStatus_, &QAction::triggered, this, [this] {
        hatDurumu().show();
        hatDurumu().raise();
        hatDurumu().activateWindow();
    });
    connect(saveRecord_, &QAction::triggered, this, &AnaMenu::saveSessionRecord);
    connect(sendFromRecord_, &QAction::triggered, this, &AnaMenu::sendFromRecord);
    recordSender_ = std::make_unique<RecordSender>(*this);
    recordFolder_ = QDir::homePath();
    connect(stopRecord_, &QAction::triggered, &recorder_, &SessionRecorder::stop);
    recordExporter_ = new RecordExporter(this);
    // The record being written is offered first, with what came until now.
    connect(exportRecord_, &QAction::triggered, this, [this] {
        recorder_.flush();
        recordExporter_->start(recorder_.path(), recordFolder_);
    });
    recordFile_ = plainLabel({}, this);
    recordFile_->setObjectName(QStringLiteral("KayitDosyasiLabel"));
    recordFile_->setGeometry(kRecordFileArea);
    recordFile_->hide();
    connect(&recorder_, &SessionRecorder::appendingChanged, this, &AnaMenu::showRecordFile);

    Feedback::beep();  // Form_Load
}

AnaMenu::~AnaMenu() {
    if (!MSComm1.isOpen()) return;
    lineWatch_->recordSummary();
    recorder_.port(QString::fromUtf8(kPortClosedMeaning));
}

HatDurumu& AnaMenu::hatDurumu() {
    if (!hatDurumu_) hatDurumu_ = new HatDurumu(*lineWatch_, this);
    return *hatDurumu_;
}

QLabel* AnaMenu::GelenKomutLabel() const { return ui->GelenKomutLabel; }

ReceivedLog* AnaMenu::Text7() const { return ui->Text7; }

bool AnaMenu::openPort(int com, int baud, QWidget* parent) {
    MSComm1.setCommPort(com);
    MSComm1.setSettings(QStringLiteral("%1,N,8,1").arg(baud));
    const int openError = MSComm1.open();
    if (openError == SerialPort::kPortAlreadyOpen) {
        Feedback::message(parent, QStringLiteral("Com Port is open try again later"));
        Feedback::endProgram();
        return false;
    }
    // The technician learns why before the window opens with the port closed.
    if (openError != 0) Feedback::message(parent, openFailureMessage(com, MSComm1.lastOpenFailure()));
    MSComm1.setRThreshold(1);
    show();
    return openError == 0;
}

void AnaMenu::Data_Gonder(const Sequence& frames, const QString& command, Device device) {
    sendRecorded(
        this, frames, device, [&command](const Frame&) { return command; },
        [this](int index, Byte value) { GonderilenLabel(index)->setText(shownByte(value)); });
}

void AnaMenu::refuse(QWidget* parent, const QString& command, const QString& message) {
    recorder_.refused(command, message);
    Feedback::message(parent, message);
}

bool AnaMenu::sendRecorded(QWidget* parent, const Sequence& frames, Device device, const CommandName& command,
                           const Transmitter::ByteSent& shown) {
    const auto deviceOf = [device](const Frame& frame) {
        return QString::fromStdString(device_name(device, frame[5]));
    };
    const Transmitter::Outcome outcome = transmitter_.play(frames, shown, [&](const Frame& frame) {
        const QString name = command(frame);
        recorder_.sent(frame, deviceOf(frame), name);
        lineWatch_->sent(device, frame, name, SerialPort::Moment::clock::now());
    });
    if (outcome.result == SerialPort::WriteResult::Written) {
        recorder_.flush();
        return true;
    }
    QString message;
    switch (outcome.result) {
    case SerialPort::WriteResult::Lost: message = QString::fromUtf8(kPortLostMessage); break;
    case SerialPort::WriteResult::Stuck:
        message = QString::fromUtf8(kPortStuckMessage).arg(MSComm1.commPort()).arg(MSComm1.device());
        break;
    default: message = QString::fromUtf8(kPortNotOpenMessage); break;
    }
    const Frame& frame = frames[outcome.frame].frame;
    QString why = command(frame) + QStringLiteral(": ") + message;
    if (outcome.bytesGone > 0) why += QStringLiteral(" ") + QString::fromStdString(bytes_gone_note(outcome.bytesGone));
    recorder_.notSent(frame, deviceOf(frame), why);  // flushed: on disk before the box waits for the technician
    Feedback::message(parent, message);
    return false;
}

// Every delivery is taken into the record as it is read, so that it stands
// in time order with the frames sent around it, also during a transfer's
// pauses. Its frames are recognised here, once: the record takes them at the
// delivery's time, and the displays when the event loop runs again.
void AnaMenu::recordArrival(const QByteArray& bytes, SerialPort::Moment at) {
    recorder_.received(bytes, at);
    const std::vector<RecognisedFrame> frames = monitor_.take(
        std::span(reinterpret_cast<const Byte*>(bytes.constData()), static_cast<std::size_t>(bytes.size())));
    for (const RecognisedFrame& found : frames) {
        recorder_.recognised(found, at);
        lineWatch_->recognised(found.frame, at);
        emit recognised(found.frame, at);
    }
    lineWatch_->received(static_cast<std::size_t>(bytes.size()), monitor_.uncovered() + monitor_.unsettled(), at);
    received_->found(frames);
}

void AnaMenu::MSComm1_OnComm(int commEvent, const QByteArray& input) {
    if (commEvent != SerialPort::kEventReceive || input.isEmpty()) return;
    received_->take(input);
}

void AnaMenu::Command29_Click() {
    hide();
    windows_.biletAyarlama().show();
}

// The port is opened by the start-up sequence just before the window is first
// shown; the record starts there.
void AnaMenu::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (openingRecorded_ || !MSComm1.isOpen()) return;
    openingRecorded_ = true;
    recorder_.port(QString::fromStdString(
        port_opened_meaning(MSComm1.device().toStdString(), MSComm1.baudRate(), recorder_.utcOffset())));
}

void AnaMenu::saveSessionRecord() {
    // A port that never opened is named by its Com number.
    QString device = QFileInfo(MSComm1.device()).fileName();
    if (device.isEmpty()) device = QStringLiteral("com%1").arg(MSComm1.commPort());
    const QString proposed = QDir::home().filePath(
        QStringLiteral("vela-oturum-%1-%2.txt")
            .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")), device));
    const QString path = SaveFileDialog::ask(this, saveRecord_->text(), proposed);
    if (path.isEmpty()) return;
    lineWatch_->recordSummary();
    if (recorder_.saveTo(path)) recordFolder_ = QFileInfo(path).absolutePath();
}

void AnaMenu::sendFromRecord() {
    if (!MSComm1.isOpen()) {
        refuse(this, QStringLiteral("Kayıttan Gönder"), QString::fromUtf8(kPortNotOpenMessage));
        return;
    }
    if (recordSender_->running()) return;
    const QString path = OpenFileDialog::ask(this, sendFromRecord_->text(), recordFolder_);
    if (path.isEmpty()) return;
    recordFolder_ = QFileInfo(path).absolutePath();
    recordSender_->start(path);
}

void AnaMenu::showRecordFile(const QString& path) {
    stopRecord_->setEnabled(!path.isEmpty());
    recordFile_->setVisible(!path.isEmpty());
    recordFile_->setToolTip(plainToolTip(path));
    const QString text = QStringLiteral("Kayıt: ") + QFileInfo(path).fileName();
    recordFile_->setText(recordFile_->fontMetrics().elidedText(text, Qt::ElideMiddle, recordFile_->width()));
}

void AnaMenu::closeEvent(QCloseEvent* event) {
    event->accept();
    Feedback::endProgram();
}

}  // namespace vela
