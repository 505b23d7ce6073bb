#include "app/check_run.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTextStream>
#include <cstdio>
#include <optional>

#include "protocol/monitor.h"
#include "record/check_report.h"
#include "record/record_to_send.h"
#include "serial/frame_pacer.h"
#include "serial/open_failure.h"
#include "serial/transmitter.h"
#include "ui/session_recorder.h"

namespace vela {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

void tell(const QString& message) { QTextStream(stderr) << "vela-test: " << message << '\n'; }

CheckTime since(Clock::time_point moment) { return std::chrono::duration_cast<CheckTime>(moment.time_since_epoch()); }

// The record through the shared reading: its frames to send and its
// exchanges, or nothing once its refusal is told.
std::optional<RecordToSend> load(const QString& path) {
    Result<RecordToSend> read = read_record_to_send(QFile::encodeName(path).toStdString(),
                                                    QDir::toNativeSeparators(path).toStdString());
    if (!read) {
        tell(QString::fromStdString(read.message()));
        return std::nullopt;
    }
    return std::move(read.value());
}

// One run: frames sent from the event loop at their pace, every delivery
// recorded and its frames kept with their times, until the answer window
// after the last frame is over or the port is lost.
class LiveRun : public QObject {
public:
    LiveRun(const CheckOptions& options, ResendFrames frames, SerialPort& port, SessionRecorder& recorder)
        : options_(options),
          frames_(std::move(frames)),
          port_(port),
          recorder_(recorder),
          transmitter_(port),
          pacer_(port),
          progress_(::isatty(STDERR_FILENO) == 1) {
        connect(&port_, &SerialPort::arrived, this, &LiveRun::arrived);
        connect(&port_, &SerialPort::lost, this, &LiveRun::lost);
        connect(&pacer_, &FramePacer::due, this, &LiveRun::sendNext);
    }

    // The exit status; nothing is reported for a port lost.
    int run() {
        recorder_.resending(QString::fromStdString(
            resend_started_meaning(QDir::toNativeSeparators(options_.record).toStdString(), frames_.size())));
        pacer_.waitUntil(Clock::now());
        const int status = QCoreApplication::exec();
        if (progress_) std::fputc('\n', stderr);
        return status;
    }

    const std::vector<CheckTime>& sentAt() const { return sentAt_; }
    const std::vector<TimedFrame>& received() const { return received_; }

private:
    void sendNext() {
        if (sentAt_.size() == frames_.size()) return QCoreApplication::exit(kAllMatched);  // the window is over
        const std::size_t i = sentAt_.size();
        const Frame& frame = frames_.frame(i);
        const QString device = QString::fromStdString(device_name(frames_.device(i), frame[5]));
        const QString command = QString::fromStdString(resent_frame_meaning(frames_.meaning(i)));
        Clock::time_point wentOut;
        const Transmitter::Outcome outcome = transmitter_.play(Sequence{Step{frame, milliseconds{0}}}, {},
                                                               [&](const Frame&) {
                                                                   wentOut = Clock::now();
                                                                   recorder_.sent(frame, device, command);
                                                               });
        if (outcome.result != SerialPort::WriteResult::Written) {
            const bool stuck = outcome.result == SerialPort::WriteResult::Stuck;
            const QString why = stuck ? QString::fromUtf8(kPortStuckMessage).arg(port_.commPort()).arg(port_.device())
                                      : QString::fromUtf8(kPortLostMessage);
            recorder_.notSent(frame, device, command + QStringLiteral(": ") + why);
            end(stuck ? resend_stuck_meaning(i, frames_.size()) : resend_port_lost_meaning(i, frames_.size()), why);
            return;
        }
        recorder_.flush();
        sentAt_.push_back(since(wentOut));
        if (progress_) {
            std::fprintf(stderr, "\rÇerçeve %zu / %zu", sentAt_.size(), frames_.size());
            std::fflush(stderr);
        }
        // After the last frame, its answers have the answer window to come.
        const milliseconds gap = sentAt_.size() < frames_.size()
                                     ? frames_.gap_before(sentAt_.size(), gaps())
                                     : std::chrono::duration_cast<milliseconds>(AnswerRule::kDefaultWindow);
        pacer_.waitUntil(FramePacer::after(wentOut, gap));
    }

    Gaps gaps() const { return options_.shortenGaps ? Gaps::LongOnesShortened : Gaps::AsRecorded; }

