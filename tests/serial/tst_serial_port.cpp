// The serial port against real pseudo-terminals: opening and line settings,
// telling "held by another program" from other failures (as root and as a
// normal user), write-through pacing, receiving, a full buffer, a hang-up,
// and a re-plugged device taken back.
#include <pwd.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/prctl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <QFile>
#include <QProcess>
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

constexpr char kTestUser[] = "vela-serial-test";

enum class Holder { Flock, Exclusive, NoLock, UucpLockQtName, UucpLockBaseName, SecondInstance, SecondInstanceViaSymlink };

struct User {
    uid_t uid = 0;
    gid_t gid = 0;
};

// Reads one int from a child over a pipe; -1 when it sent nothing in time.
int receiveInt(int fd) {
    pollfd p{fd, POLLIN, 0};
    int value = -1;
    if (::poll(&p, 1, 5000) > 0 && ::read(fd, &value, sizeof value) != sizeof value) value = -1;
    return value;
}

// A forked child that holds the device the way another program would and
// keeps it until the test ends it.
class HolderProcess {
public:
    // `take` runs in the child and returns 0 when the hold is in place.
    explicit HolderProcess(const std::function<int()>& take) {
        int ready[2];
        if (::pipe(ready) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(ready[0]);
            const int result = take();
            (void)!::write(ready[1], &result, sizeof result);
            for (;;) ::pause();
        }
        ::close(ready[1]);
        holding_ = receiveInt(ready[0]) == 0;
        ::close(ready[0]);
    }
    ~HolderProcess() { end(); }
    HolderProcess(const HolderProcess&) = delete;
    HolderProcess& operator=(const HolderProcess&) = delete;

    bool holding() const { return holding_; }
    pid_t pid() const { return pid_; }
    void end() {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

private:
    pid_t pid_ = -1;
    bool holding_ = false;
};

// open() of Com 1, in this process or, for `user`, in a child that has
// become that user.
int openComOne(const std::optional<User>& user) {
    if (!user) {
        SerialPort port;
        port.setCommPort(1);
        return port.open();
    }
    int result[2];
    if (::pipe(result) != 0) return -1;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(result[0]);
        int error = -2;
        if (::setgid(user->gid) == 0 && ::setuid(user->uid) == 0) {
            auto* port = new SerialPort;
            port->setCommPort(1);
            error = port->open();
            delete port;  // releases the port and QSerialPort's lock file
        }
        (void)!::write(result[1], &error, sizeof error);
        ::_exit(0);
    }
    ::close(result[1]);
    const int error = receiveInt(result[0]);
    ::close(result[0]);
    ::waitpid(child, nullptr, 0);
    return error;
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

QByteArray toByteArray(const std::vector<std::uint8_t>& bytes) {
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

// The line settings of a pty slave, read through its master.
termios slaveSettings(const Pty& pty) {
    termios settings{};
    ::tcgetattr(pty.masterFd(), &settings);
    return settings;
}

}  // namespace

Q_DECLARE_METATYPE(Holder)

class tst_SerialPort : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void cleanup();

    void devicePath_data();
    void devicePath();
    void lineSettings_data();
    void lineSettings();
    void settingsReachTheLine_data();
    void settingsReachTheLine();
    void heldPortIsRefused_data();
    void heldPortIsRefused();
    void staleUucpLockIsNoHolder();
    void openPortIsSeenAsHeld();
    void portNumberOutOfRange_data();
    void portNumberOutOfRange();
    void otherFailures_data();
    void otherFailures();
    void bytesReachLineBeforeHandlerSleepEnds();
    void burstArrivesCompleteAndInOrder();
    void trickleIsGathered();
    void pauseKeepsReading();
    void thresholdZeroHoldsNotifications();
    void fullBufferLosesNoByte();
    void hangUpIsNoticedOnce();
    void replugIsTakenBack_data();
    void replugIsTakenBack();
    void failedStartIsNotRetried();

private:
    // The user of the "as a normal user" half, or why there is none.
    std::optional<User> normalUser();
    // The opener of a data row: this process as root, or a normal user.
    bool opener(bool asUser, std::optional<User>& user);

