#include "ui/session_recorder.h"

#include <QDateTime>
#include <QDir>
#include <QWidget>
#include <algorithm>
#include <cerrno>

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

// The reasons a technician can act on, in words; anything else as the system
// words it.
QString reason(int error, const QString& fallback) {
    switch (error) {
    case ENOSPC: return QStringLiteral("diskte yer kalmadı");
    case EACCES:
    case EPERM: return QStringLiteral("yazma izni yok");
    case ENOENT: return QStringLiteral("klasör bulunamadı");
    case EROFS: return QStringLiteral("disk salt okunur");
    default: return fallback;
    }
}

}  // namespace

SessionRecorder::SessionRecorder(QWidget* parent) : QObject(parent), parent_(parent), clock_(startedNow()) {}

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
    errno = 0;
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
        fail(reason(errno, file_.errorString()));
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
    fail(reason(errno, file_.errorString()));
    return false;
}

void SessionRecorder::fail(const QString& why) {
    const QString path = QDir::toNativeSeparators(file_.fileName());
    const bool wasAppending = appending();
    file_.close();
    unwritten_ = 0;
    Feedback::message(parent_, QStringLiteral("Oturum kaydı yazılamadı: %1 (%2). Kayıt durduruldu.").arg(path, why));
    if (wasAppending) emit appendingChanged({});
}

void SessionRecorder::stop() {
    flush();
    if (!appending()) return;
    file_.close();
    emit appendingChanged({});
}

}  // namespace vela
