#pragma once
// What the serial port asks of its terminal descriptor: reads, hang-ups, the
// output queue, and pauses that end on time. The output-queue queries go
// through a replaceable probe, since a pseudo-terminal's driver tells nothing
// true of them (its queue reads empty with kilobytes unread, and it has no
// line status): tests put their own answers in its place.
#include <poll.h>

#include <QByteArray>
#include <chrono>
#include <functional>
#include <optional>

namespace vela::tty {

using Clock = std::chrono::steady_clock;  // CLOCK_MONOTONIC

inline constexpr short kGone = POLLHUP | POLLERR | POLLNVAL;

// Whether the device's transmitter has sent its last bit. A pseudo-terminal
// has no line, so what it took is at its other end already: Empty.
enum class TransmitterState { Empty, Sending, DriverCannotTell };

struct OutputQueueProbe {
    // Bytes the driver still holds to send (TIOCOUTQ); nothing when it cannot say.
    std::function<std::optional<int>(int fd)> queued;
    // The transmitter (TIOCSERGETLSR); USB adapters' drivers cannot tell.
    std::function<TransmitterState(int fd)> transmitter;
};

// Replaces the probe; a member left empty is answered by the system.
void setOutputQueueProbe(OutputQueueProbe probe);
std::optional<int> queuedOutput(int fd);
TransmitterState transmitterState(int fd);

bool hungUp(int fd);
// Everything the device has waiting, appended; false when it has gone.
bool drain(int fd, QByteArray& into);

timespec toTimespec(std::chrono::nanoseconds span);

// Sleeps to just before `end`, then waits awake until it.
void sleepUntil(Clock::time_point end);

// A sleeping thread wakes a few hundred microseconds late when the machine is
// busy; a pause spends its last stretch awake, so that it ends on time. Half
// a millisecond of each 20 ms wait is 2.5 % of a core, and only while a
// transfer runs.
inline constexpr std::chrono::microseconds kAwakeMargin{500};

// The kernel lets a sleeping thread wake up to 50 us late by default so that
// wake-ups can be merged; a pause on the line wants its exact end.
class ExactTimers {
public:
    ExactTimers();
    ~ExactTimers();
    ExactTimers(const ExactTimers&) = delete;
    ExactTimers& operator=(const ExactTimers&) = delete;

private:
    int previous_;
};

}  // namespace vela::tty
