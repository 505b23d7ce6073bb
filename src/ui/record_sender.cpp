#include "ui/record_sender.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QProgressDialog>
#include <atomic>

#include "record/record_to_send.h"
#include "record/session_record.h"
#include "serial/transmitter.h"
#include "ui/ana_menu.h"
#include "ui/check_result_dialog.h"
#include "ui/feedback.h"
#include "ui/plain_text.h"
#include "ui/resend_dialog.h"
#include "ui/shown_byte.h"

namespace vela {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// How much of the record is read between looks at "Vazgeç".
constexpr milliseconds kReadingShownEvery{50};
constexpr milliseconds kReadingShownAfter{300};

const QString kTitle = QStringLiteral("Kayıttan Gönder");

QString text(const std::string& s) { return QString::fromStdString(s); }

// The check's times count from the monotonic clock's own origin.
CheckTime sinceStart(Clock::time_point moment) {
    return std::chrono::duration_cast<CheckTime>(moment.time_since_epoch());
}

QString nativePath(const QString& path) { return QDir::toNativeSeparators(path); }

QString summary(const QString& path, const ResendFrames& frames, int baud) {
    const auto duration = [&](Gaps choice) { return text(duration_text(frames.duration(choice, baud))); };
    return QStringLiteral(
               "%1\n\n%2 çerçeve gönderilecek: %3\n\nSüre: kayıttaki aralıklarla yaklaşık %4; uzun "
               "beklemeler kısaltılırsa yaklaşık %5.")
        .arg(QFileInfo(path).fileName())
        .arg(frames.size())
        .arg(text(frames.devices()), duration(Gaps::AsRecorded), duration(Gaps::LongOnesShortened));
}

}  // namespace

// What the worker and the window share while a record is read; the results
// are the worker's until it hands the whole back.
struct RecordLoad {
    QString path;
    int baud = 0;
    std::atomic<bool> cancelled{false};
    std::atomic<std::uint64_t> size{0};
    std::atomic<std::uint64_t> done{0};
    QString refusal;  // the message, for a record not sent
    ResendFrames frames;
    std::vector<Exchange> exchanges;  // what the answers are compared with, when asked
    QString summary;
};

namespace {

// On the worker: the record read through the shared reading, which says how
// far it is and stops when the technician cancels.
void load(RecordLoad& load) {
    Result<RecordToSend> read = read_record_to_send(QFile::encodeName(load.path).toStdString(),
                                                    nativePath(load.path).toStdString(),
                                                    [&load](std::uint64_t done, std::uint64_t size) {
                                                        load.size = size;
                                                        load.done = done;
                                                        return !load.cancelled;
                                                    });
    if (!read) {
        load.refusal = text(read.message());
        return;
    }
    load.frames = std::move(read->frames);
    load.exchanges = std::move(read->exchanges);
    load.summary = summary(load.path, load.frames, load.baud);
}

}  // namespace

RecordSender::RecordSender(AnaMenu& menu) : menu_(menu), pacer_(menu.MSComm1) {
    connect(&pacer_, &FramePacer::due, this, &RecordSender::sendNext);
    connect(&menu_, &AnaMenu::recognised, this, &RecordSender::received);
    connect(&menu_.MSComm1, &SerialPort::lost, this, &RecordSender::portLost);
    readingShown_.setInterval(kReadingShownEvery);
    connect(&readingShown_, &QTimer::timeout, this, [this] {
        const std::uint64_t size = load_->size;
        if (size > 0) reading_->setValue(static_cast<int>(load_->done * 100 / size));
    });
}

RecordSender::~RecordSender() {
    if (load_) load_->cancelled = true;
    if (reader_.joinable()) reader_.join();
}

