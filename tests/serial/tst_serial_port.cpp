// The serial port against real pseudo-terminals: opening and line settings,
// telling "held by another program" from other failures (as root and as a
// normal user), write-through pacing, receiving, and a hung-up device noticed
// once and taken back when it is plugged in again.
#include <pwd.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <atomic>
#include <ctime>
#include <functional>
#include <thread>

#include "serial/line_settings.h"
#include "serial/serial_port.h"
#include "support/device_link.h"
#include "support/pty.h"

using namespace std::chrono_literals;
using vela::SerialPort;
using vela::test::DeviceLink;
using vela::test::Pty;

namespace {

// What stands at Com 1 when it is opened.
enum class Device {
    Flock, Exclusive, NoLock, UucpLock, UucpLockBaseName, StaleUucpLock, Instance, InstanceViaSymlink,  // held
    Missing, NotATty, RootOnly, ComZero, ComSeventeen
};

struct User { uid_t uid; gid_t gid; };

// A normal user for the "as a normal user" half when this process is root.
std::optional<User> nobody() {
    const passwd* entry = ::getpwnam("nobody");
    return entry ? std::optional<User>(User{entry->pw_uid, entry->pw_gid}) : std::nullopt;
}

void configure(int commPort, const QByteArray& device) {
    qputenv(QByteArray("VELA_COM" + QByteArray::number(commPort)).constData(), device);
}

// The device opened and flocked as a terminal program does; 0 on success.
int takeFlock(const std::string& device) {
    const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    return fd >= 0 ? ::flock(fd, LOCK_EX | LOCK_NB) : -1;
}

// A forked child that runs `run` and sends its result (-1 when nothing came
// in time); with `stay` it then keeps what it holds until end().
class Child {
public:
    Child(const std::function<int()>& run, bool stay) {
        int fds[2];
        if (::pipe(fds) != 0) return;
        pid = ::fork();
        if (pid == 0) {
            const int value = run();
            (void)!::write(fds[1], &value, sizeof value);
            if (!stay) ::_exit(0);
            for (;;) ::pause();
        }
        ::close(fds[1]);
        pollfd p{fds[0], POLLIN, 0};
        if (::poll(&p, 1, 5000) > 0 && ::read(fds[0], &result, sizeof result) != sizeof result) result = -1;
        ::close(fds[0]);
        if (!stay) end();
    }
    ~Child() { end(); }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;
    void end() {
        if (pid <= 0 || ended_) return;
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        ended_ = true;
    }

