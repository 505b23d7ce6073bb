#pragma once
// The line's status, kept for the whole run whether "Hat Durumu" is open or
// not: the main window hands it every frame sent and every delivery with
// its frames. Once a second, while the port is open, it reads the adapter's
// error counters and records a HAT line when they changed; it records the
// summary and a reset as HAT lines too.
#include <QObject>
#include <QTimer>
#include <optional>

#include "record/line_status.h"
#include "serial/serial_port.h"
#include "ui/session_recorder.h"

namespace vela {

class LineWatch : public QObject {
    Q_OBJECT

public:
    using Moment = SerialPort::Moment;
    static constexpr std::chrono::milliseconds kErrorCheckInterval{1000};

    LineWatch(SerialPort& port, SessionRecorder& recorder, QObject* parent = nullptr);

    void sent(Device device, const Frame& frame, const QString& command, Moment at);
    void received(std::size_t count, std::uint64_t outsideFrames, Moment at);
    void recognised(const Frame& frame, Moment at);

    const LineStatus& status() const { return status_; }
    void setAnswerWindow(std::chrono::milliseconds window);
    // The adapter's counters since the port opened; none when closed or not reported.
    std::optional<AdapterErrors> adapterErrors() const;
    int baudRate() const { return port_.baudRate(); }

    void recordSummary();
    void reset();  // recorded

    static LineStatus::Time timeOf(Moment at);

signals:
    // Something was counted (a frame, a delivery, a reset, new error counts).
    void changed();

private:
    void checkErrors();

    SerialPort& port_;
    SessionRecorder& recorder_;
    LineStatus status_;
    QTimer errorCheck_;
    std::optional<AdapterErrors> lastErrors_;  // as last recorded or seen
};

}  // namespace vela
