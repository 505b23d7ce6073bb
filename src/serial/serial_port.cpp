#include "serial/serial_port.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <QTimer>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <utility>

#include "serial/line_settings.h"
#include "serial/port_discovery.h"
#include "serial/port_holders.h"

namespace vela {

namespace {

using Clock = std::chrono::steady_clock;  // CLOCK_MONOTONIC

// How long one byte may wait for room in a full device buffer. A serial line
// without flow control always drains; only a stuck far end makes the wait run
// out, and then the byte stays queued and goes out from the event loop.
constexpr std::chrono::milliseconds kFullBufferWait{1000};

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
    return ::poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
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
    while (::clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &at, nullptr) == EINTR) {}
    while (Clock::now() < end) {}
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
    std::string lockFile;   // our UUCP lock file, when we could write one
    std::string identity;   // the open adapter's identity; empty: found again by its Com number
    QString openedDevice;   // the device of the last successful open
    bool lost = false;      // the device vanished and has not been reopened
    std::unique_ptr<QSocketNotifier> readNotifier;   // off while gathering
    std::unique_ptr<QSocketNotifier> writeNotifier;  // on while bytes are unsent
    QTimer reopenTimer;     // runs while the device is lost
    QTimer gatherTimer;     // runs from the first received byte to the notification
    QByteArray held;        // read, not yet announced
    QByteArray unsent;      // what a stuck device did not take in time
    OpenFailure failure;

    int fail(int error) {
        failure.systemError = error;
        return errorForErrno(error);
    }

    // Opens the device of the port at the settings held, unless another
    // program holds it; 0 or the error number of open(). Taken back after a
    // loss, an adapter is looked for by its identity, wherever it is now.
    int openDevice(bool again) {
        failure = {};
        if (commPort < 1 || commPort > kComPorts) return kInvalidPortNumber;
        std::string device;
        std::string found;
        if (again && !identity.empty()) {
            for (const PortInfo& port : portsPresent()) {
                if (identityOf(port) == identity) device = port.location;
            }
            if (device.empty()) return kInvalidPortNumber;
        } else {
            const ComTarget target = comTarget(commPort);
            device = target.device;
            if (target.port) found = identityOf(*target.port);
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
        if (!again) identity = found;
        openedDevice = QString::fromStdString(device);
        lost = false;
        reopenTimer.stop();
        return 0;
    }

    void close() {
        gatherTimer.stop();
        readNotifier.reset();
        writeNotifier.reset();
        unsent.clear();
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
        if (impl_->openDevice(true) != 0) return;
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
    impl_->readNotifier = std::make_unique<QSocketNotifier>(impl_->fd, QSocketNotifier::Read);
    connect(impl_->readNotifier.get(), &QSocketNotifier::activated, this, &SerialPort::readable);
    impl_->writeNotifier = std::make_unique<QSocketNotifier>(impl_->fd, QSocketNotifier::Write);
    impl_->writeNotifier->setEnabled(false);
    connect(impl_->writeNotifier.get(), &QSocketNotifier::activated, this, &SerialPort::writable);
}

void SerialPort::setRThreshold(int threshold) {
    impl_->threshold = threshold;
    if (threshold < 1) return;
    // Bytes that came in while notifications were off are announced now.
    if (impl_->readNotifier && !impl_->gatherTimer.isActive()) impl_->readNotifier->setEnabled(true);
    if (!impl_->held.isEmpty() && !impl_->gatherTimer.isActive()) impl_->gatherTimer.start();
}

bool SerialPort::isOpen() const { return impl_->fd >= 0; }

void SerialPort::readable() {
    impl_->readNotifier->setEnabled(false);
    if (impl_->threshold >= 1) {
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
        if (!drain(impl_->fd, impl_->held)) {
            loseDevice();  // announces what was read before it went
            return;
        }
        if (impl_->held.size() > before && impl_->threshold >= 1)
            impl_->gatherTimer.start();
        else
            impl_->readNotifier->setEnabled(true);
    }
    if (impl_->threshold >= 1 && !impl_->held.isEmpty()) emit onComm(kEventReceive, std::exchange(impl_->held, {}));
}

void SerialPort::writable() {
    const ssize_t n = ::write(impl_->fd, impl_->unsent.constData(), static_cast<std::size_t>(impl_->unsent.size()));
    if (n > 0) impl_->unsent.remove(0, n);
    if (n < 0 && errno != EAGAIN && errno != EINTR) {
        loseDevice();
        return;
    }
    impl_->writeNotifier->setEnabled(!impl_->unsent.isEmpty());
}

SerialPort::WriteResult SerialPort::output(std::uint8_t byte) {
    if (impl_->lost) return WriteResult::Lost;
    if (!isOpen()) return WriteResult::NotOpen;
    const char value = static_cast<char>(byte);
    if (!impl_->unsent.isEmpty()) {  // behind bytes a stuck device has not taken yet
        impl_->unsent.append(value);
        return WriteResult::Written;
    }
    const Clock::time_point deadline = Clock::now() + kFullBufferWait;
    for (;;) {
        const ssize_t n = ::write(impl_->fd, &value, 1);
        if (n == 1) return WriteResult::Written;
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN) break;
        // A full device buffer is not a vanished device: wait for room.
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            impl_->unsent.append(value);
            impl_->writeNotifier->setEnabled(true);
            return WriteResult::Written;
        }
        pollfd p{impl_->fd, POLLOUT, 0};
        if (::poll(&p, 1, static_cast<int>(left.count())) > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0)
            break;
    }
    loseDevice();
    return WriteResult::Lost;
}

void SerialPort::pauseKeepingInput(std::chrono::milliseconds duration) {
    const ExactTimers exact;
    // The pause starts when the frame has left the device, not when it was
    // queued: at 9600 baud a frame takes 7 ms on the wire.
    if (isOpen()) ::tcdrain(impl_->fd);
    const Clock::time_point end = Clock::now() + duration + kLateMargin;
    if (!isOpen()) {
        sleepUntil(end);
        return;
    }
    const qsizetype before = impl_->held.size();
    const Clock::time_point awake = end - kAwakeMargin;
    for (Clock::time_point now = Clock::now(); now < awake; now = Clock::now()) {
        const timespec timeout = toTimespec(awake - now);
        pollfd p{impl_->fd, POLLIN, 0};
        if (::ppoll(&p, 1, &timeout, nullptr) > 0 && !drain(impl_->fd, impl_->held)) break;  // hung up: noticed later
    }
    sleepUntil(end);
    if (impl_->held.size() > before && impl_->threshold >= 1 && !impl_->gatherTimer.isActive())
        impl_->gatherTimer.start();
}

void SerialPort::loseDevice() {
    if (impl_->lost || !isOpen()) return;
    // What the device said before it went is still announced.
    drain(impl_->fd, impl_->held);
    impl_->close();
    if (!impl_->held.isEmpty()) impl_->gatherTimer.start();
    impl_->lost = true;
    impl_->reopenTimer.start();
    emit lost();
}

}  // namespace vela