    pid_t pid = -1;
    int result = -1;

private:
    bool ended_ = false;
};

// open() of Com `commPort`, in this process or in a child that has become `user`.
int openCom(const std::optional<User>& user, int commPort = 1) {
    const auto openHere = [commPort] {
        SerialPort port;  // its end releases the port and QSerialPort's lock file
        port.setCommPort(commPort);
        return port.open();
    };
    if (!user) return openHere();
    return Child([&] { return ::setgid(user->gid) == 0 && ::setuid(user->uid) == 0 ? openHere() : -2; }, false)
        .result;
}

double cpuSeconds() {
    timespec now{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

std::vector<std::uint8_t> pattern(std::size_t count) {
    std::vector<std::uint8_t> bytes(count);
    for (std::size_t i = 0; i < count; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + i / 256);
    return bytes;
}

termios lineOf(const Pty& pty) {
    termios settings{};
    ::tcgetattr(pty.masterFd(), &settings);
    return settings;
}

// Com 1 on a fresh pseudo-terminal, with every notification of the port kept.
struct Line {
    Pty pty;
    SerialPort port;
    std::vector<std::uint8_t> received;
    QList<int> kinds;  // one per notification

    Line() {
        configure(1, QByteArray::fromStdString(pty.slavePath()));
        port.setCommPort(1);
        QObject::connect(&port, &SerialPort::onComm, &port, [this](int kind, const QByteArray& input) {
            kinds << kind;
            received.insert(received.end(), input.begin(), input.end());
        });
    }
    int open(int threshold) {
        if (!pty.valid()) return -1;
        port.setRThreshold(threshold);
        return port.open();
    }
};

}  // namespace

Q_DECLARE_METATYPE(Device)

class tst_SerialPort : public QObject {
    Q_OBJECT

private slots:
    void cleanup() {
        for (int n = 0; n <= 17; ++n) qunsetenv(QByteArray("VELA_COM" + QByteArray::number(n)).constData());
    }

    void devicePath_data() {
        QTest::addColumn<int>("commPort");
        QTest::addColumn<QByteArray>("configured");
        QTest::addColumn<QString>("expected");
        QTest::newRow("Com 16, nothing configured") << 16 << QByteArray() << "/dev/ttyS15";
        QTest::newRow("Com 1 set to a USB adapter") << 1 << QByteArray("/dev/ttyUSB0") << "/dev/ttyUSB0";
        QTest::newRow("Com 2 set to empty") << 2 << QByteArray("") << "/dev/ttyS1";
    }
    void devicePath() {
        QFETCH(int, commPort);
        QFETCH(QByteArray, configured);
        if (!configured.isNull()) configure(commPort, configured);
        QTEST(SerialPort::devicePath(commPort), "expected");
    }

    void lineSettings_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<int>>("expected");  // speed, parity, data bits, stop bits; empty when rejected
        const auto row = [](const char* text, int baud, QSerialPort::Parity parity, int bits, QSerialPort::StopBits stop) {
            QTest::newRow(text) << text << QList<int>{baud, parity, bits, stop};
        };
        row(" 9600 , n , 8 , 1 ", 9600, QSerialPort::NoParity, 8, QSerialPort::OneStop);
        row("1200,E,7,2", 1200, QSerialPort::EvenParity, 7, QSerialPort::TwoStop);
        row("4800,o,5,1.5", 4800, QSerialPort::OddParity, 5, QSerialPort::OneAndHalfStop);
        row("300,M,6,1", 300, QSerialPort::MarkParity, 6, QSerialPort::OneStop);
        row("115200,S,8,1", 115200, QSerialPort::SpaceParity, 8, QSerialPort::OneStop);
        for (const char* text : {"", "9600,N,8", "9600,N,8,1,", "fast,N,8,1", "+9600,N,8,1", "0,N,8,1", "96 00,N,8,1",
                                 "99999999999,N,8,1", "9600,X,8,1", "9600,NO,8,1", "9600,N,9,1", "9600,N,4,1",
                                 "9600,N,8,3"})
            QTest::addRow("rejected: \"%s\"", text) << text << QList<int>{};
    }
    void lineSettings() {
        QFETCH(QString, text);
        const std::optional<vela::LineSettings> parsed = vela::parseLineSettings(text);
        QList<int> values;
        if (parsed) values = {parsed->baudRate, parsed->parity, parsed->dataBits, parsed->stopBits};
        QTEST(values, "expected");
    }

    // A pseudo-terminal keeps only the speed of the settings (it forces 8 bits
    // and no parity), so the speed is what is seen on the line here. The port
    // is set to 19200,N,8,1 first: a rejected text keeps that.
    void settingsReachTheLine_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("whileOpen");
        QTest::addColumn<int>("error");
        QTest::addColumn<int>("speed");
        QTest::newRow("9600 before open") << "9600,N,8,1" << false << 0 << int(B9600);
        QTest::newRow("9600 while open") << "9600,N,8,1" << true << 0 << int(B9600);
        QTest::newRow("rejected while open") << "9600;N;8;1" << true << SerialPort::kInvalidPropertyValue << int(B19200);
    }
    void settingsReachTheLine() {
        QFETCH(QString, text);
        QFETCH(bool, whileOpen);
        Line line;
        QCOMPARE(line.port.setSettings(QStringLiteral("19200,N,8,1")), 0);
        if (whileOpen) QCOMPARE(line.open(0), 0);
        QTEST(line.port.setSettings(text), "error");
        if (!whileOpen) QCOMPARE(line.open(0), 0);
        const termios settings = lineOf(line.pty);
        QTEST(int(cfgetospeed(&settings)), "speed");
        QTEST(int(cfgetispeed(&settings)), "speed");
        QCOMPARE(int(settings.c_cflag & CSIZE), int(CS8));
        QCOMPARE(settings.c_cflag & (PARENB | CSTOPB | CRTSCTS), tcflag_t(0));
    }