void RecordSender::start(const QString& path) {
    if (running()) return;
    load_ = std::make_shared<RecordLoad>();
    load_->path = path;
    load_->baud = menu_.MSComm1.baudRate();
    reading_ = std::make_unique<QProgressDialog>(QString(), QStringLiteral("Vazgeç"), 0, 100, &menu_);
    reading_->setLabel(plainLabel(QStringLiteral("Kayıt okunuyor: %1").arg(QFileInfo(path).fileName())));
    reading_->setWindowTitle(kTitle);
    reading_->setWindowModality(Qt::WindowModal);
    reading_->setAutoClose(false);
    reading_->setAutoReset(false);
    connect(reading_.get(), &QProgressDialog::canceled, this, [this] { load_->cancelled = true; });
    reading_->setMinimumDuration(static_cast<int>(kReadingShownAfter.count()));
    reading_->setValue(0);  // shown once the reading takes longer
    readingShown_.start();
    // The whole result comes back to the window's thread in one queued call.
    reader_ = std::thread([this, load = load_] {
        vela::load(*load);
        QMetaObject::invokeMethod(
            this, [this, load] { read(load); }, Qt::QueuedConnection);
    });
}

void RecordSender::read(const std::shared_ptr<RecordLoad>& load) {
    reader_.join();
    readingShown_.stop();
    // Its setValue() may be what runs this call.
    reading_.release()->deleteLater();
    if (load->cancelled) {
        load_.reset();
        return;
    }
    if (!load->refusal.isEmpty()) {
        Feedback::message(&menu_, load->refusal);
        load_.reset();
        return;
    }
    const std::optional<ResendChoice> choice = ResendDialog::ask(&menu_, load->summary);
    load_.reset();
    if (!choice) return;
    comparing_ = choice->compare;
    exchanges_ = comparing_ ? std::move(load->exchanges) : std::vector<Exchange>{};
    begin(load->path, std::move(load->frames), choice->gaps);
}

void RecordSender::begin(const QString& path, ResendFrames frames, Gaps gaps) {
    frames_ = std::move(frames);
    gaps_ = gaps;
    sent_ = 0;
    sentAt_.clear();
    received_.clear();
    stopAsked_ = lost_ = false;
    const int count = static_cast<int>(frames_.size());
    progress_ = std::make_unique<QProgressDialog>(QString(), QStringLiteral("Durdur"), 0, count, &menu_);
    progress_->setObjectName(QStringLiteral("KayittanGonderim"));
    progress_->setLabel(plainLabel(QStringLiteral("Çerçeve 0 / %1").arg(count)));  // shows the records' meanings
    progress_->setWindowTitle(kTitle);
    progress_->setWindowModality(Qt::WindowModal);
    progress_->setAutoClose(false);
    progress_->setAutoReset(false);
    progress_->setMinimumDuration(0);
    connect(progress_.get(), &QProgressDialog::canceled, this, &RecordSender::stop);
    progress_->show();
    menu_.sessionRecorder().resending(text(resend_started_meaning(nativePath(path).toStdString(), frames_.size())));
    // The first frame too goes out from the event loop, once the dialog is up.
    pacer_.waitUntil(Clock::now());
}

void RecordSender::sendNext() {
    if (sent_ == frames_.size()) {  // the answer window after the last frame is over
        finish(End::Done);
        return;
    }
    const Frame& frame = frames_.frame(sent_);
    const Device device = frames_.device(sent_);
    const QString meaning = text(std::string(frames_.meaning(sent_)));
    const QString command = text(resent_frame_meaning(frames_.meaning(sent_)));
    // The wait for the next frame counts from the moment this one is recorded
    // as sent, once the device has sent it: that is when its name is asked.
    Clock::time_point wentOut;
    sending_ = true;
    const bool sent = menu_.sendRecorded(
        progress_.get(), Sequence{Step{frame, milliseconds{0}}}, device,
        [&](const Frame&) {
            wentOut = Clock::now();
            return command;
        },
        [this](int index, Byte value) { menu_.GonderilenLabel(index)->setText(shownByte(value)); });
    sending_ = false;
    if (!sent) {
        // A device that takes no byte leaves the port open; a lost one closes it.
        finish(menu_.MSComm1.isOpen() ? End::Stuck : End::PortLost);
        return;
    }
    ++sent_;
    sentAt_.push_back(sinceStart(wentOut));
    // Nothing between the wait and the frame: the dialog names the frame that went.
    progress_->setLabelText(QStringLiteral("Çerçeve %1 / %2: %3 — %4")
                                .arg(sent_)
                                .arg(frames_.size())
                                .arg(text(device_name(device, frame[5])), meaning));
    progress_->setValue(static_cast<int>(sent_));  // a modal dialog handles its events here
    if (sent_ == frames_.size() && !comparing_) {
        finish(End::Done);
        return;
    }
    if (lost_ || stopAsked_) {
        finish(lost_ ? End::PortLost : End::Stopped);
        return;
    }
    // A compared run waits for the last frame's answers too.
    const milliseconds gap = sent_ < frames_.size()
                                 ? frames_.gap_before(sent_, gaps_)
                                 : std::chrono::duration_cast<milliseconds>(AnswerRule::kDefaultWindow);
    pacer_.waitUntil(FramePacer::after(wentOut, gap));
}

