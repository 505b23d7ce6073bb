#include "serial/frame_pacer.h"

#include <algorithm>

namespace vela {

namespace {

using std::chrono::milliseconds;

// A long wait's timer ends this early, so that a timer that fires a little
// late still leaves the end of the wait to the port's exact pause.
constexpr milliseconds kTimerEndsEarly{4};
// A timer is armed for at most this long at a time: a recorded gap may be
// far longer than a timer's interval can hold.
constexpr milliseconds kLongestTimerStep{60'000};

}  // namespace

FramePacer::FramePacer(SerialPort& port, QObject* parent) : QObject(parent), port_(port) {
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &FramePacer::timerOver);
}

FramePacer::Clock::time_point FramePacer::after(Clock::time_point from, milliseconds gap) {
    const auto room = std::chrono::floor<milliseconds>(Clock::time_point::max() - from);
    return gap >= room ? Clock::time_point::max() : from + gap;
}

void FramePacer::waitUntil(Clock::time_point at) {
    at_ = at;
    step();
}

void FramePacer::step() {
    const auto early = std::chrono::floor<milliseconds>(at_ - kTimerEndsEarly - Clock::now());
    timer_.start(std::clamp(early, milliseconds{0}, kLongestTimerStep));
}

// Only the last few milliseconds of a wait are spent in the port's pause on
// this thread; a longer rest is another step on the timer.
void FramePacer::timerOver() {
    if (at_ - Clock::now() > 2 * kTimerEndsEarly) {
        step();
        return;
    }
    port_.pauseUntil(at_);
    emit due();
}

}  // namespace vela
