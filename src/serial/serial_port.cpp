#include "serial/serial_port.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
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
#include "serial/tty.h"

namespace vela {

namespace {

using Clock = tty::Clock;
using tty::kAwakeMargin;
using tty::kGone;

// How often the output queue is looked at while a frame leaves: a frame
// takes 7 ms on a 9600-baud line, and the pause after it starts at most this
// much late.
constexpr std::chrono::microseconds kQueuePoll{250};

// Received bytes are gathered this long before one notification carries all
// of them: at 19200 baud a byte comes every half millisecond, and waking the
// program for each one costs more than the monitor's whole work. The delay
// stays far below what a technician can see.
constexpr std::chrono::milliseconds kGatherTime{30};

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

// `at` plus `span`, or the end of time where that would overflow.
template <class Span>
Clock::time_point later(Clock::time_point at, Span span) {
    const Span room = std::chrono::duration_cast<Span>(Clock::time_point::max() - at);
    return span > room ? Clock::time_point::max() : at + span;
}

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
    std::unique_ptr<QSocketNotifier> readNotifier;  // off while bytes are known to wait
    QTimer reopenTimer;                             // runs while the device is lost
    QTimer gatherTimer;                             // runs from the first received byte to the notification
    std::optional<Clock::time_point> waitingSince;  // the notifier saw bytes then, not read yet
    QByteArray held;                                // read, not yet announced by onComm
    int unconfirmed = 0;                            // bytes written since the device was last seen to have sent all
    OpenFailure failure;
    std::optional<LineErrorCounts> errorBase;  // the counters when the device was opened

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
        errorBase = readLineErrors(fd);
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

std::optional<LineErrorCounts> SerialPort::lineErrors() const {
    if (!isOpen() || !impl_->errorBase) return std::nullopt;
    const std::optional<LineErrorCounts> now = readLineErrors(impl_->fd);
    if (!now) return std::nullopt;
    return countsSince(*impl_->errorBase, *now);
}

void SerialPort::watch() {
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
    } else if (tty::hungUp(impl_->fd)) {
        loseDevice();
    }
    // Otherwise the bytes wait in the device until notifications are on.
}

// While bytes keep coming the device is read again one gathering time later
// instead of waiting for its next byte, so that a notification carries a
// gathering time's bytes. The notifier stays on in between, to see when the
// next bytes begin to wait: that wake-up, one per notification, is what
// stamps each delivery with its first byte rather than its last. A gathering
// that finds nothing new leaves the device to the notifier.
void SerialPort::gathered() {
    if (isOpen()) {
        const qsizetype before = impl_->held.size();
        if (!take(Clock::now())) {
            loseDevice();  // announces what was read before it went
            return;
        }
        if (impl_->held.size() > before && impl_->threshold >= 1) impl_->gatherTimer.start();
    }
    if (impl_->threshold >= 1 && !impl_->held.isEmpty()) emit onComm(kEventReceive, std::exchange(impl_->held, {}));
}

bool SerialPort::take(Moment now) {
    QByteArray got;
    const bool present = tty::drain(impl_->fd, got);
    const Moment seen = impl_->waitingSince.value_or(now);
    impl_->waitingSince.reset();
    if (impl_->readNotifier) impl_->readNotifier->setEnabled(true);  // to see the next bytes come
    if (got.isEmpty()) return present;
    impl_->held += got;
    emit arrived(got, seen);
    return present;
}

short SerialPort::watchFor(std::chrono::nanoseconds timeout, short also) {
    const timespec wait = tty::toTimespec(std::max(timeout, std::chrono::nanoseconds::zero()));
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
    tty::TransmitterState transmitter = tty::TransmitterState::Sending;
    // What came before the frame left is taken first, to stand before it in
    // the record; then the queue is looked at every kQueuePoll, and whenever
    // bytes come in. A queue the driver cannot count is taken as empty.
    for (std::chrono::nanoseconds wait{0};; wait = kQueuePoll) {
        if (watchFor(std::min<Clock::duration>(wait, deadline - Clock::now()), 0) & kGone) {
            loseDevice();
            return WriteResult::Lost;
        }
        if (tty::queuedOutput(impl_->fd).value_or(0) == 0) {
            transmitter = tty::transmitterState(impl_->fd);
            if (transmitter != tty::TransmitterState::Sending) break;
        }
        if (Clock::now() >= deadline) return WriteResult::Stuck;
    }
    // A USB adapter keeps a buffer of its own that no driver call shows: the
    // bytes may have just reached it, and take their time on the line yet.
    if (transmitter == tty::TransmitterState::DriverCannotTell)
        readUntil(Clock::now() + lineTime(impl_->settings, given));
    return WriteResult::Written;
}

// A queue that reads empty is left alone: on a pseudo-terminal the flush
// would take back what the other end has been given but not read yet.
int SerialPort::discardUnsent() {
    impl_->unconfirmed = 0;
    if (!isOpen()) return 0;
    const std::optional<int> queued = tty::queuedOutput(impl_->fd);
    if (queued.value_or(1) > 0) ::tcflush(impl_->fd, TCOFLUSH);
    return queued.value_or(0);
}

void SerialPort::pauseKeepingInput(std::chrono::milliseconds duration) { pauseUntil(later(Clock::now(), duration)); }

void SerialPort::pauseUntil(Moment end) {
    const tty::ExactTimers exact;
    const Clock::time_point over = later(end, kLateMargin);
    if (isOpen()) readUntil(over - kAwakeMargin);
    tty::sleepUntil(over);
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
