#include "ui/session_recorder.h"

#include <QDateTime>
#include <QDir>
#include <QWidget>
#include <cerrno>

#include "ui/feedback.h"

namespace vela {

namespace {

std::string text(const QString& s) { return s.toStdString(); }

LocalTime localTime(qint64 msecs) {
    const QDateTime at = QDateTime::fromMSecsSinceEpoch(msecs);
    const QDate date = at.date();
    const QTime time = at.time();
    return {date.year(), date.month(), date.day(), time.hour(), time.minute(), time.second(), time.msec()};
}

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

SessionRecorder::SessionRecorder(QWidget* parent) : QObject(parent), parent_(parent) {}

void SessionRecorder::sent(const Frame& frame, const QString& device, const QString& command) {
    add(RecordEvent::Sent, std::string(frame.begin(), frame.end()), device, command);
}

void SessionRecorder::received(const QByteArray& bytes) {
    add(RecordEvent::Received, bytes.toStdString(), {}, {});
}

void SessionRecorder::recognised(const Frame& frame) {
    add(RecordEvent::Recognised, std::string(frame.begin(), frame.end()), {},
        QString::fromStdString(recognised_meaning(frame)));
}

void SessionRecorder::port(const QString& meaning) {
    add(RecordEvent::Port, {}, {}, meaning);
    flush();
}

void SessionRecorder::refused(const QString& command, const QString& message) {
    add(RecordEvent::Refused, {}, {}, command + QStringLiteral(": ") + message);
    flush();
}

void SessionRecorder::resending(const QString& meaning) {
    add(RecordEvent::Resending, {}, {}, meaning);
    flush();
}

void SessionRecorder::add(RecordEvent kind, std::string bytes, const QString& device, const QString& meaning) {
    if (kept_.size() == kKeptEvents) {
        kept_.pop_front();
        ++dropped_;
    }
    kept_.push_back({QDateTime::currentMSecsSinceEpoch(), kind, std::move(bytes), text(device), text(meaning)});
    if (appending()) ++unwritten_;
}

std::string SessionRecorder::line(const Event& event) {
    const auto* bytes = reinterpret_cast<const Byte*>(event.bytes.data());
    return record_line(localTime(event.msecs), event.kind, std::span<const Byte>(bytes, event.bytes.size()),
                       event.device, event.meaning) +
           '\n';
}

void SessionRecorder::flush() {
    if (!appending() || unwritten_ == 0) return;
    std::string pending;
    for (auto it = kept_.end() - static_cast<std::ptrdiff_t>(std::min(unwritten_, kept_.size())); it != kept_.end(); ++it)
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
    if (dropped_ > 0) {
        const Event dropped{QDateTime::currentMSecsSinceEpoch(), RecordEvent::Dropped, {}, {}, dropped_meaning(dropped_)};
        everything += line(dropped);
    }
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
