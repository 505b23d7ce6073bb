#pragma once
// The session recorder: keeps the newest kKeptEvents events of the run and,
// once a file has been chosen, writes them there and appends every new event.
// What has been recorded since the last flush goes to the disk in one write,
// so the console never waits on the disk longer than that. A failed write
// shows one message naming the file and the reason and stops the appending;
// recording in memory goes on.
//
// Times are the record's clock (RecordClock), started with the recorder:
// events stand in the order they were recorded, their times never go
// backwards, and a delivery carries the time it arrived, not when the
// console got round to it.
#include <QFile>
#include <QObject>
#include <QString>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>

#include "protocol/monitor.h"
#include "record/session_record.h"

class QWidget;

namespace vela {

class SessionRecorder : public QObject {
    Q_OBJECT

public:
    static constexpr std::size_t kKeptEvents = 100000;

    using Moment = RecordClock::Monotonic::time_point;

    using Tell = std::function<void(const QString& message)>;

    // Messages are shown over `parent`.
    explicit SessionRecorder(QWidget* parent);
    // Messages are handed to `tell`: a run without a window prints them.
    explicit SessionRecorder(Tell tell, QObject* parent = nullptr);

    // A frame the device has sent, now.
    void sent(const Frame& frame, const QString& device, const QString& command);
    // A delivery and a frame found in it, at the time the delivery arrived.
    void received(const QByteArray& bytes, Moment at);
    void recognised(const RecognisedFrame& found, Moment at);
    void port(const QString& meaning);
    void refused(const QString& command, const QString& message);
    void resending(const QString& meaning);   // a saved record's run: its start and its end
    void compared(const QString& meaning);    // a run checked against its record: the verdict, each difference
    void lineStatus(const QString& meaning);  // HAT: the adapter's error counts, a summary, a reset
    // A frame that did not go out (the port closed, lost or not taking
    // bytes): its bytes, device and why.
    void notSent(const Frame& frame, const QString& device, const QString& why);

    // The UTC offset the record's times are shown at.
    std::chrono::seconds utcOffset() const { return clock_.utc_offset(); }

    // Writes the events recorded since the last flush to the file, if any.
    void flush();

    // Writes everything kept to `path` and appends from then on; false (after
    // the message) when the file cannot be written.
    bool saveTo(const QString& path);
    void stop();
    bool appending() const { return file_.isOpen(); }
    // The file appended to; empty when none is.
    QString path() const { return appending() ? file_.fileName() : QString(); }

signals:
    // The file appended to, or an empty name once the appending has stopped.
    void appendingChanged(const QString& path);

private:
    // Bytes are kept as they came and formatted when written: a delivery's
    // bytes take a quarter of their text.
    struct Event {
        Moment at;
        RecordEvent kind;
        std::string bytes;
        std::string device;
        std::string meaning;
    };

    void add(Moment at, RecordEvent kind, std::string bytes, const QString& device, const QString& meaning);
    std::string line(const Event& event) const;
    bool write(const std::string& text);
    void fail(const QString& reason);

    Tell tell_;
    RecordClock clock_;
    Moment newest_{};  // the latest time recorded
    std::deque<Event> kept_;
    std::uint64_t dropped_ = 0;
    std::size_t unwritten_ = 0;  // the newest events not yet in the file
    QFile file_;
};

}  // namespace vela
