#include "serial/serial_port.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <optional>
#include <utility>

#include "serial/line_settings.h"
#include "serial/port_discovery.h"
#include "serial/port_holders.h"

namespace vela {

namespace {

using Clock = std::chrono::steady_clock;  // CLOCK_MONOTONIC

// How often the output queue is looked at while a frame leaves: a frame
// takes 7 ms on a 9600-baud line, and the pause after it starts at most this
// much late.
constexpr std::chrono::microseconds kQueuePoll{250};

constexpr short kGone = POLLHUP | POLLERR | POLLNVAL;

// Received bytes are gathered this long before one notification carries all
// of them: at 19200 baud a byte comes every half millisecond, and waking the
// program for each one costs more than the monitor's whole work. The delay
// stays far below what a technician can see.
constexpr std::chrono::milliseconds kGatherTime{30};

// A sleeping thread wakes a few hundred microseconds late when the machine is
// busy; a pause spends its last stretch awake, so that it ends on time. Half
// a millisecond of each 20 ms wait is 2.5 % of a core, and only while a
// transfer runs.
constexpr std::chrono::microseconds kAwakeMargin{500};

// A pause ends this much after its time, not at it: the moment a byte leaves
// the device varies by some tens of microseconds, and no wait on the line may
// come out short.
constexpr std::chrono::microseconds kLateMargin{50};

int errorForErrno(int error) {
    switch (error) {
    case EBUSY: return SerialPort::kPortAlreadyOpen;
    case EACCES:
    case EPERM: return SerialPort::kPermissionDenied;
    case ENOENT:
    case ENOTDIR:
    case ENOTTY:
    case ENXIO:
    case ENODEV: return SerialPort::kInvalidPortNumber;
    default: return SerialPort::kOpenFailed;
    }
}

bool hungUp(int fd) {
    pollfd p{fd, 0, 0};
    return ::poll(&p, 1, 0) > 0 && (p.revents & kGone) != 0;
}

// A pseudo-terminal has no line: what it took is at its other end already.
bool isPseudoTerminal(int fd) {
    struct stat device {};
    return ::fstat(fd, &device) == 0 && ::major(device.st_rdev) >= 136 && ::major(device.st_rdev) <= 143;
}

// Bytes the driver still holds to send; 0 when it cannot say.
int queuedOutput(int fd) {
    int queued = 0;
    return ::ioctl(fd, TIOCOUTQ, &queued) == 0 ? queued : 0;
}

// Whether the UART's transmitter has sent its last bit; nothing where the
// driver does not tell (USB adapters).
std::optional<bool> transmitterEmpty(int fd) {
    unsigned int status = 0;
    if (::ioctl(fd, TIOCSERGETLSR, &status) != 0) return std::nullopt;
    return (status & TIOCSER_TEMT) != 0;
}

// The time `bytes` take on the line: start bit, data bits, parity, stop bits
// (1.5 counted as 2).
Clock::duration lineTime(const LineSettings& line, int bytes) {
    const int bits = 1 + line.dataBits + (line.parity == Parity::None ? 0 : 1) +
                     (line.stopBits == StopBits::One ? 1 : 2);
    return std::chrono::microseconds(std::int64_t{bytes} * bits * 1'000'000 / std::max(line.baudRate, 1));
}

// Checks on the freshly opened device; on success the descriptor holds an
// exclusive flock that others see as "in use".
int claim(int fd, const std::string& path) {
    // As root an open succeeds despite exclusive mode; the mode still tells.
    int exclusive = 0;
    if (::ioctl(fd, TIOCGEXCL, &exclusive) == 0 && exclusive != 0) return SerialPort::kPortAlreadyOpen;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
        return errno == EWOULDBLOCK ? SerialPort::kPortAlreadyOpen : SerialPort::kOpenFailed;
    if (port_holders::isOpenElsewhere(path)) return SerialPort::kPortAlreadyOpen;
    return 0;
}

// Everything the device has waiting, appended; false when it has gone.
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

// Sleeps to just before `end`, then waits awake until it.
void sleepUntil(Clock::time_point end) {
    const timespec at = toTimespec((end - kAwakeMargin).time_since_epoch());
    while (::clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &at, nullptr) == EINTR) {
    }
    while (Clock::now() < end) {
    }
}

// The kernel lets a sleeping thread wake up to 50 us late by default so that
// wake-ups can be merged; a pause on the line wants its exact end.
class ExactTimers {
public:
    ExactTimers() : previous_(::prctl(PR_GET_TIMERSLACK, 0, 0, 0, 0)) { ::prctl(PR_SET_TIMERSLACK, 1UL, 0, 0, 0); }
    ~ExactTimers() {
        if (previous_ > 0) ::prctl(PR_SET_TIMERSLACK, static_cast<unsigned long>(previous_), 0, 0, 0);
    }
    ExactTimers(const ExactTimers&) = delete;
    ExactTimers& operator=(const ExactTimers&) = delete;

private:
    int previous_;
};

}  // namespace

