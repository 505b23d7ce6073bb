#pragma once
// The pace of frames sent again from a record, for the window and for the
// headless check alike: each frame at least its recorded gap after the one
// before it went out, never sooner. A wait is driven from the event loop, so
// that the caller's window paints and its "Durdur" works, and a stopped run
// or a lost port ends it at once: long waits on a timer re-armed in bounded
// steps that ends a few milliseconds early, the rest in the port's exact
// pause, which keeps reading the device.
#include <QObject>
#include <QTimer>
#include <chrono>

#include "serial/serial_port.h"

namespace vela {

class FramePacer : public QObject {
    Q_OBJECT

public:
    using Clock = std::chrono::steady_clock;

    explicit FramePacer(SerialPort& port, QObject* parent = nullptr);

    // `from` + `gap`, or the farthest time there is for a gap beyond it.
    static Clock::time_point after(Clock::time_point from, std::chrono::milliseconds gap);

    // due() once `at` has come, from the event loop.
    void waitUntil(Clock::time_point at);
    void cancel() { timer_.stop(); }
    bool waiting() const { return timer_.isActive(); }

signals:
    void due();

private:
    void step();
    void timerOver();

    SerialPort& port_;
    QTimer timer_;
    Clock::time_point at_;
};

}  // namespace vela