    std::optional<User> user_;
    QString noUserReason_;
    bool createdUser_ = false;
};

void tst_SerialPort::initTestCase() {
    if (::geteuid() != 0) {
        noUserReason_ = QStringLiteral("already a normal user: the normal-user half runs in this process");
        return;
    }
    if (!::getpwnam(kTestUser)) {
        const int status = QProcess::execute(QStringLiteral("useradd"),
                                             {QStringLiteral("--system"), QStringLiteral("--no-create-home"),
                                              QStringLiteral("--shell"), QStringLiteral("/usr/sbin/nologin"),
                                              QString::fromLatin1(kTestUser)});
        createdUser_ = status == 0;
    }
    if (const passwd* entry = ::getpwnam(kTestUser)) {
        user_ = User{entry->pw_uid, entry->pw_gid};
    } else {
        noUserReason_ = QStringLiteral("could not create the user %1 with useradd: "
                                       "the normal-user half of this test cannot run")
                            .arg(QString::fromLatin1(kTestUser));
    }
}

void tst_SerialPort::cleanupTestCase() {
    if (createdUser_) QProcess::execute(QStringLiteral("userdel"), {QString::fromLatin1(kTestUser)});
}

void tst_SerialPort::cleanup() {
    qunsetenv("VELA_COM1");
    qunsetenv("VELA_COM2");
}

bool tst_SerialPort::opener(bool asUser, std::optional<User>& user) {
    user.reset();
    if (asUser) {
        if (::geteuid() != 0) return true;
        user = user_;
        return user_.has_value();
    }
    return ::geteuid() == 0;
}

void tst_SerialPort::devicePath_data() {
    QTest::addColumn<int>("commPort");
    QTest::addColumn<QByteArray>("configured");
    QTest::addColumn<QString>("expected");
    QTest::newRow("Com 1, nothing configured") << 1 << QByteArray() << "/dev/ttyS0";
    QTest::newRow("Com 16, nothing configured") << 16 << QByteArray() << "/dev/ttyS15";
    QTest::newRow("Com 1 set to a USB adapter") << 1 << QByteArray("/dev/ttyUSB0") << "/dev/ttyUSB0";
    QTest::newRow("Com 2 set to empty") << 2 << QByteArray("") << "/dev/ttyS1";
}

void tst_SerialPort::devicePath() {
    QFETCH(int, commPort);
    QFETCH(QByteArray, configured);
    QFETCH(QString, expected);
    if (!configured.isNull()) qputenv(QByteArray("VELA_COM" + QByteArray::number(commPort)).constData(), configured);
    QCOMPARE(SerialPort::devicePath(commPort), expected);
}

void tst_SerialPort::lineSettings_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("baud");
    QTest::addColumn<int>("parity");
    QTest::addColumn<int>("dataBits");
    QTest::addColumn<int>("stopBits");

    const auto row = [](const char* text, int baud, QSerialPort::Parity parity, int bits, QSerialPort::StopBits stop) {
        QTest::newRow(text) << text << true << baud << int(parity) << bits << int(stop);
    };
    row("9600,N,8,1", 9600, QSerialPort::NoParity, 8, QSerialPort::OneStop);
    row("19200,N,8,1", 19200, QSerialPort::NoParity, 8, QSerialPort::OneStop);
    row(" 9600 , n , 8 , 1 ", 9600, QSerialPort::NoParity, 8, QSerialPort::OneStop);
    row("1200,E,7,2", 1200, QSerialPort::EvenParity, 7, QSerialPort::TwoStop);
    row("4800,o,5,1.5", 4800, QSerialPort::OddParity, 5, QSerialPort::OneAndHalfStop);
    row("300,M,6,1", 300, QSerialPort::MarkParity, 6, QSerialPort::OneStop);
    row("115200,S,8,1", 115200, QSerialPort::SpaceParity, 8, QSerialPort::OneStop);

    const auto rejected = [](const char* name, const char* text) {
        QTest::newRow(name) << text << false << 0 << 0 << 0 << 0;
    };
    rejected("empty", "");
    rejected("speed only", "9600");
    rejected("three values", "9600,N,8");
    rejected("five values", "9600,N,8,1,");
    rejected("speed not a number", "fast,N,8,1");
    rejected("negative speed", "-9600,N,8,1");
    rejected("signed speed", "+9600,N,8,1");
    rejected("zero speed", "0,N,8,1");
    rejected("blank inside speed", "96 00,N,8,1");
    rejected("speed too large", "99999999999,N,8,1");
    rejected("unknown parity", "9600,X,8,1");
    rejected("parity word", "9600,NO,8,1");
    rejected("nine data bits", "9600,N,9,1");
    rejected("four data bits", "9600,N,4,1");
    rejected("three stop bits", "9600,N,8,3");
    rejected("empty stop bits", "9600,N,8,");
}