struct SerialPort::Impl {
    int commPort = 1;
    LineSettings settings;  // the control's default, "9600,N,8,1"
    int threshold = 0;
    int fd = -1;
    std::string lockFile;                           // our UUCP lock file, when we could write one
    Recall recall;                                  // how the device is found again after a loss
    QString openedDevice;                           // the device of the last successful open
    bool lost = false;                              // the device vanished and has not been reopened
    bool lineless = false;                          // a pseudo-terminal
    std::unique_ptr<QSocketNotifier> readNotifier;  // off while bytes are known to wait
    QTimer reopenTimer;                             // runs while the device is lost
    QTimer gatherTimer;                             // runs from the first received byte to the notification
    std::optional<Clock::time_point> waitingSince;  // the notifier saw bytes then, not read yet
    QByteArray held;                                // read, not yet announced by onComm
    int unconfirmed = 0;                            // bytes written since the device was last seen to have sent all
    OpenFailure failure;

    int fail(int error) {
        failure.systemError = error;
        return errorForErrno(error);
    }

    // openDevice(true) when the lost adapter cannot be told apart from others.
    static constexpr int kWhichAdapterUnknown = -1;

    // Opens the device of the port at the settings held, unless another
    // program holds it; 0 or the error number of open(). Taken back after a
    // loss, only the device it had is opened: an adapter by its identity,
    // wherever it is now, any other device under the same name.
    int openDevice(bool again) {
        failure = {};
        if (commPort < 1 || commPort > kComPorts) return kInvalidPortNumber;
        std::string device;
        Recall found;
        if (again) {
            // Listing the ports is needed only to find an adapter.
            const Refound refound = findAgain(
                recall, recall.by == Recall::By::Identity ? portsPresent() : std::vector<PortInfo>{});
            if (refound.outcome == Refound::Outcome::Unknown) return kWhichAdapterUnknown;
            if (refound.outcome == Refound::Outcome::Wait) return kInvalidPortNumber;
            device = refound.device;
        } else {
            const ComTarget target = comTarget(commPort);
            device = target.device;
            found = target.recall;
        }
        failure.device = QString::fromStdString(device);

        // Locks name the resolved path, so a symlink cannot escape another instance's lock.
        char resolved[PATH_MAX];
        if (!::realpath(device.c_str(), resolved)) return fail(errno);
        const std::string path = resolved;

        if (port_holders::hasLiveUucpLock(path)) return kPortAlreadyOpen;
        const int opened = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (opened < 0) return fail(errno);
        int refused = ::isatty(opened) ? claim(opened, path) : fail(ENOTTY);
        if (refused == kOpenFailed) failure.systemError = errno;  // flock failed for a reason of its own
        if (refused == 0 && !applyLineSettings(opened, settings)) refused = fail(errno);
        if (refused != 0) {
            ::close(opened);
            return refused;
        }
        ::ioctl(opened, TIOCEXCL);
        fd = opened;
        lockFile = port_holders::takeUucpLock(path);
        if (!again) recall = found;
        openedDevice = QString::fromStdString(device);
        lost = false;
        reopenTimer.stop();
        return 0;
    }

    void close() {
        gatherTimer.stop();
        readNotifier.reset();
        waitingSince.reset();
        unconfirmed = 0;
        if (fd < 0) return;
        ::ioctl(fd, TIOCNXCL);  // the mode would outlive this descriptor
        ::close(fd);
        fd = -1;
        if (!lockFile.empty()) ::unlink(lockFile.c_str());
        lockFile.clear();
    }
};