    // Every way another program can hold the device is told apart (8005)
    // from the other failures, whether root or a normal user opens it.
    void openErrors_data() {
        QTest::addColumn<Device>("device");
        QTest::addColumn<bool>("asUser");
        QTest::addColumn<int>("error");
        constexpr int held = SerialPort::kPortAlreadyOpen, invalid = SerialPort::kInvalidPortNumber;
        const std::tuple<const char*, Device, int> rows[] = {
            {"flock", Device::Flock, held},
            {"exclusive mode", Device::Exclusive, held},
            {"open without any lock", Device::NoLock, held},
            {"UUCP lock, QSerialPort's name", Device::UucpLock, held},
            {"UUCP lock, base name", Device::UucpLockBaseName, held},
            {"stale UUCP lock", Device::StaleUucpLock, 0},
            {"another instance", Device::Instance, held},
            {"another instance, through a symlink", Device::InstanceViaSymlink, held},
            {"missing device", Device::Missing, invalid},
            {"not a serial port", Device::NotATty, invalid},
            {"only root may open", Device::RootOnly, SerialPort::kPermissionDenied},  // root opens it
            // The number is refused even where a device is configured for it.
            {"Com 0", Device::ComZero, invalid},
            {"Com 17", Device::ComSeventeen, invalid},
        };
        for (const auto& [name, device, error] : rows) {
            QTest::addRow("%s, root", name) << device << false << (device == Device::RootOnly ? 0 : error);
            QTest::addRow("%s, normal user", name) << device << true << error;
        }
    }
    void openErrors() {
        QFETCH(Device, device);
        QFETCH(bool, asUser);
        QFETCH(int, error);
        if (!asUser && ::geteuid() != 0) QSKIP("the root half needs root");
        // Root's normal user opens in a child; a normal user opens in this process.
        const std::optional<User> user = asUser && ::geteuid() == 0 ? nobody() : std::nullopt;
        if (asUser && ::geteuid() == 0 && !user) QSKIP("there is no user \"nobody\" for the normal-user half");
        Pty pty;
        QVERIFY(pty.valid());
        const std::string slave = pty.slavePath();
        if (user && device != Device::RootOnly) QCOMPARE(::chown(slave.c_str(), user->uid, user->gid), 0);
        QByteArray comOne = QByteArray::fromStdString(slave);
        int commPort = 1;
        const auto openSlave = [slave] { return ::open(slave.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK); };
        std::unique_ptr<Child> child;
        std::unique_ptr<SerialPort> instance;
        QTemporaryDir links;
        QString lockFile;
        switch (device) {
        case Device::Flock: child = std::make_unique<Child>([&] { return takeFlock(slave); }, true); break;
        case Device::Exclusive:
            child = std::make_unique<Child>([&] {
                const int fd = openSlave();
                return fd >= 0 ? ::ioctl(fd, TIOCEXCL) : -1;
            }, true);
            break;
        case Device::NoLock:
            // Only processes the opener may inspect can be seen; the far end
            // (the master) must not be inherited, or the holder would be it.
            child = std::make_unique<Child>([&] {
                ::close(pty.masterFd());
                if (user && (::setgid(user->gid) != 0 || ::setuid(user->uid) != 0)) return -1;
                ::prctl(PR_SET_DUMPABLE, 1);  // as a program the user started: inspectable by the user
                return openSlave() >= 0 ? 0 : -1;
            }, true);
            break;
        case Device::UucpLock:
        case Device::UucpLockBaseName:
        case Device::StaleUucpLock: {
            child = std::make_unique<Child>([] { return 0; }, true);
            if (device == Device::StaleUucpLock) child->end();  // its process is gone
            QString path = QString::fromStdString(slave);  // "pts_N" or "N"
            lockFile = QStringLiteral("/var/lock/LCK..") +
                       (device == Device::UucpLock ? path.mid(5).replace(QLatin1Char('/'), QLatin1Char('_'))
                                                   : path.section(QLatin1Char('/'), -1));
            QFile file(lockFile);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray::number(child->pid).rightJustified(10, ' ') + '\n');
            break;
        }
        case Device::InstanceViaSymlink:
            comOne = QFile::encodeName(links.filePath(QStringLiteral("com")));
            QCOMPARE(::chmod(QFile::encodeName(links.path()).constData(), 0755), 0);
            QCOMPARE(::symlink(slave.c_str(), comOne.constData()), 0);
            [[fallthrough]];
        case Device::Instance:
            configure(2, QByteArray::fromStdString(slave));
            instance = std::make_unique<SerialPort>();
            instance->setCommPort(2);
            QCOMPARE(instance->open(), 0);
            break;
        case Device::Missing: comOne = "/dev/vela-no-such-device"; break;
        case Device::NotATty: comOne = "/dev/null"; break;
        case Device::RootOnly: QCOMPARE(::chmod(slave.c_str(), 0600), 0); break;
        case Device::ComZero: commPort = 0; break;
        case Device::ComSeventeen: commPort = 17; break;
        }
        if (child) QCOMPARE(child->result, 0);
        configure(commPort, comOne);
        QCOMPARE(openCom(user, commPort), error);