void tst_SerialPort::lineSettings() {
    QFETCH(QString, text);
    QFETCH(bool, valid);
    const std::optional<vela::LineSettings> parsed = vela::parseLineSettings(text);
    QCOMPARE(parsed.has_value(), valid);
    if (!valid) return;
    QTEST(int(parsed->baudRate), "baud");
    QTEST(int(parsed->parity), "parity");
    QTEST(int(parsed->dataBits), "dataBits");
    QTEST(int(parsed->stopBits), "stopBits");
}

// A pseudo-terminal keeps only the speed of the settings (it forces 8 bits
// and no parity), so the speed is what is seen on the line here.
void tst_SerialPort::settingsReachTheLine_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("whileOpen");
    QTest::addColumn<int>("error");
    QTest::addColumn<int>("speed");

    // The port is set to 19200,N,8,1 first: a rejected text keeps that.
    QTest::newRow("9600 before open") << "9600,N,8,1" << false << 0 << int(B9600);
    QTest::newRow("19200 before open") << "19200,N,8,1" << false << 0 << int(B19200);
    QTest::newRow("9600 while open") << "9600,N,8,1" << true << 0 << int(B9600);
    QTest::newRow("rejected before open") << "9600,N,8" << false << SerialPort::kInvalidPropertyValue
                                          << int(B19200);
    QTest::newRow("rejected while open") << "9600;N;8;1" << true << SerialPort::kInvalidPropertyValue
                                         << int(B19200);
}

void tst_SerialPort::settingsReachTheLine() {
    QFETCH(QString, text);
    QFETCH(bool, whileOpen);
    QFETCH(int, error);
    QFETCH(int, speed);

    Pty pty;
    QVERIFY(pty.valid());
    qputenv("VELA_COM1", QByteArray::fromStdString(pty.slavePath()));
    SerialPort port;
    port.setCommPort(1);
    QCOMPARE(port.setSettings(QStringLiteral("19200,N,8,1")), 0);
    if (whileOpen) QCOMPARE(port.open(), 0);
    QCOMPARE(port.setSettings(text), error);
    if (!whileOpen) QCOMPARE(port.open(), 0);
    QVERIFY(port.isOpen());

    const termios line = slaveSettings(pty);
    QCOMPARE(int(cfgetospeed(&line)), speed);
    QCOMPARE(int(cfgetispeed(&line)), speed);
    QCOMPARE(int(line.c_cflag & CSIZE), int(CS8));
    QCOMPARE(line.c_cflag & (PARENB | CSTOPB | CRTSCTS), tcflag_t(0));
}