SerialPort::SerialPort(QObject* parent) : QObject(parent), impl_(std::make_unique<Impl>()) {
    impl_->reopenTimer.setInterval(kReopenIntervalMs);
    connect(&impl_->reopenTimer, &QTimer::timeout, this, [this] {
        const int error = impl_->openDevice(true);
        if (error == Impl::kWhichAdapterUnknown) {
            impl_->reopenTimer.stop();  // waiting longer would not tell it any better
            emit notReopened();
            return;
        }
        if (error != 0) return;
        watch();
        emit reopened();
    });
    impl_->gatherTimer.setSingleShot(true);
    impl_->gatherTimer.setInterval(kGatherTime);
    connect(&impl_->gatherTimer, &QTimer::timeout, this, &SerialPort::gathered);
}

SerialPort::~SerialPort() { impl_->close(); }

void SerialPort::setCommPort(int commPort) { impl_->commPort = commPort; }

int SerialPort::commPort() const { return impl_->commPort; }

qint32 SerialPort::baudRate() const { return impl_->settings.baudRate; }

int SerialPort::setSettings(const QString& settings) {
    const std::optional<LineSettings> parsed = parseLineSettings(settings);
    if (!parsed) return kInvalidPropertyValue;
    if (isOpen() && !applyLineSettings(impl_->fd, *parsed)) return kInvalidPropertyValue;
    impl_->settings = *parsed;
    return 0;
}

int SerialPort::open() {
    if (isOpen()) return kPortAlreadyOpen;
    const int error = impl_->openDevice(false);
    if (error == 0) watch();
    return error;
}

SerialPort::OpenFailure SerialPort::lastOpenFailure() const { return impl_->failure; }

QString SerialPort::device() const { return impl_->openedDevice; }

void SerialPort::watch() {
    impl_->lineless = isPseudoTerminal(impl_->fd);
    impl_->readNotifier = std::make_unique<QSocketNotifier>(impl_->fd, QSocketNotifier::Read);
    connect(impl_->readNotifier.get(), &QSocketNotifier::activated, this, &SerialPort::readable);
}

void SerialPort::setRThreshold(int threshold) {
    impl_->threshold = threshold;
    if (threshold < 1) return;
    // Bytes that came in while notifications were off are announced now.
    if (impl_->readNotifier && !impl_->gatherTimer.isActive()) impl_->readNotifier->setEnabled(true);
    if (!impl_->held.isEmpty() && !impl_->gatherTimer.isActive()) impl_->gatherTimer.start();
}

bool SerialPort::isOpen() const { return impl_->fd >= 0; }

// The bytes are read once the gathering time is over; they arrived when the
// notifier first saw them waiting.
void SerialPort::readable() {
    impl_->readNotifier->setEnabled(false);
    if (impl_->threshold >= 1) {
        if (!impl_->waitingSince) impl_->waitingSince = Clock::now();
        if (!impl_->gatherTimer.isActive()) impl_->gatherTimer.start();
    } else if (hungUp(impl_->fd)) {
        loseDevice();
    }
    // Otherwise the bytes wait in the device until notifications are on.
}

// While bytes keep coming the device is read again one gathering time later
// instead of waiting for its next byte: one wake-up per notification, not
// two, and no byte waits longer than before. A gathering that finds nothing
// new hands the device back to the notifier.
void SerialPort::gathered() {
    if (isOpen()) {
        const qsizetype before = impl_->held.size();
        if (!take(Clock::now())) {
            loseDevice();  // announces what was read before it went
            return;
        }
        if (impl_->held.size() > before && impl_->threshold >= 1) {
            impl_->readNotifier->setEnabled(false);
            impl_->gatherTimer.start();
        }
    }
    if (impl_->threshold >= 1 && !impl_->held.isEmpty()) emit onComm(kEventReceive, std::exchange(impl_->held, {}));
}

bool SerialPort::take(Moment now) {
    QByteArray got;
    const bool present = drain(impl_->fd, got);
    const Moment seen = impl_->waitingSince.value_or(now);
    impl_->waitingSince.reset();
    if (impl_->readNotifier) impl_->readNotifier->setEnabled(true);  // to see the next bytes come
    if (got.isEmpty()) return present;
    impl_->held += got;
    emit arrived(got, seen);
    return present;
}

