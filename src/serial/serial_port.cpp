#include "serial/serial_port.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <QFile>
#include <QSerialPort>
#include <QTimer>
#include <thread>
#include <utility>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>

#include "serial/line_settings.h"
#include "serial/port_holders.h"

namespace vela {

namespace {

constexpr int kFirstPort = 1;
constexpr int kLastPort = 16;

// How long one byte may wait for room in a full device buffer. A serial line
// without flow control always drains; only a stuck far end makes the wait run
// out, and then the byte stays queued and goes out from the event loop.
constexpr std::chrono::milliseconds kFullBufferWait{1000};

// Received bytes are gathered this long before one notification carries all
// of them: at 19200 baud a byte comes every half millisecond, and waking the
// program for each one costs more than the monitor's whole work. The delay
// stays far below what a technician can see.
constexpr std::chrono::milliseconds kGatherTime{30};

int errorForErrno(int error) {
    switch (error) {
    case EBUSY: return SerialPort::kPortAlreadyOpen;
    case EACCES:
    case EPERM: return SerialPort::kPermissionDenied;
    case ENOENT:
    case ENOTDIR:
    case ENXIO:
    case ENODEV: return SerialPort::kInvalidPortNumber;
    default: return SerialPort::kOpenFailed;
    }
}

bool hungUp(int fd) {
    pollfd p{fd, 0, 0};
    return ::poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}

// Checks on our own descriptor of the device before QSerialPort opens it; on
// success the descriptor holds an exclusive flock that others see as "in use".
int claim(int fd, const std::string& path) {
    if (!::isatty(fd)) return SerialPort::kInvalidPortNumber;
    // As root an open succeeds despite exclusive mode; the mode still tells.
    int exclusive = 0;
    if (::ioctl(fd, TIOCGEXCL, &exclusive) == 0 && exclusive != 0) return SerialPort::kPortAlreadyOpen;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
        return errno == EWOULDBLOCK ? SerialPort::kPortAlreadyOpen : SerialPort::kOpenFailed;
    if (port_holders::isOpenElsewhere(path)) return SerialPort::kPortAlreadyOpen;
    return 0;
}

}  // namespace

struct SerialPort::Impl {
    int commPort = kFirstPort;
    LineSettings settings;  // the control's default, "9600,N,8,1"
    int threshold = 0;
    QSerialPort device;
    int lockFd = -1;        // our own descriptor of the device, holding the flock
    bool lost = false;        // the device vanished and has not been reopened
    QTimer reopenTimer;       // runs while the device is lost
    QTimer gatherTimer;       // runs from the first received byte to the notification
    QByteArray held;          // read during a pause, not yet announced
    bool lossPending = false;
    bool writing = false;

    bool apply() {
        return device.setBaudRate(settings.baudRate) && device.setParity(settings.parity) &&
               device.setDataBits(settings.dataBits) && device.setStopBits(settings.stopBits) &&
               device.setFlowControl(QSerialPort::NoFlowControl);
    }

    // Resolves the configured path and opens the device at the settings held,
    // unless another program holds it; 0 or the error number of open().
    int openDevice() {
        if (commPort < kFirstPort || commPort > kLastPort) return kInvalidPortNumber;

        // The resolved path: QSerialPort names its lock file after the path it
        // is given, so a symlink would escape another instance's lock.
        char resolved[PATH_MAX];
        if (!::realpath(QFile::encodeName(devicePath(commPort)).constData(), resolved)) return errorForErrno(errno);
        const std::string path = resolved;

        if (port_holders::hasLiveUucpLock(path)) return kPortAlreadyOpen;
        const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) return errorForErrno(errno);
        if (const int refused = claim(fd, path); refused != 0) {
            ::close(fd);
            return refused;
        }

        device.setPortName(QFile::decodeName(path.c_str()));
        apply();
        if (!device.open(QIODevice::ReadWrite)) {
            ::close(fd);
            // Our own open of the device succeeded, so a refusal here comes
            // from QSerialPort's lock file: another instance holds the port.
            switch (device.error()) {
            case QSerialPort::PermissionError: return kPortAlreadyOpen;
            case QSerialPort::DeviceNotFoundError: return kInvalidPortNumber;
            default: return kOpenFailed;
            }
        }
        lockFd = fd;
        lost = false;
        lossPending = false;
        reopenTimer.stop();
        return 0;
    }

    // Appends what the device has waiting; a read error is left to
    // QSerialPort's next look at the device.
    void readWaiting(QByteArray& into) {
        char chunk[4096];
        for (ssize_t n; (n = ::read(static_cast<int>(device.handle()), chunk, sizeof chunk)) > 0;)
            into.append(chunk, n);
    }

    // Everything received, in arrival order: what a pause read, the byte
    // QSerialPort holds (reading it lets QSerialPort listen to the device
    // again), then the rest straight from the device.
    QByteArray takeInput() {
        QByteArray input = std::exchange(held, {});
        input += device.readAll();
        readWaiting(input);
        return input;
    }

    void close() {
        gatherTimer.stop();
        device.close();
        if (lockFd >= 0) ::close(lockFd);
        lockFd = -1;
    }
};