void tst_SerialPort::heldPortIsRefused_data() {
    QTest::addColumn<Holder>("holder");
    QTest::addColumn<bool>("asUser");
    const std::pair<const char*, Holder> holders[] = {
        {"flock", Holder::Flock},
        {"exclusive mode", Holder::Exclusive},
        {"open without any lock", Holder::NoLock},
        {"UUCP lock, QSerialPort's name", Holder::UucpLockQtName},
        {"UUCP lock, base name", Holder::UucpLockBaseName},
        {"another instance", Holder::SecondInstance},
        {"another instance, through a symlink", Holder::SecondInstanceViaSymlink},
    };
    for (const auto& [name, holder] : holders) {
        QTest::addRow("%s, root", name) << holder << false;
        QTest::addRow("%s, normal user", name) << holder << true;
    }
}

void tst_SerialPort::heldPortIsRefused() {
    QFETCH(Holder, holder);
    QFETCH(bool, asUser);
    std::optional<User> user;
    if (!opener(asUser, user)) {
        if (asUser) QSKIP(qPrintable(noUserReason_));
        QSKIP("the root half needs root");
    }

    Pty pty;
    QVERIFY(pty.valid());
    const std::string slave = pty.slavePath();
    if (user) QCOMPARE(::chown(slave.c_str(), user->uid, user->gid), 0);
    QByteArray comOne = QByteArray::fromStdString(slave);
    QTemporaryDir links;
    QFile::setPermissions(links.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther |
                                            QFile::ExeOther | QFile::ReadGroup | QFile::ExeGroup);

    const auto openSlave = [slave] { return ::open(slave.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK); };
    std::unique_ptr<HolderProcess> child;
    std::unique_ptr<SerialPort> instance;
    QString lockFile;
    switch (holder) {
    case Holder::Flock:
        child = std::make_unique<HolderProcess>([&] {
            const int fd = openSlave();
            return fd >= 0 ? ::flock(fd, LOCK_EX | LOCK_NB) : -1;
        });
        break;
    case Holder::Exclusive:
        child = std::make_unique<HolderProcess>([&] {
            const int fd = openSlave();
            return fd >= 0 ? ::ioctl(fd, TIOCEXCL) : -1;
        });
        break;
    case Holder::NoLock:
        // Only processes the opener may inspect can be seen; the far end
        // (the master) must not be inherited, or the holder would be it.
        child = std::make_unique<HolderProcess>([&] {
            ::close(pty.masterFd());
            if (user && (::setgid(user->gid) != 0 || ::setuid(user->uid) != 0)) return -1;
            // As a program the user started would be: inspectable by the user.
            ::prctl(PR_SET_DUMPABLE, 1);
            return openSlave() >= 0 ? 0 : -1;
        });
        break;
    case Holder::UucpLockQtName:
    case Holder::UucpLockBaseName: {
        child = std::make_unique<HolderProcess>([] { return 0; });
        const QString device = QString::fromStdString(slave);
        const QString name = holder == Holder::UucpLockQtName ? device.mid(5).replace(QLatin1Char('/'), QLatin1Char('_'))
                                                              : device.section(QLatin1Char('/'), -1);
        lockFile = QStringLiteral("/var/lock/LCK..") + name;
        QFile file(lockFile);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray::number(child->pid()).rightJustified(10, ' ') + '\n');
        break;
    }
    case Holder::SecondInstanceViaSymlink:
        comOne = QFile::encodeName(links.filePath(QStringLiteral("com")));
        QVERIFY(QFile::link(QString::fromStdString(slave), QFile::decodeName(comOne)));
        [[fallthrough]];
    case Holder::SecondInstance:
        qputenv("VELA_COM2", QByteArray::fromStdString(slave));
        instance = std::make_unique<SerialPort>();
        instance->setCommPort(2);
        QCOMPARE(instance->open(), 0);
        break;
    }
    if (child) QVERIFY(child->holding());
    qputenv("VELA_COM1", comOne);

    QCOMPARE(openComOne(user), SerialPort::kPortAlreadyOpen);

    // Once the holder lets go, the same open succeeds: it was the holder.
    if (child) child->end();
    if (holder == Holder::Exclusive) {
        // The mode outlives its setter while the master is open.
        const int fd = openSlave();
        QCOMPARE(::ioctl(fd, TIOCNXCL), 0);
        ::close(fd);
    }
    instance.reset();
    if (!lockFile.isEmpty()) QFile::remove(lockFile);
    QCOMPARE(openComOne(user), 0);
}