void RecordSender::stop() {
    stopAsked_ = true;
    if (pacer_.waiting()) finish(End::Stopped);
}

// A device that vanishes during a wait ends the run with the message a send
// gives; while a frame goes out, the send tells it itself.
void RecordSender::portLost() {
    if (!progress_ || sending_ || lost_) return;
    lost_ = true;
    const bool waiting = pacer_.waiting();
    pacer_.cancel();  // the message box below runs the event loop
    Feedback::message(progress_.get(), QString::fromUtf8(kPortLostMessage));
    if (waiting) finish(End::PortLost);
}

void RecordSender::received(const Frame& frame, SerialPort::Moment at) {
    if (comparing_ && progress_) received_.push_back({frame, sinceStart(at)});
}

// The verdict and each difference go into the session record before the
// result is shown.
void RecordSender::showComparison() {
    const CheckResult result = check_run(exchanges_, sentAt_, received_);
    SessionRecorder& recorder = menu_.sessionRecorder();
    recorder.compared(text(verdict(result)));
    std::vector<CheckResultDialog::Row> rows;
    const auto delay = [](const std::optional<RecordedAnswer>& answer) {
        return answer ? QStringLiteral("%1 ms").arg(std::chrono::duration_cast<milliseconds>(answer->delay).count())
                      : QString();
    };
    const auto bytes = [](const std::optional<RecordedAnswer>& answer) {
        return answer ? text(bytes_text(answer->frame)) : QStringLiteral("yok");
    };
    for (const Finding& f : result.findings) {
        if (f.outcome == Outcome::Matched) continue;
        const Exchange& exchange = exchanges_[f.exchange];
        recorder.compared(text(finding_text(f, exchange)));
        rows.push_back(
            {text(std::string(outcome_word(f.outcome))),
             text(bytes_text(exchange.sent)) + QStringLiteral(" — ") + text(std::string(frames_.meaning(f.exchange))),
             text(device_name(exchange.device, exchange.sent[5])), bytes(f.expected), bytes(f.seen), delay(f.expected),
             delay(f.seen)});
    }
    recorder.flush();
    auto* dialog = new CheckResultDialog(text(verdict(result)), rows, &menu_);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->show();
}

void RecordSender::finish(End end) {
    pacer_.cancel();
    const std::size_t count = frames_.size();
    std::string meaning;
    switch (end) {
    case End::Done: meaning = kResendFinishedMeaning; break;
    case End::Stopped: meaning = resend_stopped_meaning(sent_, count); break;
    case End::PortLost: meaning = resend_port_lost_meaning(sent_, count); break;
    case End::Stuck: meaning = resend_stuck_meaning(sent_, count); break;
    }
    menu_.sessionRecorder().resending(text(meaning));
    // The dialog may be the sender of the signal that ended the run.
    QProgressDialog* dialog = progress_.release();
    dialog->hide();
    dialog->deleteLater();
    if (comparing_ && end == End::Done) showComparison();
    frames_ = {};
    exchanges_ = {};
    comparing_ = false;
    emit finished();
}

}  // namespace vela