        // Once a holder lets go, the same open succeeds: it was the holder.
        if (child) child->end();
        if (device == Device::Exclusive) {  // the mode outlives its setter while the master is open
            const int fd = openSlave();
            QCOMPARE(::ioctl(fd, TIOCNXCL), 0);
            ::close(fd);
        }
        instance.reset();
        if (!lockFile.isEmpty()) QFile::remove(lockFile);
        if (error == SerialPort::kPortAlreadyOpen) QCOMPARE(openCom(user), 0);
    }

    // A terminal program that takes a flock finds the device taken.
    void openPortIsSeenAsHeld() {
        Line line;
        QCOMPARE(line.open(0), 0);
        const Child flocker([&] { return takeFlock(line.pty.slavePath()) != 0 && errno == EWOULDBLOCK ? 0 : 1; }, false);
        QCOMPARE(flocker.result, 0);
    }

    void bytesReachTheLineBeforeTheEventLoop_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("readerDelayMs");
        QTest::newRow("a frame") << 3 << 0;
        // Far more than the kernel buffers, read late: a full buffer loses nothing.
        QTest::newRow("a full buffer") << 60000 << 300;
    }
    // As a click handler does: write, then sleep without returning to the event loop.
    void bytesReachTheLineBeforeTheEventLoop() {
        QFETCH(int, count);
        QFETCH(int, readerDelayMs);
        Line line;
        QCOMPARE(line.open(0), 0);
        const std::vector<std::uint8_t> bytes = pattern(std::size_t(count));
        std::vector<std::uint8_t> seen;
        Pty::Clock::time_point allSeen;
        std::thread reader([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(readerDelayMs));
            seen = line.pty.read(bytes.size(), 10000ms);
            allSeen = Pty::Clock::now();
        });
        int written = 0;
        for (std::uint8_t b : bytes) written += line.port.output(b) == SerialPort::WriteResult::Written;
        std::this_thread::sleep_for(200ms);
        const auto sleepEnded = Pty::Clock::now();
        reader.join();

        QCOMPARE(written, count);
        QVERIFY(line.port.isOpen());
        QVERIFY(seen == bytes);
        QVERIFY2(allSeen + 150ms < sleepEnded, "the bytes waited for the handler to return");
    }

    void receivedBytesAreGathered_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("oneByOne");
        QTest::newRow("burst") << 3000 << false;
        QTest::newRow("trickle") << 40 << true;  // as a line at 19200 baud delivers them
    }
    // Complete, in order and in a few notifications, seen from a plain event
    // loop, which wakes for every event as the console's does.
    void receivedBytesAreGathered() {
        QFETCH(int, count);
        QFETCH(bool, oneByOne);
        Line line;
        QCOMPARE(line.open(1), 0);
        const std::vector<std::uint8_t> bytes = pattern(std::size_t(count));
        QEventLoop loop;
        connect(&line.port, &SerialPort::onComm, &loop, [&] {
            if (line.received.size() >= bytes.size()) loop.quit();
        });
        QTimer::singleShot(3000, &loop, &QEventLoop::quit);
        std::thread writer([&] {
            const std::ptrdiff_t step = oneByOne ? 1 : count;
            for (auto from = bytes.begin(); from != bytes.end(); from += step) {
                line.pty.write({from, from + step});
                std::this_thread::sleep_for(1ms);
            }
        });
        loop.exec();
        writer.join();
        QCOMPARE(line.received, bytes);
        QCOMPARE(line.kinds.count(SerialPort::kEventReceive), line.kinds.size());
        QVERIFY2(line.kinds.size() <= 10, qPrintable(QStringLiteral("%1 notifications").arg(line.kinds.size())));
    }

    // A pause between frames reads the device meanwhile, so a far end that
    // talks for the whole pause is never held up by a full receive buffer (a
    // real line without flow control would lose those bytes), and everything
    // arrives in order once the caller is back in the event loop.
    void pauseKeepsReading() {
        Line line;
        QCOMPARE(line.open(1), 0);
        const std::vector<std::uint8_t> talk = pattern(512 * 1024);
        std::atomic<bool> written{false};
        std::thread writer([&] { written = line.pty.write(talk); });
        line.port.pauseKeepingInput(1500ms);
        const bool writtenDuringPause = written;
        writer.join();
        QVERIFY2(writtenDuringPause, "the far end was held up by a full receive buffer");
        QVERIFY(line.received.empty());  // announced only from the event loop
        QTRY_COMPARE_WITH_TIMEOUT(line.received.size(), talk.size(), 3000);
        QCOMPARE(line.received, talk);
    }

    // Bytes read during a pause still reach the monitor when the device is
    // pulled before the click ends.
    void pauseReadingSurvivesLoss() {
        Line line;
        QCOMPARE(line.open(1), 0);
        QVERIFY(line.pty.write({170, 16, 0, 0, 0, 7, 193}));
        line.port.pauseKeepingInput(100ms);
        line.pty.closeMaster();
        QCOMPARE(line.port.output(170), SerialPort::WriteResult::Lost);
        QTRY_COMPARE(line.received, (std::vector<std::uint8_t>{170, 16, 0, 0, 0, 7, 193}));
    }

    void thresholdZeroHoldsNotifications() {
        Line line;
        QCOMPARE(line.open(0), 0);
        QVERIFY(line.pty.write({1, 2, 3}));
        QTest::qWait(100);
        QCOMPARE(line.kinds.size(), 0);
        line.port.setRThreshold(1);
        QTRY_COMPARE(line.kinds.size(), 1);
        QCOMPARE(line.received, (std::vector<std::uint8_t>{1, 2, 3}));
    }

    void replugIsTakenBack_data() {
        QTest::addColumn<bool>("foundByWrite");
        QTest::addColumn<bool>("heldAtFirst");
        QTest::newRow("hang-up while idle, new device held by another program at first") << false << true;
        QTest::newRow("hang-up found by a write") << true << false;
    }
    void replugIsTakenBack() {
        QFETCH(bool, foundByWrite);
        QFETCH(bool, heldAtFirst);
        DeviceLink link;
        auto first = std::make_unique<Pty>();
        QVERIFY(first->valid());
        QVERIFY(link.pointAt(first->slavePath()));
        configure(1, link.path());
        SerialPort port;
        port.setCommPort(1);
        QCOMPARE(port.setSettings(QStringLiteral("19200,N,8,1")), 0);
        QCOMPARE(port.open(), 0);
        port.setRThreshold(1);
        QSignalSpy lost(&port, &SerialPort::lost);
        QSignalSpy notifications(&port, &SerialPort::onComm);

        // Pulled: the far end hangs up and nothing takes the name yet.
        first.reset();
        QVERIFY(link.pointNowhere());
        if (foundByWrite) QCOMPARE(port.output(170), SerialPort::WriteResult::Lost);
        QTRY_COMPARE(lost.count(), 1);
        QVERIFY(!port.isOpen());

        // Noticed once, and looking for the device once a second costs next to nothing.
        const double before = cpuSeconds();
        QTest::qWait(2 * SerialPort::kReopenIntervalMs + 200);
        const double spent = cpuSeconds() - before;
        QVERIFY2(spent < 0.1, qPrintable(QStringLiteral("%1 s of CPU while the device was away").arg(spent)));
        QCOMPARE(lost.count(), 1);
        QCOMPARE(notifications.count(), 0);
        QVERIFY(!port.isOpen());
        QCOMPARE(port.output(170), SerialPort::WriteResult::Lost);

        // Plugged in again, under the same name but as another device.
        Pty second;
        QVERIFY(second.valid());
        std::optional<Child> holder;
        if (heldAtFirst) QCOMPARE(holder.emplace([&] { return takeFlock(second.slavePath()); }, true).result, 0);
        QVERIFY(link.pointAt(second.slavePath()));
        if (heldAtFirst) {
            QTest::qWait(2 * SerialPort::kReopenIntervalMs + 200);
            QVERIFY2(!port.isOpen(), "the port was taken from the program that holds it");
        }
        holder.reset();
        QTRY_VERIFY_WITH_TIMEOUT(port.isOpen(), 3 * SerialPort::kReopenIntervalMs);
        QCOMPARE(lost.count(), 1);

        // The same settings, writes and the receive notification work again.
        const termios settings = lineOf(second);
        QCOMPARE(int(cfgetospeed(&settings)), int(B19200));
        for (std::uint8_t b : {170, 85}) QCOMPARE(port.output(b), SerialPort::WriteResult::Written);
        QCOMPARE(second.read(2), (std::vector<std::uint8_t>{170, 85}));
        QVERIFY(second.write({1, 2, 3}));
        QTRY_COMPARE(notifications.count(), 1);
        QCOMPARE(notifications.at(0).at(1).toByteArray(), QByteArray("\x01\x02\x03", 3));

        // And a second pull is noticed like the first.
        second.closeMaster();
        QVERIFY(link.pointNowhere());
        QTRY_COMPARE(lost.count(), 2);
        QVERIFY(!port.isOpen());
    }

    // A port that never opened is not looked for: only a lost device comes back.
    void failedStartIsNotRetried() {
        DeviceLink link;
        QVERIFY(link.pointNowhere());
        configure(1, link.path());
        SerialPort port;
        port.setCommPort(1);
        QCOMPARE(port.open(), SerialPort::kInvalidPortNumber);
        Pty pty;
        QVERIFY(pty.valid());
        QVERIFY(link.pointAt(pty.slavePath()));
        QTest::qWait(2 * SerialPort::kReopenIntervalMs + 200);
        QVERIFY(!port.isOpen());
        QCOMPARE(port.output(170), SerialPort::WriteResult::NotOpen);
        QCOMPARE(port.open(), 0);
    }
};

QTEST_GUILESS_MAIN(tst_SerialPort)
#include "tst_serial_port.moc"