void tst_SerialPort::staleUucpLockIsNoHolder() {
    Pty pty;
    QVERIFY(pty.valid());
    HolderProcess gone([] { return 0; });
    const pid_t dead = gone.pid();
    gone.end();
    const QString lockFile = QStringLiteral("/var/lock/LCK..") +
                             QString::fromStdString(pty.slavePath()).section(QLatin1Char('/'), -1);
    QFile file(lockFile);
    if (!file.open(QIODevice::WriteOnly)) QSKIP("the lock directory is not writable for this user");
    file.write(QByteArray::number(dead).rightJustified(10, ' ') + '\n');
    file.close();

    qputenv("VELA_COM1", QByteArray::fromStdString(pty.slavePath()));
    SerialPort port;
    port.setCommPort(1);
    const int error = port.open();
    QFile::remove(lockFile);
    QCOMPARE(error, 0);
}

void tst_SerialPort::openPortIsSeenAsHeld() {
    Pty pty;
    QVERIFY(pty.valid());
    qputenv("VELA_COM1", QByteArray::fromStdString(pty.slavePath()));
    SerialPort port;
    port.setCommPort(1);
    QCOMPARE(port.open(), 0);

    // A terminal program that takes a flock finds the device taken.
    HolderProcess flocker([&] {
        const int fd = ::open(pty.slavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (fd < 0) return 2;
        return ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK ? 0 : 1;
    });
    QVERIFY(flocker.holding());
}

void tst_SerialPort::portNumberOutOfRange_data() {
    QTest::addColumn<int>("commPort");
    QTest::newRow("0") << 0;
    QTest::newRow("17") << 17;
    QTest::newRow("-1") << -1;
}

// The number is refused even where a device is configured for it.
void tst_SerialPort::portNumberOutOfRange() {
    QFETCH(int, commPort);
    Pty pty;
    QVERIFY(pty.valid());
    const QByteArray name = "VELA_COM" + QByteArray::number(commPort);
    qputenv(name.constData(), QByteArray::fromStdString(pty.slavePath()));
    SerialPort port;
    port.setCommPort(commPort);
    const int error = port.open();
    qunsetenv(name.constData());
    QCOMPARE(error, SerialPort::kInvalidPortNumber);
    QVERIFY(!port.isOpen());
}

void tst_SerialPort::otherFailures_data() {
    QTest::addColumn<QString>("device");  // "pty, root only" for a pseudo-terminal only root may open
    QTest::addColumn<bool>("asUser");
    QTest::addColumn<int>("error");
    for (const bool asUser : {false, true}) {
        const char* who = asUser ? "normal user" : "root";
        QTest::addRow("missing device, %s", who) << "/dev/vela-no-such-device" << asUser
                                                  << SerialPort::kInvalidPortNumber;
        QTest::addRow("missing directory, %s", who) << "/vela-no-such-directory/ttyS0" << asUser
                                                    << SerialPort::kInvalidPortNumber;
        QTest::addRow("not a serial port, %s", who) << "/dev/null" << asUser << SerialPort::kInvalidPortNumber;
    }
    QTest::newRow("no permission, normal user") << "pty, root only" << true << SerialPort::kPermissionDenied;
}

void tst_SerialPort::otherFailures() {
    QFETCH(QString, device);
    QFETCH(bool, asUser);
    QFETCH(int, error);
    std::optional<User> user;
    if (!opener(asUser, user)) {
        if (asUser) QSKIP(qPrintable(noUserReason_));
        QSKIP("the root half needs root");
    }

    Pty pty;
    QVERIFY(pty.valid());
    QByteArray path = QFile::encodeName(device);
    if (device == QLatin1String("pty, root only")) {
        path = QByteArray::fromStdString(pty.slavePath());
        QCOMPARE(::chmod(path.constData(), 0600), 0);
    }
    qputenv("VELA_COM1", path);
    QCOMPARE(openComOne(user), error);
}

void tst_SerialPort::bytesReachLineBeforeHandlerSleepEnds() {
    Pty pty;
    QVERIFY(pty.valid());
    qputenv("VELA_COM1", QByteArray::fromStdString(pty.slavePath()));
    SerialPort port;
    port.setCommPort(1);
    QCOMPARE(port.open(), 0);

    std::vector<Pty::TimedByte> seen;
    std::thread reader([&] { seen = pty.readTimed(3, 2000ms); });
    // As a click handler does: write a frame's bytes, then sleep without
    // returning to the event loop.
    for (std::uint8_t b : {170, 2, 44}) QCOMPARE(port.output(b), SerialPort::WriteResult::Written);
    std::this_thread::sleep_for(200ms);
    const auto sleepEnded = Pty::Clock::now();
    reader.join();

    QCOMPARE(seen.size(), std::size_t(3));
    QCOMPARE(seen[0].value, std::uint8_t(170));
    QCOMPARE(seen[1].value, std::uint8_t(2));
    QCOMPARE(seen[2].value, std::uint8_t(44));
    QVERIFY2(seen[2].at + 150ms < sleepEnded, "the bytes waited for the handler to return");
}

void tst_SerialPort::burstArrivesCompleteAndInOrder() {
    Pty pty;
    QVERIFY(pty.valid());
    qputenv("VELA_COM1", QByteArray::fromStdString(pty.slavePath()));
    SerialPort port;
    port.setCommPort(1);
    QCOMPARE(port.open(), 0);
    port.setRThreshold(1);

    QByteArray received;
    QList<int> kinds;
    connect(&port, &SerialPort::onComm, this, [&](int kind, const QByteArray& input) {
        kinds << kind;
        received += input;
    });
    const std::vector<std::uint8_t> burst = pattern(3000);
    QVERIFY(pty.write(burst));
    QTRY_COMPARE_WITH_TIMEOUT(received.size(), qsizetype(burst.size()), 3000);
    QCOMPARE(received, toByteArray(burst));
    QCOMPARE(kinds.count(SerialPort::kEventReceive), kinds.size());
}

// Bytes that trickle in one at a time, as a line at 19200 baud delivers them,
// reach the program in a few gathered notifications, complete and in order.
void tst_SerialPort::trickleIsGathered() {
    Pty pty;
    QVERIFY(pty.valid());
    qputenv("VELA_COM1", QByteArray::fromStdString(pty.slavePath()));
    SerialPort port;
    port.setCommPort(1);
    QCOMPARE(port.open(), 0);
    port.setRThreshold(1);

    const std::vector<std::uint8_t> bytes = pattern(40);
    QByteArray received;
    int notifications = 0;
    // A plain event loop, which wakes for every event as the console's does.
    QEventLoop loop;
    connect(&port, &SerialPort::onComm, this, [&](int, const QByteArray& input) {
        ++notifications;
        received += input;
        if (received.size() >= qsizetype(bytes.size())) loop.quit();
    });
    QTimer::singleShot(3000, &loop, &QEventLoop::quit);
    std::thread writer([&] {
        for (const std::uint8_t b : bytes) {
            pty.write({b});
            std::this_thread::sleep_for(1ms);
        }
    });
    loop.exec();
    writer.join();
    QCOMPARE(received, toByteArray(bytes));
    QVERIFY2(notifications <= 10, qPrintable(QString::number(notifications) + " notifications for 40 bytes"));
}

// A pause between frames reads the device meanwhile, so a far end that talks
// for the whole pause is never held up by a full receive buffer (a real line
// without flow control would lose those bytes), and everything arrives in
// order once the caller is back in the event loop.
void tst_SerialPort::pauseKeepsReading() {
    Pty pty;
    QVERIFY(pty.valid());
    qputenv("VELA_COM1", QByteArray::fromStdString(pty.slavePath()));
    SerialPort port;
    port.setCommPort(1);
    QCOMPARE(port.open(), 0);
    port.setRThreshold(1);
    QByteArray received;
    connect(&port, &SerialPort::onComm, this, [&](int, const QByteArray& input) { received += input; });

    const std::vector<std::uint8_t> talk = pattern(512 * 1024);
    std::atomic<bool> written{false};
    std::thread writer([&] { written = pty.write(talk); });
    port.pauseKeepingInput(1500ms);
    const bool writtenDuringPause = written;
    writer.join();
    QVERIFY2(writtenDuringPause, "the far end was held up by a full receive buffer");
    QCOMPARE(received.size(), 0);  // announced only from the event loop

    QTRY_COMPARE_WITH_TIMEOUT(received.size(), qsizetype(talk.size()), 3000);
    QCOMPARE(received, toByteArray(talk));
}

void tst_SerialPort::thresholdZeroHoldsNotifications() {
    Pty pty;
    QVERIFY(pty.valid());
    qputenv("VELA_COM1", QByteArray::fromStdString(pty.slavePath()));
    SerialPort port;
    port.setCommPort(1);
    QCOMPARE(port.open(), 0);
    QSignalSpy notifications(&port, &SerialPort::onComm);

    QVERIFY(pty.write({1, 2, 3}));
    QTest::qWait(100);
    QCOMPARE(notifications.count(), 0);

    port.setRThreshold(1);
    QTRY_COMPARE(notifications.count(), 1);
    QCOMPARE(notifications.at(0).at(1).toByteArray(), QByteArray("\x01\x02\x03", 3));
}

void tst_SerialPort::fullBufferLosesNoByte() {
    Pty pty;
    QVERIFY(pty.valid());
    qputenv("VELA_COM1", QByteArray::fromStdString(pty.slavePath()));
    SerialPort port;
    port.setCommPort(1);
    QCOMPARE(port.open(), 0);

    // Far more than the kernel buffers; the far end starts reading late.
    const std::vector<std::uint8_t> bytes = pattern(60000);
    std::vector<std::uint8_t> seen;
    std::thread reader([&] {
        std::this_thread::sleep_for(300ms);
        seen = pty.read(bytes.size(), 10000ms);
    });
    int written = 0;
    for (std::uint8_t b : bytes) written += port.output(b) == SerialPort::WriteResult::Written;
    reader.join();

    QCOMPARE(written, int(bytes.size()));
    QVERIFY(port.isOpen());
    QCOMPARE(seen.size(), bytes.size());
    QVERIFY(seen == bytes);
}

void tst_SerialPort::hangUpIsNoticedOnce() {
    Pty pty;
    QVERIFY(pty.valid());
    qputenv("VELA_COM1", QByteArray::fromStdString(pty.slavePath()));
    SerialPort port;
    port.setCommPort(1);
    QCOMPARE(port.open(), 0);
    port.setRThreshold(1);
    QSignalSpy lost(&port, &SerialPort::lost);
    QSignalSpy notifications(&port, &SerialPort::onComm);

    pty.closeMaster();
    QTRY_COMPARE(lost.count(), 1);
    QVERIFY(!port.isOpen());
    QCOMPARE(port.output(170), SerialPort::WriteResult::Lost);

    // Nothing keeps running after the loss: 200 ms of event loop cost
    // next to no processor time.
    const double before = cpuSeconds();
    QTest::qWait(200);
    const double spent = cpuSeconds() - before;
    QVERIFY2(spent < 0.05, qPrintable(QStringLiteral("%1 s of CPU in 200 ms").arg(spent)));
    QCOMPARE(lost.count(), 1);
    QCOMPARE(notifications.count(), 0);
    QCOMPARE(port.output(170), SerialPort::WriteResult::Lost);
}

void tst_SerialPort::replugIsTakenBack_data() {
    QTest::addColumn<bool>("foundByWrite");
    QTest::addColumn<bool>("heldAtFirst");
    QTest::newRow("hang-up while idle") << false << false;
    QTest::newRow("hang-up found by a write") << true << false;
    QTest::newRow("new device held by another program at first") << false << true;
}

void tst_SerialPort::replugIsTakenBack() {
    QFETCH(bool, foundByWrite);
    QFETCH(bool, heldAtFirst);

    DeviceLink link;
    auto first = std::make_unique<Pty>();
    QVERIFY(first->valid());
    QVERIFY(link.pointAt(first->slavePath()));
    qputenv("VELA_COM1", link.path());
    SerialPort port;
    port.setCommPort(1);
    QCOMPARE(port.setSettings(QStringLiteral("19200,N,8,1")), 0);
    QCOMPARE(port.open(), 0);
    port.setRThreshold(1);
    QSignalSpy lost(&port, &SerialPort::lost);
    QByteArray received;
    connect(&port, &SerialPort::onComm, this, [&](int, const QByteArray& input) { received += input; });

    // Pulled: the old device is gone and nothing takes its name yet.
    first.reset();
    QVERIFY(link.pointNowhere());
    if (foundByWrite) QCOMPARE(port.output(170), SerialPort::WriteResult::Lost);
    QTRY_COMPARE(lost.count(), 1);
    QVERIFY(!port.isOpen());

    // Looking for it once a second costs next to nothing.
    const double before = cpuSeconds();
    QTest::qWait(2 * SerialPort::kReopenIntervalMs + 200);
    const double spent = cpuSeconds() - before;
    QVERIFY2(spent < 0.1, qPrintable(QStringLiteral("%1 s of CPU while the device was away").arg(spent)));
    QVERIFY(!port.isOpen());
    QCOMPARE(port.output(170), SerialPort::WriteResult::Lost);

    // Plugged in again, under the same name but as another device.
    Pty second;
    QVERIFY(second.valid());
    std::unique_ptr<HolderProcess> holder;
    if (heldAtFirst) {
        holder = std::make_unique<HolderProcess>([&] {
            const int fd = ::open(second.slavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
            return fd >= 0 ? ::flock(fd, LOCK_EX | LOCK_NB) : -1;
        });
        QVERIFY(holder->holding());
    }
    QVERIFY(link.pointAt(second.slavePath()));
    if (heldAtFirst) {
        QTest::qWait(2 * SerialPort::kReopenIntervalMs + 200);
        QVERIFY2(!port.isOpen(), "the port was taken from the program that holds it");
        holder->end();
    }
    QTRY_VERIFY_WITH_TIMEOUT(port.isOpen(), 3 * SerialPort::kReopenIntervalMs);
    QCOMPARE(lost.count(), 1);

    // The same settings, writes and the receive notification work again.
    const termios line = slaveSettings(second);
    QCOMPARE(int(cfgetospeed(&line)), int(B19200));
    for (std::uint8_t b : {170, 85}) QCOMPARE(port.output(b), SerialPort::WriteResult::Written);
    QCOMPARE(second.read(2), (std::vector<std::uint8_t>{170, 85}));
    QVERIFY(second.write({1, 2, 3}));
    QTRY_COMPARE(received, QByteArray("\x01\x02\x03", 3));

    // And a second pull is noticed like the first.
    second.closeMaster();
    QVERIFY(link.pointNowhere());
    QTRY_COMPARE(lost.count(), 2);
    QVERIFY(!port.isOpen());
}

// A port that never opened is not looked for: only a lost device comes back.
void tst_SerialPort::failedStartIsNotRetried() {
    DeviceLink link;
    QVERIFY(link.pointNowhere());
    qputenv("VELA_COM1", link.path());
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

QTEST_GUILESS_MAIN(tst_SerialPort)
#include "tst_serial_port.moc"
