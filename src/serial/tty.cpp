#include "serial/tty.h"

#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace vela::tty {

namespace {

OutputQueueProbe& replacedProbe() {
    static OutputQueueProbe probe;
    return probe;
}

bool isPseudoTerminal(int fd) {
    struct stat device {};
    return ::fstat(fd, &device) == 0 && ::major(device.st_rdev) >= 136 && ::major(device.st_rdev) <= 143;
}

}  // namespace

void setOutputQueueProbe(OutputQueueProbe probe) { replacedProbe() = std::move(probe); }

std::optional<int> queuedOutput(int fd) {
    if (replacedProbe().queued) return replacedProbe().queued(fd);
    int queued = 0;
    if (::ioctl(fd, TIOCOUTQ, &queued) != 0) return std::nullopt;
    return queued;
}

TransmitterState transmitterState(int fd) {
    if (replacedProbe().transmitter) return replacedProbe().transmitter(fd);
    unsigned int status = 0;
    if (::ioctl(fd, TIOCSERGETLSR, &status) == 0)
        return (status & TIOCSER_TEMT) != 0 ? TransmitterState::Empty : TransmitterState::Sending;
    return isPseudoTerminal(fd) ? TransmitterState::Empty : TransmitterState::DriverCannotTell;
}

bool hungUp(int fd) {
    pollfd p{fd, 0, 0};
    return ::poll(&p, 1, 0) > 0 && (p.revents & kGone) != 0;
}

bool drain(int fd, QByteArray& into) {
    char chunk[4096];
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n > 0) {
            into.append(chunk, n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            return n < 0 && errno == EAGAIN;
        }
    }
}

timespec toTimespec(std::chrono::nanoseconds span) {
    return {static_cast<time_t>(span.count() / 1'000'000'000), static_cast<long>(span.count() % 1'000'000'000)};
}

void sleepUntil(Clock::time_point end) {
    const timespec at = toTimespec((end - kAwakeMargin).time_since_epoch());
    while (::clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &at, nullptr) == EINTR) {
    }
    while (Clock::now() < end) {
    }
}

ExactTimers::ExactTimers() : previous_(::prctl(PR_GET_TIMERSLACK, 0, 0, 0, 0)) {
    ::prctl(PR_SET_TIMERSLACK, 1UL, 0, 0, 0);
}

ExactTimers::~ExactTimers() {
    if (previous_ > 0) ::prctl(PR_SET_TIMERSLACK, static_cast<unsigned long>(previous_), 0, 0, 0);
}

}  // namespace vela::tty
