#include "ui/session_recorder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDateTime>
#include <QDir>
#include <QWidget>
#include <algorithm>
#include <cerrno>

#include "record/file_error.h"
#include "ui/feedback.h"

namespace vela {

namespace {

std::string text(const QString& s) { return s.toStdString(); }

// The clock starts here, at the local UTC offset of this moment.
RecordClock startedNow() {
    const auto steady = RecordClock::Monotonic::now();
    const auto wall = std::chrono::system_clock::now();
    const qint64 msecs = std::chrono::duration_cast<std::chrono::milliseconds>(wall.time_since_epoch()).count();
    return {steady, wall, std::chrono::seconds(QDateTime::fromMSecsSinceEpoch(msecs).offsetFromUtc())};
}

RecordClock::Monotonic::time_point now() { return RecordClock::Monotonic::now(); }

QString reason(int error) { return QString::fromStdString(file_error_reason(error, FileUse::Writing)); }

// Why `path` is not to be saved to, or nothing. Only a regular file takes a
// record: a FIFO would block the open and a device would swallow the record.
// The file is opened without waiting and checked before it is truncated.
QString unfitForSaving(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    struct stat status {};
    if (::stat(name.constData(), &status) == 0 && !S_ISREG(status.st_mode))
        return S_ISDIR(status.st_mode) ? reason(EISDIR) : QStringLiteral("düz bir dosya değil");
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd < 0) return reason(errno);
    const bool regular = ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
    ::close(fd);
    return regular ? QString() : QStringLiteral("düz bir dosya değil");
}

}  // namespace

SessionRecorder::SessionRecorder(QWidget* parent)
    : SessionRecorder([parent](const QString& message) { Feedback::message(parent, message); }, parent) {}

SessionRecorder::SessionRecorder(Tell tell, QObject* parent)
    : QObject(parent), tell_(std::move(tell)), clock_(startedNow()) {}

void SessionRecorder::sent(const Frame& frame, const QString& device, const QString& command) {
    add(now(), RecordEvent::Sent, std::string(frame.begin(), frame.end()), device, command);
}

void SessionRecorder::received(const QByteArray& bytes, Moment at) {
    add(at, RecordEvent::Received, bytes.toStdString(), {}, {});
}

void SessionRecorder::recognised(const RecognisedFrame& found, Moment at) {
    add(at, RecordEvent::Recognised, std::string(found.frame.begin(), found.frame.end()), {},
        QString::fromStdString(recognised_meaning(found.sentence)));
}

void SessionRecorder::port(const QString& meaning) {
    add(now(), RecordEvent::Port, {}, {}, meaning);
    flush();
}

void SessionRecorder::refused(const QString& command, const QString& message) {
    add(now(), RecordEvent::Refused, {}, {}, command + QStringLiteral(": ") + message);
    flush();
}

void SessionRecorder::resending(const QString& meaning) {
    add(now(), RecordEvent::Resending, {}, {}, meaning);
    flush();
}

void SessionRecorder::compared(const QString& meaning) { add(now(), RecordEvent::Comparison, {}, {}, meaning); }

void SessionRecorder::lineStatus(const QString& meaning) {
    add(now(), RecordEvent::LineStatus, {}, {}, meaning);
    flush();
}

void SessionRecorder::notSent(const Frame& frame, const QString& device, const QString& why) {
    add(now(), RecordEvent::Refused, std::string(frame.begin(), frame.end()), device, why);
    flush();
}

// A delivery is read up to the port's gathering time after its first byte
// was seen; an event recorded in between (a refusal) keeps its place, and the
// delivery takes that event's time rather than go back before it.
void SessionRecorder::add(Moment at, RecordEvent kind, std::string bytes, const QString& device,
                          const QString& meaning) {
    if (kept_.size() == kKeptEvents) {
        kept_.pop_front();
        ++dropped_;
    }
    newest_ = std::max(newest_, at);
    kept_.push_back({newest_, kind, std::move(bytes), text(device), text(meaning)});
    if (appending()) ++unwritten_;
}

std::string SessionRecorder::line(const Event& event) const {
    const auto* bytes = reinterpret_cast<const Byte*>(event.bytes.data());
    return record_line(clock_.at(event.at), event.kind, std::span<const Byte>(bytes, event.bytes.size()), event.device,
                       event.meaning) +
           '\n';
}

void SessionRecorder::flush() {
    if (!appending() || unwritten_ == 0) return;
    std::string pending;
    for (auto it = kept_.end() - static_cast<std::ptrdiff_t>(std::min(unwritten_, kept_.size())); it != kept_.end();
         ++it)
        pending += line(*it);
    unwritten_ = 0;
    write(pending);
}

bool SessionRecorder::saveTo(const QString& path) {
    stop();
    file_.setFileName(path);
    if (const QString unfit = unfitForSaving(path); !unfit.isEmpty()) {
        fail(unfit);
        return false;
    }
    errno = 0;
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
        fail(errno != 0 ? reason(errno) : file_.errorString());
        return false;
    }
    std::string everything = std::string(kRecordHeader) + '\n';
    // First, and as old as the oldest event kept: the record stays in time order.
    if (dropped_ > 0) everything += line({kept_.front().at, RecordEvent::Dropped, {}, {}, dropped_meaning(dropped_)});
    for (const Event& event : kept_) everything += line(event);
    if (!write(everything)) return false;
    emit appendingChanged(path);
    return true;
}

bool SessionRecorder::write(const std::string& text) {
    errno = 0;
    const qint64 written = file_.write(text.data(), static_cast<qint64>(text.size()));
    if (written == static_cast<qint64>(text.size())) return true;
    fail(errno != 0 ? reason(errno) : file_.errorString());
    return false;
}

void SessionRecorder::fail(const QString& why) {
    const QString path = QDir::toNativeSeparators(file_.fileName());
    const bool wasAppending = appending();
    file_.close();
    unwritten_ = 0;
    tell_(QStringLiteral("Oturum kaydı yazılamadı: %1 (%2). Kayıt durduruldu.").arg(path, why));
    if (wasAppending) emit appendingChanged({});
}

void SessionRecorder::stop() {
    flush();
    if (!appending()) return;
    file_.close();
    emit appendingChanged({});
}

}  // namespace vela
