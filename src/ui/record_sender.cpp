#include "ui/record_sender.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QProgressDialog>

#include "record/record_summary.h"
#include "ui/ana_menu.h"
#include "ui/feedback.h"
#include "ui/resend_dialog.h"
#include "ui/shown_byte.h"
#include "ui/transmitter.h"

namespace vela {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// A long wait's timer ends this early, so that a timer that fires a little
// late still leaves the end of the wait to the port's exact pause.
constexpr milliseconds kTimerEndsEarly{4};

const QString kTitle = QStringLiteral("Kayıttan Gönder");

QString text(const std::string& s) { return QString::fromStdString(s); }

std::vector<std::optional<std::int64_t>> recordedTimes(const std::vector<RecordedFrame>& frames) {
    std::vector<std::optional<std::int64_t>> times;
    for (const RecordedFrame& f : frames) times.push_back(f.at_ms);
    return times;
}

QString summary(const QString& path, const std::vector<RecordedFrame>& frames, int baud) {
    std::vector<AddressedDevice> devices;
    for (const RecordedFrame& f : frames) devices.push_back({recorded_device(f.device), f.frame[5]});
    const auto times = recordedTimes(frames);
    const auto duration = [&](Gaps choice) {
        return text(duration_text(run_duration(gaps_between(times, choice), frames.size(), baud)));
    };
    return QStringLiteral(
               "%1\n\n%2 çerçeve gönderilecek: %3\n\nSüre: kayıttaki aralıklarla yaklaşık %4; uzun "
               "beklemeler kısaltılırsa yaklaşık %5.")
        .arg(QFileInfo(path).fileName())
        .arg(frames.size())
        .arg(text(devices_summary(devices)), duration(Gaps::AsRecorded), duration(Gaps::LongOnesShortened));
}

}  // namespace

RecordSender::RecordSender(AnaMenu& menu) : menu_(menu) {
    wait_.setSingleShot(true);
    wait_.setTimerType(Qt::PreciseTimer);
    connect(&wait_, &QTimer::timeout, this, &RecordSender::waitOver);
    connect(&menu_.MSComm1, &SerialPort::lost, this, &RecordSender::portLost);
}

RecordSender::~RecordSender() = default;

bool RecordSender::start(const QString& path) {
    if (running()) return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        Feedback::message(
            &menu_,
            QStringLiteral("Kayıt okunamadı: %1 (%2).").arg(QDir::toNativeSeparators(path), file.errorString()));
        return false;
    }
    const QByteArray content = file.readAll();
    const Result<std::vector<RecordedFrame>> read = sent_frames(
        read_record(std::string_view(content.constData(), static_cast<std::size_t>(content.size()))));
    if (!read) {
        Feedback::message(&menu_, text(read.message()));
        return false;
    }
    const std::optional<Gaps> choice = ResendDialog::ask(&menu_, summary(path, *read, menu_.MSComm1.baudRate()));
    if (!choice) return false;

    frames_ = *read;
    gaps_ = gaps_between(recordedTimes(frames_), *choice);
    sent_ = 0;
    stopAsked_ = lost_ = false;
    const int count = static_cast<int>(frames_.size());
    progress_ = std::make_unique<QProgressDialog>(QStringLiteral("Çerçeve 0 / %1").arg(count), QStringLiteral("Durdur"),
                                                  0, count, &menu_);
    progress_->setWindowTitle(kTitle);
    progress_->setWindowModality(Qt::WindowModal);
    progress_->setAutoClose(false);
    progress_->setAutoReset(false);
    progress_->setMinimumDuration(0);
    connect(progress_.get(), &QProgressDialog::canceled, this, &RecordSender::stop);
    progress_->show();
    menu_.sessionRecorder().resending(
        text(resend_started_meaning(QDir::toNativeSeparators(path).toStdString(), frames_.size())));
    // The first frame too goes out from the event loop, once the dialog is up.
    nextAt_ = Clock::now();
    wait_.start(0);
    return true;
}

void RecordSender::sendNext() {
    const RecordedFrame& recorded = frames_[sent_];
    const Device device = recorded_device(recorded.device);
    const QString command = text(resent_frame_meaning(recorded.meaning));
    // The wait for the next frame counts from the moment this one is recorded
    // as sent, once the device has sent it: that is when its name is asked.
    Clock::time_point wentOut;
    sending_ = true;
    const bool sent = menu_.sendRecorded(
        progress_.get(), Sequence{Step{recorded.frame, milliseconds{0}}}, device,
        [&](const Frame&) {
            wentOut = Clock::now();
            return command;
        },
        [this](int index, Byte value) { menu_.GonderilenLabel(index)->setText(shownByte(value)); });
    sending_ = false;
    if (!sent) {
        finish(End::PortLost);
        return;
    }
    ++sent_;
    // Nothing between the wait and the frame: the dialog names the frame that went.
    progress_->setLabelText(QStringLiteral("Çerçeve %1 / %2: %3 — %4")
                                .arg(sent_)
                                .arg(frames_.size())
                                .arg(text(device_name(device, recorded.frame[5])), text(recorded.meaning)));
    progress_->setValue(static_cast<int>(sent_));  // a modal dialog handles its events here
    if (sent_ == frames_.size()) {
        finish(End::Done);
        return;
    }
    nextAt_ = wentOut + gaps_[sent_ - 1];
    waitForNext();
}

void RecordSender::waitForNext() {
    if (lost_ || stopAsked_) {
        finish(lost_ ? End::PortLost : End::Stopped);
        return;
    }
    const auto early = std::chrono::floor<milliseconds>(nextAt_ - kTimerEndsEarly - Clock::now());
    wait_.start(std::max(early, milliseconds{0}));
}

void RecordSender::waitOver() {
    menu_.MSComm1.pauseUntil(nextAt_);
    sendNext();
}

void RecordSender::stop() {
    stopAsked_ = true;
    if (wait_.isActive()) finish(End::Stopped);
}

// A device that vanishes during a wait ends the run with the message a send
// gives; while a frame goes out, the send tells it itself.
void RecordSender::portLost() {
    if (!running() || sending_ || lost_) return;
    lost_ = true;
    const bool waiting = wait_.isActive();
    wait_.stop();  // the message box below runs the event loop
    Feedback::message(progress_.get(), QString::fromUtf8(kPortLostMessage));
    if (waiting) finish(End::PortLost);
}

void RecordSender::finish(End end) {
    wait_.stop();
    const std::size_t count = frames_.size();
    const std::string meaning = end == End::Done      ? std::string(kResendFinishedMeaning)
                                : end == End::Stopped ? resend_stopped_meaning(sent_, count)
                                                      : resend_port_lost_meaning(sent_, count);
    menu_.sessionRecorder().resending(text(meaning));
    // The dialog may be the sender of the signal that ended the run.
    QProgressDialog* dialog = progress_.release();
    dialog->hide();
    dialog->deleteLater();
    frames_.clear();
    emit finished();
}

}  // namespace vela