SerialPort::SerialPort(QObject* parent) : QObject(parent), impl_(std::make_unique<Impl>()) {
    impl_->reopenTimer.setInterval(kReopenIntervalMs);
    connect(&impl_->reopenTimer, &QTimer::timeout, this, [this] {
        if (impl_->openDevice() == 0) emit reopened();
    });
    // QSerialPort stops listening to the device while its one-byte buffer is
    // full, so the bytes that follow the first wait in the device, unread and
    // without waking the program, until the gathered notification.
    impl_->device.setReadBufferSize(1);
    impl_->gatherTimer.setSingleShot(true);
    impl_->gatherTimer.setInterval(kGatherTime);
    connect(&impl_->device, &QSerialPort::readyRead, this, [this] {
        if (impl_->threshold >= 1 && !impl_->gatherTimer.isActive()) impl_->gatherTimer.start();
    });
    connect(&impl_->gatherTimer, &QTimer::timeout, this, [this] {
        if (impl_->threshold < 1) return;
        // A lost device leaves only what was taken from it before.
        const QByteArray input = isOpen() ? impl_->takeInput() : std::exchange(impl_->held, {});
        if (!input.isEmpty()) emit onComm(kEventReceive, input);
    });
    // After a hang-up QSerialPort reports a read error at every turn of the
    // event loop while it still counts as open; the port is closed once, from
    // the event loop, outside of QSerialPort's own notification.
    connect(&impl_->device, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError error) {
        if (impl_->writing || impl_->lossPending || !impl_->device.isOpen()) return;
        if (error != QSerialPort::ReadError && error != QSerialPort::ResourceError &&
            error != QSerialPort::WriteError)
            return;
        if (!hungUp(static_cast<int>(impl_->device.handle()))) {
            impl_->device.clearError();
            return;
        }
        impl_->lossPending = true;
        QMetaObject::invokeMethod(this, [this] { loseDevice(); }, Qt::QueuedConnection);
    });
}

SerialPort::~SerialPort() { impl_->close(); }

QString SerialPort::devicePath(int commPort) {
    const QString configured = qEnvironmentVariable(QByteArray("VELA_COM" + QByteArray::number(commPort)).constData());
    if (!configured.isEmpty()) return configured;
    return QStringLiteral("/dev/ttyS%1").arg(commPort - 1);
}

void SerialPort::setCommPort(int commPort) { impl_->commPort = commPort; }

int SerialPort::commPort() const { return impl_->commPort; }

qint32 SerialPort::baudRate() const { return impl_->settings.baudRate; }

int SerialPort::setSettings(const QString& settings) {
    const std::optional<LineSettings> parsed = parseLineSettings(settings);
    if (!parsed) return kInvalidPropertyValue;
    impl_->settings = *parsed;
    if (isOpen() && !impl_->apply()) return kInvalidPropertyValue;
    return 0;
}

int SerialPort::open() {
    if (isOpen()) return kPortAlreadyOpen;
    return impl_->openDevice();
}

void SerialPort::setRThreshold(int threshold) {
    impl_->threshold = threshold;
    // Bytes that came in while notifications were off are announced now.
    if (threshold >= 1 && impl_->device.bytesAvailable() > 0)
        QMetaObject::invokeMethod(&impl_->device, &QSerialPort::readyRead, Qt::QueuedConnection);
}

bool SerialPort::isOpen() const { return impl_->device.isOpen(); }

SerialPort::WriteResult SerialPort::output(std::uint8_t byte) {
    if (impl_->lost) return WriteResult::Lost;
    if (!isOpen()) return WriteResult::NotOpen;

    // QSerialPort writes its buffer from the event loop, which does not run
    // while a click handler sleeps: flush() hands the byte to the device now.
    impl_->writing = true;
    const char value = static_cast<char>(byte);
    impl_->device.write(&value, 1);
    const auto deadline = std::chrono::steady_clock::now() + kFullBufferWait;
    bool vanished = false;
    while (impl_->device.bytesToWrite() > 0 && !vanished) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) break;
        if (impl_->device.flush()) continue;
        // A full kernel buffer (EAGAIN) is not a vanished device: wait for room.
        pollfd p{static_cast<int>(impl_->device.handle()), POLLOUT, 0};
        const int ready = ::poll(&p, 1, static_cast<int>(left.count()));
        vanished = ready > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
    }
    impl_->device.clearError();
    impl_->writing = false;
    if (vanished) {
        loseDevice();
        return WriteResult::Lost;
    }
    return WriteResult::Written;
}

void SerialPort::pauseKeepingInput(std::chrono::milliseconds duration) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point end = Clock::now() + duration;
    if (!isOpen()) {
        std::this_thread::sleep_until(end);
        return;
    }
    // The byte QSerialPort holds came before anything read here.
    impl_->held += impl_->device.readAll();
    for (Clock::time_point now = Clock::now(); now < end; now = Clock::now()) {
        const auto left = std::chrono::duration_cast<std::chrono::nanoseconds>(end - now);
        const timespec timeout{static_cast<time_t>(left.count() / 1'000'000'000), static_cast<long>(left.count() % 1'000'000'000)};
        pollfd p{static_cast<int>(impl_->device.handle()), POLLIN, 0};
        if (::ppoll(&p, 1, &timeout, nullptr) <= 0) continue;
        const qsizetype before = impl_->held.size();
        if (p.revents & POLLIN) impl_->readWaiting(impl_->held);
        if (impl_->held.size() == before) {
            // Nothing to read: a hung-up device, noticed by the event loop afterwards.
            std::this_thread::sleep_until(end);
            break;
        }
    }
    if (!impl_->held.isEmpty() && impl_->threshold >= 1 && !impl_->gatherTimer.isActive()) impl_->gatherTimer.start();
}

void SerialPort::loseDevice() {
    if (impl_->lost || !isOpen()) return;
    // What the device said before it went is still announced.
    impl_->held += impl_->device.readAll();
    impl_->readWaiting(impl_->held);
    impl_->close();
    if (!impl_->held.isEmpty()) impl_->gatherTimer.start();
    impl_->lost = true;
    impl_->reopenTimer.start();
    emit lost();
}

}  // namespace vela