    void arrived(const QByteArray& bytes, SerialPort::Moment at) {
        recorder_.received(bytes, at);
        for (const RecognisedFrame& found : monitor_.take(
                 std::span(reinterpret_cast<const Byte*>(bytes.constData()), static_cast<std::size_t>(bytes.size())))) {
            recorder_.recognised(found, at);
            received_.push_back({found.frame, since(at)});
        }
    }

    void lost() {
        recorder_.port(QString::fromUtf8(kPortLostMeaning));
        if (pacer_.waiting()) {
            end(resend_port_lost_meaning(sentAt_.size(), frames_.size()), QString::fromUtf8(kPortLostMessage));
        }
    }

    void end(const std::string& meaning, const QString& why) {
        pacer_.cancel();
        recorder_.resending(QString::fromStdString(meaning));
        tell(why);
        QCoreApplication::exit(kPortFailed);
    }

    const CheckOptions& options_;
    ResendFrames frames_;
    SerialPort& port_;
    SessionRecorder& recorder_;
    Transmitter transmitter_;
    FramePacer pacer_;
    ReceiveMonitor monitor_;
    std::vector<CheckTime> sentAt_;
    std::vector<TimedFrame> received_;
    bool progress_;
};

bool writeFile(const QString& path, const std::string& text) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
        file.write(text.data(), static_cast<qint64>(text.size())) == static_cast<qint64>(text.size()))
        return true;
    tell(QStringLiteral("%1 yazılamadı (%2).").arg(QDir::toNativeSeparators(path), file.errorString()));
    return false;
}

}  // namespace

int runCheck(const CheckOptions& options) {
    std::optional<RecordToSend> record = load(options.record);
    if (!record) return kRecordRefused;
    const std::vector<Exchange>& exchanges = record->exchanges;

    SerialPort port;
    int com = options.com;
    if (!options.device.isEmpty()) {
        // A device named on the command line stands for Com 1, as the console's own override does.
        qputenv("VELA_COM1", QFile::encodeName(options.device));
        com = 1;
    }
    port.setCommPort(com);
    port.setSettings(QStringLiteral("%1,N,8,1").arg(options.baud));
    const int openError = port.open();
    if (openError == SerialPort::kPortAlreadyOpen) {
        tell(QStringLiteral("Com Port is open try again later"));
        return kPortFailed;
    }
    if (openError != 0) {
        tell(openFailureMessage(com, port.lastOpenFailure()));
        return kPortFailed;
    }

    port.setRThreshold(1);  // reads as bytes come, not only in the pauses between frames

    bool recordWritable = true;
    SessionRecorder recorder([&](const QString& message) {
        recordWritable = false;
        tell(message);
    });
    if (!options.recordOut.isEmpty() && !recorder.saveTo(options.recordOut)) return kUsageError;
    recorder.port(QString::fromStdString(
        port_opened_meaning(port.device().toStdString(), port.baudRate(), recorder.utcOffset())));

    LiveRun run(options, std::move(record->frames), port, recorder);
    if (run.run() == kPortFailed) {
        std::fputs("TAP version 14\nBail out! Com Port bağlantısı koptu ya da veri almıyor.\n", stdout);
        return kPortFailed;
    }
    const CheckResult result = check_run(exchanges, run.sentAt(), run.received(),
                                         {options.tolerance, AnswerRule::kDefaultWindow});
    recorder.resending(QString::fromUtf8(kResendFinishedMeaning));
    recorder.compared(QString::fromStdString(verdict(result)));
    for (const Finding& f : result.findings) {
        if (f.outcome != Outcome::Matched)
            recorder.compared(QString::fromStdString(finding_text(f, exchanges[f.exchange])));
    }
    recorder.port(QString::fromUtf8(kPortClosedMeaning));
    recorder.flush();

    const CheckPoints points = check_points(exchanges, result);
    std::fputs(tap_report(points, result).c_str(), stdout);
    std::fflush(stdout);
    if (!options.junit.isEmpty() &&
        !writeFile(options.junit, junit_report(points, {port.device().toStdString(), options.baud,
                                                        QDir::toNativeSeparators(options.record).toStdString()})))
        return kUsageError;
    if (!recordWritable) return kUsageError;
    return result.differences() == 0 ? kAllMatched : kDifferences;
}

}  // namespace vela