short SerialPort::watchFor(std::chrono::nanoseconds timeout, short also) {
    const timespec wait = toTimespec(std::max(timeout, std::chrono::nanoseconds::zero()));
    pollfd p{impl_->fd, static_cast<short>(POLLIN | also), 0};
    if (::ppoll(&p, 1, &wait, nullptr) <= 0) return 0;
    if ((p.revents & POLLIN) != 0) {
        if (!take(Clock::now())) return POLLHUP;
        // Shown once the caller is back in the event loop.
        if (impl_->threshold >= 1 && !impl_->gatherTimer.isActive()) impl_->gatherTimer.start();
    }
    return p.revents;
}

void SerialPort::readUntil(Moment end) {
    for (Moment now = Clock::now(); now < end; now = Clock::now()) {
        if (watchFor(end - now, 0) & kGone) return;  // the loss is noticed by the next write or read
    }
}

SerialPort::WriteResult SerialPort::output(std::uint8_t byte) {
    if (impl_->lost) return WriteResult::Lost;
    if (!isOpen()) return WriteResult::NotOpen;
    const char value = static_cast<char>(byte);
    const Clock::time_point deadline = Clock::now() + kStuckAfter;
    for (;;) {
        const ssize_t n = ::write(impl_->fd, &value, 1);
        if (n == 1) {
            ++impl_->unconfirmed;
            return WriteResult::Written;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN) break;
        // A full output queue is not a vanished device: wait for room, but
        // not without end.
        const Clock::time_point now = Clock::now();
        if (now >= deadline) return WriteResult::Stuck;
        if (watchFor(deadline - now, POLLOUT) & kGone) break;
    }
    loseDevice();
    return WriteResult::Lost;
}

// Polled: the only call that waits for the queue to empty (tcdrain) has no
// time limit, and a wedged adapter would hold the window's thread for good.
SerialPort::WriteResult SerialPort::waitSent() {
    if (impl_->lost) return WriteResult::Lost;
    if (!isOpen()) return WriteResult::NotOpen;
    const int given = std::exchange(impl_->unconfirmed, 0);
    const Clock::time_point deadline = Clock::now() + kStuckAfter + lineTime(impl_->settings, given);
    std::optional<bool> emptied;
    // What came before the frame left is taken first, to stand before it in
    // the record; then the queue is looked at every kQueuePoll, and whenever
    // bytes come in.
    for (std::chrono::nanoseconds wait{0};; wait = kQueuePoll) {
        if (watchFor(std::min<Clock::duration>(wait, deadline - Clock::now()), 0) & kGone) {
            loseDevice();
            return WriteResult::Lost;
        }
        if (queuedOutput(impl_->fd) == 0) {
            emptied = transmitterEmpty(impl_->fd);
            if (emptied.value_or(true)) break;
        }
        if (Clock::now() >= deadline) return WriteResult::Stuck;
    }
    // A USB adapter keeps a buffer of its own that no driver call shows: the
    // bytes may have just reached it, and take their time on the line yet.
    if (!emptied && !impl_->lineless) readUntil(Clock::now() + lineTime(impl_->settings, given));
    return WriteResult::Written;
}

// A queue that reads empty is left alone: on a pseudo-terminal the flush
// would take back what the other end has been given but not read yet.
int SerialPort::discardUnsent() {
    impl_->unconfirmed = 0;
    if (!isOpen()) return 0;
    int queued = 0;
    const bool counted = ::ioctl(impl_->fd, TIOCOUTQ, &queued) == 0;
    if (!counted || queued > 0) ::tcflush(impl_->fd, TCOFLUSH);
    return counted ? queued : 0;
}

void SerialPort::pauseKeepingInput(std::chrono::milliseconds duration) {
    const ExactTimers exact;
    const Clock::time_point end = Clock::now() + duration + kLateMargin;
    if (isOpen()) readUntil(end - kAwakeMargin);
    sleepUntil(end);
}

void SerialPort::loseDevice() {
    if (impl_->lost || !isOpen()) return;
    // What the device said before it went is still told.
    take(Clock::now());
    impl_->close();
    if (!impl_->held.isEmpty()) impl_->gatherTimer.start();
    impl_->lost = true;
    impl_->reopenTimer.start();
    emit lost();
}

}  // namespace vela
