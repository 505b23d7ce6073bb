// The serial port against real pseudo-terminals.
#include <grp.h>
#include <pwd.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <QSignalSpy>
#include <QtTest>
#include <thread>

#include "serial/line_settings.h"
#include "serial/open_failure.h"
#include "serial/port_discovery.h"
#include "serial/port_holders.h"
#include "serial/tty.h"
#include "support/device_link.h"
#include "support/pty.h"

using namespace std::chrono_literals;
using vela::SerialPort;
using vela::test::Pty;
using Bytes = std::vector<std::uint8_t>;

namespace {

enum class Device { Flock, Exclusive, NoLock, UucpLock, StaleUucpLock, Instance, Missing, NotATty };
struct User {
    uid_t uid;
    gid_t gid;
};
const std::optional<User> nobody = [] {  // the normal user when this process is root
    const passwd* entry = ::getpwnam("nobody");
    return entry ? std::optional<User>({entry->pw_uid, entry->pw_gid}) : std::nullopt;
}();
const gid_t nameless = [] {  // a group number that has no name here
    gid_t gid = 54321;
    while (::getgrgid(gid)) ++gid;
    return gid;
}();
bool become(const User* user) { return ::setgid(user->gid) == 0 && ::setuid(user->uid) == 0; }
void configure(int n, const std::string& device) { qputenv(qPrintable(QString("VELA_COM%1").arg(n)), device.c_str()); }
int openSlave(const std::string& path) { return ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK); }
int takeFlock(const std::string& path) { return ::flock(openSlave(path), LOCK_EX | LOCK_NB); }

// A forked child that runs `run`, passes back its result and what it wrote to
// `out`, and with `stay` keeps what it holds until end().
struct Child {
    Child(const std::function<int(int out)>& run, bool stay) {
        int fds[2];
        if (::pipe(fds) != 0) return;
        if ((pid = ::fork()) == 0) {
            const int value = run(fds[1]);
            (void)!::write(fds[1], &value, sizeof value);
            ::close(fds[1]);
            while (stay) ::pause();  // until end() kills it
            ::_exit(0);
        }
        ::close(fds[1]);
        QFile pipe;
        pipe.open(fds[0], QIODevice::ReadOnly, QFile::AutoCloseHandle);
        const QByteArray got = stay ? pipe.read(sizeof result) : pipe.readAll();  // blocks for the child
        if (got.size() >= qsizetype(sizeof result))
            std::memcpy(&result, got.constData() + got.size() - sizeof result, sizeof result);
        text = QString::fromUtf8(got.chopped(std::min(got.size(), qsizetype(sizeof result))));
    }
    ~Child() { end(); }
    void end() {
        if (pid > 0) ::kill(pid, SIGKILL), ::waitpid(pid, nullptr, 0);
        pid = -1;
    }
    pid_t pid = -1;
    int result = -1;
    QString text;
};

// open() of Com 1 and the message for its failure, here or as `user`.
std::pair<int, QString> openCom(const User* user) {
    const auto openHere = [](int out) {
        SerialPort port;
        port.setCommPort(1);
        const int error = port.open();
        const QByteArray text = vela::openFailureMessage(1, port.lastOpenFailure()).toUtf8();
        return out < 0 || ::write(out, text.constData(), std::size_t(text.size())) == text.size() ? error : -3;
    };
    if (!user) return {openHere(-1), QString()};
    const Child child([&](int out) { return become(user) ? openHere(out) : -2; }, false);
    return {child.result, child.text};
}

Bytes pattern(int count) {
    Bytes bytes(std::size_t(count), 0);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = std::uint8_t(i * 7 + i / 256);
    return bytes;
}

// Com 1 on a fresh pseudo-terminal, with every notification of the port kept.
struct Line {
    Pty pty;
    SerialPort port;
    QSignalSpy notes{&port, &SerialPort::onComm};
    Line() { configure(1, pty.slavePath()), port.setCommPort(1); }
    int open(int threshold) { return port.setRThreshold(threshold), pty.valid() ? port.open() : -1; }
    Bytes received() const {  // what every receive notification carried
        QByteArray all;
        for (const QList<QVariant>& note : notes)
            all += note.at(0) == SerialPort::kEventReceive ? note.at(1).toByteArray() : "?";
        return Bytes(all.begin(), all.end());
    }
};

}  // namespace

Q_DECLARE_METATYPE(Device)

class tst_SerialPort : public QObject {
    Q_OBJECT

private slots:
    void cleanup() {
        for (int n = 1; n <= 2; ++n) qunsetenv(qPrintable(QStringLiteral("VELA_COM%1").arg(n)));
        vela::setPortSource({});
        vela::port_holders::setLockDirectories({});
        vela::tty::setOutputQueueProbe({});
        vela::setLineErrorProbe({});
    }

    // The adapter's counters since the port opened, through the probe (rows:
    // its answers at the opening and later; {} for none); a pseudo-terminal's
    // own driver keeps none, and a closed port has none.
    void lineErrors_data() {
        using L = QList<int>;
        QTest::addColumn<bool>("probed");
        QTest::addColumn<L>("atOpen");
        QTest::addColumn<L>("now");
        QTest::addColumn<bool>("closed");
        QTest::addColumn<L>("expected");
        QTest::newRow("pseudo-terminal") << false << L{} << L{} << false << L{};
        QTest::newRow("since the opening") << true << L{5, 1, 0, 9, 0} << L{7, 1, 2, 9, 1} << false << L{2, 0, 2, 0, 1};
        QTest::newRow("counting from 0 again")
            << true << L{5, 1, 0, 0, 0} << L{3, 1, 0, 0, 0} << false << L{0, 0, 0, 0, 0};
        QTest::newRow("closed") << true << L{0, 0, 0, 0, 0} << L{1, 0, 0, 0, 0} << true << L{};
    }
    void lineErrors() {
        QFETCH(bool, probed);
        QFETCH(QList<int>, atOpen);
        QFETCH(QList<int>, now);
        QFETCH(bool, closed);
        const auto counts = [](const QList<int>& l) -> std::optional<vela::LineErrorCounts> {
            if (l.isEmpty()) return std::nullopt;
            return vela::LineErrorCounts{uint(l[0]), uint(l[1]), uint(l[2]), uint(l[3]), uint(l[4])};
        };
        const QList<int>* answer = &atOpen;
        if (probed) vela::setLineErrorProbe([&](int) { return counts(*answer); });
        Pty pty;
        configure(1, pty.slavePath());
        SerialPort port;
        QCOMPARE(port.open(), 0);
        answer = &now;
        if (closed) pty.closeMaster();
        QTRY_VERIFY(port.isOpen() != closed);
        QFETCH(QList<int>, expected);
        QCOMPARE(port.lineErrors(), counts(expected));
    }

    // The text as read, and on the line (a pseudo-terminal keeps only the
    // speed); refused, the port keeps the 19200 set at first.
    void lineSettings_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("parsed");  // speed, parity, bits, stop bits
        QTest::addColumn<int>("speed");       // 0: refused
        // clang-format off
        QTest::newRow("blanks around") << " 9600 , n , 8 , 1 " << "9600 0 8 0" << int(B9600);
        QTest::newRow("even, 7, 2") << "1200,E,7,2" << "1200 1 7 2" << int(B1200);
        QTest::newRow("mark, 5, 1.5") << "4800,m,5,1.5" << "4800 3 5 1" << int(B4800);
        QTest::newRow("no such speed") << "12345,N,8,1" << "12345 0 8 0" << 0;
        QTest::newRow("1.5 stop bits with 8 bits") << "9600,S,8,1.5" << "9600 4 8 1" << 0;
        for (const char* text : {"9600,N,8", "+9600,N,8,1", "0,N,8,1", "96 00,N,8,1", "9600,NO,8,1", "9600,N,4,1"})
            QTest::newRow(text) << text << QString() << 0;
        // clang-format on
    }
    void lineSettings() {
        QFETCH(QString, text);
        QFETCH(int, speed);
        const auto read = vela::parseLineSettings(text);
        const auto [speedRead, parity, bits, stop] = read.value_or(vela::LineSettings{});
        QTEST(read ? QString::asprintf("%d %d %d %d", speedRead, int(parity), bits, int(stop)) : QString(), "parsed");
        Line line;
        QCOMPARE(line.port.setSettings(QStringLiteral("19200,N,8,1")) + line.open(0) + line.port.setSettings(text),
                 speed == 0 ? SerialPort::kInvalidPropertyValue : 0);
        QCOMPARE(int(line.pty.speed()), speed == 0 ? int(B19200) : speed);
    }

    // Every kind of holder is told apart (8005) from other failures, as root
    // and as a normal user; once the holder lets go, the same open succeeds.
    void openErrors_data() {
        QTest::addColumn<Device>("device");
        QTest::addColumn<bool>("asUser");
        QTest::addColumn<int>("error");
        constexpr int held = SerialPort::kPortAlreadyOpen, invalid = SerialPort::kInvalidPortNumber;
        // clang-format off
        const std::tuple<const char*, Device, int> rows[] = {
            {"flock", Device::Flock, held}, {"exclusive mode", Device::Exclusive, held},
            {"open without any lock", Device::NoLock, held}, {"UUCP lock file", Device::UucpLock, held},
            {"stale UUCP lock file", Device::StaleUucpLock, 0}, {"another instance", Device::Instance, held},
            {"missing device", Device::Missing, invalid}, {"not a serial port", Device::NotATty, invalid}};
        // clang-format on
        for (const auto& [name, device, error] : rows) {
            QTest::addRow("%s, root", name) << device << false << error;
            QTest::addRow("%s, normal user", name) << device << true << error;
        }
    }
    void openErrors() {
        QFETCH(Device, device);
        QFETCH(bool, asUser);
        QFETCH(int, error);
        const bool root = ::geteuid() == 0;
        if (!root && !asUser) QSKIP("needs root");
        const User* user = asUser && root && nobody ? &*nobody : nullptr;  // else this process
        if (asUser && root && !user) QSKIP("there is no user \"nobody\"");
        Pty pty;
        const std::string slave = pty.slavePath();
        if (root)
            QCOMPARE(
                ::chown(slave.c_str(), user ? user->uid : 0, ::getgrnam("tty")->gr_gid) | ::chmod(slave.c_str(), 0660),
                0);
        configure(1, slave);
        std::optional<Child> child;
        std::optional<SerialPort> instance;
        const QString lockFile = QStringLiteral("/var/lock/LCK..") + QString::fromStdString(slave).section('/', -1);
        const auto stay = [&](const std::function<int()>& run) {
            QCOMPARE(child.emplace([=](int) { return run(); }, true).result, 0);
        };
        switch (device) {
        case Device::Flock: stay([&] { return takeFlock(slave); }); break;
        case Device::Exclusive: stay([&] { return ::ioctl(openSlave(slave), TIOCEXCL); }); break;
        case Device::NoLock:  // as a program the user started: inspectable by the user, without the far end
            stay([&] {
                return ::close(pty.masterFd()) | (user && !become(user)) | ::prctl(PR_SET_DUMPABLE, 1) |
                       (openSlave(slave) < 0);
            });
            break;
        case Device::UucpLock:
        case Device::StaleUucpLock: {
            stay([] { return 0; });
            QFile file(lockFile);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray::number(child->pid).rightJustified(10, ' ') + '\n');
            if (device == Device::StaleUucpLock) child->end();
            break;
        }
        case Device::Instance: instance.emplace().setCommPort(1); break;
        case Device::Missing: configure(1, "/dev/vela-no-such-device"); break;
        case Device::NotATty: configure(1, "/dev/null"); break;
        }
        if (instance) QCOMPARE(instance->open(), 0);
        const int result = openCom(user).first;
        QCOMPARE(result, error);
        if (child) child->end();
        // The exclusive mode outlives its setter.
        if (device == Device::Exclusive) QCOMPARE(::ioctl(openSlave(slave), TIOCNXCL), 0);
        instance.reset();
        QFile::remove(lockFile);
        if (error == SerialPort::kPortAlreadyOpen) QCOMPARE(openCom(user).first, 0);
    }

    // Only regular lock files count, and odd ones (a FIFO, a link to /dev/zero)
    // cost nothing; the open runs in a child an alarm ends, so a hang fails.
    void oddLockFiles_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("error");
        QTest::newRow("FIFO") << "fifo" << 0;
        QTest::newRow("link to /dev/zero") << "zero" << 0;
        QTest::newRow("link to a live lock") << "link" << 0;
        QTest::newRow("regular, live process") << "live" << SerialPort::kPortAlreadyOpen;
    }
    void oddLockFiles() {
        QFETCH(QString, kind);
        QTemporaryDir folder;
        vela::port_holders::setLockDirectories({folder.path().toStdString()});
        Pty pty;
        configure(1, pty.slavePath());
        const QString number = QString::fromStdString(pty.slavePath()).section('/', -1);
        const QByteArray lock = QFile::encodeName(folder.filePath("LCK..pts_" + number));
        const QByteArray liveLock = QFile::encodeName(folder.filePath(kind == "live" ? "LCK..pts_" + number : "live"));
        QFile live(QFile::decodeName(liveLock));
        QVERIFY(live.open(QIODevice::WriteOnly) && live.write("         1\n") == 11);
        live.close();
        if (kind == "fifo") QCOMPARE(::mkfifo(lock.constData(), 0644), 0);
        if (kind == "zero") QCOMPARE(::symlink("/dev/zero", QFile::encodeName(folder.filePath("LCK.." + number))), 0);
        if (kind == "link") QCOMPARE(::symlink(liveLock.constData(), lock.constData()), 0);
        const auto start = std::chrono::steady_clock::now();
        const Child child([](int) { return ::alarm(3), openCom(nullptr).first; }, false);
        QTEST(child.result, "error");
        QVERIFY2(std::chrono::steady_clock::now() - start < 1s, "the lock files delayed the start-up");
    }

    // A normal user who may not open a device of root's is told what can let
    // them in, and never to join a group with usermod where that cannot work.
    void permissionAdvice_data() {
        QTest::addColumn<bool>("namedGroup");  // tty, or a group number without a name
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("hidden");  // reached through a folder the user may not enter
        QTest::addColumn<QString>("advice");
        const QString ask = QStringLiteral("\nAygıta erişim vermesi için sistem yöneticinize danışın.");
        // clang-format off
        QTest::newRow("the tty group") << true << 0660 << false
                                       << "Aygıt \"tty\" grubuna ait. Kullanıcınızı bu gruba ekleyin:\n"
                                          "sudo usermod -aG tty nobody\nArdından oturumu kapatıp yeniden açın.";
        QTest::newRow("group without a name")
            << false << 0660 << false
            << QStringLiteral("Aygıt, adı olmayan %1 numaralı gruba ait; bu gruba usermod ile katılınamaz.").arg(nameless) + ask;
        QTest::newRow("group may not open it either")
            << true << 0600 << false << "Aygıtın grubu (tty) da onu açamaz; bir gruba katılmak yetmez." + ask;
        QTest::newRow("device cannot be examined")
            << true << 0660 << true
            << QStringLiteral("Aygıtın sahibi ve izinleri okunamadı (%1).").arg(QString::fromLocal8Bit(std::strerror(EACCES))) + ask;
        // clang-format on
    }
    void permissionAdvice() {
        QFETCH(bool, namedGroup);
        QFETCH(int, mode);
        QFETCH(bool, hidden);
        QFETCH(QString, advice);
        if (::geteuid() != 0 || !nobody) QSKIP("needs root and the user \"nobody\"");
        Pty pty;
        const std::string slave = pty.slavePath();
        QCOMPARE(::chown(slave.c_str(), 0, namedGroup ? ::getgrnam("tty")->gr_gid : nameless) |
                     ::chmod(slave.c_str(), mode_t(mode)),
                 0);
        QTemporaryDir folder;  // only its owner, root, may enter it
        const QString device = hidden ? folder.filePath("com") : QString::fromStdString(slave);
        if (hidden) QCOMPARE(::symlink(slave.c_str(), QFile::encodeName(device)), 0);
        configure(1, device.toStdString());
        const auto [error, message] = openCom(&*nobody);
        QCOMPARE(error, SerialPort::kPermissionDenied);
        QCOMPARE(message, QStringLiteral("Com 1 açılamadı: %1 aygıtını açma izniniz yok.\n").arg(device) + advice);
    }

    // As a click handler does: write, wait until sent, pause off the event loop;
    // a far end talking meanwhile is read then and told once by each signal.
    void clickWritesAndPauses_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("readerDelayMs");
        QTest::addColumn<int>("talkBytes");
        QTest::newRow("a frame") << 3 << 0 << 0;
        QTest::newRow("a full buffer, far end talking") << 60000 << 300 << 512 * 1024;
    }
    void clickWritesAndPauses() {
        QFETCH(int, count);
        QFETCH(int, readerDelayMs);
        QFETCH(int, talkBytes);
        Line line;
        QCOMPARE(line.open(1), 0);
        const Bytes bytes = pattern(count), talk = pattern(talkBytes);
        Bytes seen;
        Pty::Clock::time_point allSeen, talked = Pty::Clock::time_point::max();
        std::thread reader([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(readerDelayMs));
            seen = line.pty.read(bytes.size(), 10000ms);
            allSeen = Pty::Clock::now();
        });
        std::thread talker([&] { talked = line.pty.write(talk) ? Pty::Clock::now() : talked; });
        QByteArray told;
        connect(&line.port, &SerialPort::arrived, this,
                [&](const QByteArray& got, SerialPort::Moment) { told += got; });
        int written = 0;
        for (std::uint8_t b : bytes) written += line.port.output(b) == SerialPort::WriteResult::Written;
        QCOMPARE(line.port.waitSent(), SerialPort::WriteResult::Written);
        line.port.pauseKeepingInput(1000ms);
        const auto pauseEnded = Pty::Clock::now();
        const qsizetype toldInClick = told.size();
        reader.join(), talker.join();
        QCOMPARE(written, count);
        QVERIFY(seen == bytes);
        QVERIFY2(allSeen + 500ms < pauseEnded, "the bytes waited for the handler to return");
        QVERIFY2(talked < pauseEnded, "the far end was held up by a full receive buffer");
        QCOMPARE(line.notes.count(), 0);
        QVERIFY(toldInClick > 0 || talk.empty());
        QTRY_COMPARE_WITH_TIMEOUT(line.received(), talk, 3000);
        QCOMPARE(Bytes(told.begin(), told.end()), talk);
    }

    // The wait for a frame to leave, as the driver tells it, at 1200 baud (a
    // frame is 58.3 ms on the line; a queue that never empties is given 1 s more).
    void waitSent_data() {
        QTest::addColumn<int>("queueEmptiesMs");  // -1: never
        QTest::addColumn<bool>("statusReadable");
        QTest::addColumn<bool>("stuck");
        QTest::addColumn<int>("atLeastMs");
        QTest::addColumn<int>("underMs");
        QTest::newRow("queue empties after 40 ms") << 40 << true << false << 40 << 100;
        QTest::newRow("queue never empties") << -1 << true << true << 1058 << 1400;
        QTest::newRow("line status cannot be read") << 0 << false << false << 58 << 120;
    }
    void waitSent() {
        QFETCH(int, queueEmptiesMs);
        QFETCH(bool, statusReadable);
        QFETCH(bool, stuck);
        QFETCH(int, atLeastMs);
        QFETCH(int, underMs);
        Line line;
        QCOMPARE(line.port.setSettings(QStringLiteral("1200,N,8,1")) + line.open(1), 0);
        Pty::Clock::time_point emptyAt = Pty::Clock::time_point::max();
        vela::tty::setOutputQueueProbe({[&](int) { return std::optional<int>(Pty::Clock::now() < emptyAt ? 7 : 0); },
                                        [&](int) {
                                            return statusReadable ? vela::tty::TransmitterState::Empty
                                                                  : vela::tty::TransmitterState::DriverCannotTell;
                                        }});
        const Bytes frame{170, 29, 1, 0, 0, 0, 200};
        for (std::uint8_t b : frame) QCOMPARE(line.port.output(b), SerialPort::WriteResult::Written);
        const auto start = Pty::Clock::now();
        if (queueEmptiesMs >= 0) emptyAt = start + std::chrono::milliseconds(queueEmptiesMs);
        const SerialPort::WriteResult result = line.port.waitSent();
        const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(Pty::Clock::now() - start).count();
        QCOMPARE(result, stuck ? SerialPort::WriteResult::Stuck : SerialPort::WriteResult::Written);
        QVERIFY2(took >= atLeastMs && took < underMs, qPrintable(QString::number(took) + " ms"));
        QCOMPARE(line.pty.read(7), frame);
    }

    // A pulled device is noticed once and taken back with its settings, by name
    // or by identity, not while another holds it; what was read is kept.
    void replugIsTakenBack_data() {
        QTest::addColumn<bool>("byIdentity");
        QTest::addColumn<bool>("foundByWrite");
        QTest::addColumn<bool>("heldAtFirst");
        QTest::newRow("same name, hang-up while idle, held at first") << false << false << true;
        QTest::newRow("same name, hang-up found by a write") << false << true << false;
        QTest::newRow("adapter back under another name") << true << true << false;
    }
    void replugIsTakenBack() {
        QFETCH(bool, byIdentity);
        QFETCH(bool, foundByWrite);
        QFETCH(bool, heldAtFirst);
        vela::test::DeviceLink link;
        auto first = std::make_unique<Pty>();
        Pty second, other;
        // Once back, the adapter sorts after the other one: it is Com 2 then, not Com 1.
        const auto adapter = [](const std::string& at, const char* serial) {
            return vela::PortInfo{"", at, "", serial, 0x0403, 0x6001, ""};
        };
        std::vector<vela::PortInfo> present{adapter(first->slavePath(), "Z1")};
        vela::setPortSource([&] { return present; });
        QVERIFY(link.pointAt(first->slavePath()));
        if (!byIdentity) configure(1, link.path().toStdString());
        SerialPort port;
        port.setCommPort(1);
        QCOMPARE(port.setSettings(QStringLiteral("19200,N,8,1")) + port.open(), 0);
        port.setRThreshold(1);
        QSignalSpy lost(&port, &SerialPort::lost), reopened(&port, &SerialPort::reopened),
            notes(&port, &SerialPort::onComm);
        QVERIFY(first->write({170, 16, 0, 0, 0, 7, 193}));
        port.pauseKeepingInput(50ms);

        first.reset();
        present.clear();
        QVERIFY(link.pointNowhere());
        if (foundByWrite) QCOMPARE(port.output(170), SerialPort::WriteResult::Lost);
        QTRY_COMPARE(notes.count(), 1);
        QCOMPARE(notes.at(0).at(1).toByteArray(), QByteArray("\xAA\x10\0\0\0\x07\xC1", 7));
        const std::clock_t before = std::clock();
        QTest::qWait(2 * SerialPort::kReopenIntervalMs + 200);
        QVERIFY2(std::clock() - before < CLOCKS_PER_SEC / 10, "the port spun while the device was away");
        QVERIFY(!port.isOpen() && lost.count() == 1 && notes.count() == 1);
        QCOMPARE(port.output(170), SerialPort::WriteResult::Lost);

        std::optional<Child> holder;
        if (heldAtFirst) QCOMPARE(holder.emplace([&](int) { return takeFlock(second.slavePath()); }, true).result, 0);
        present = {adapter(second.slavePath(), "Z1"), adapter(other.slavePath(), "A1")};
        QVERIFY(link.pointAt(second.slavePath()));
        if (heldAtFirst) QTest::qWait(2 * SerialPort::kReopenIntervalMs + 200);
        QVERIFY2(!heldAtFirst || !port.isOpen(), "the port was taken from the program that holds it");
        holder.reset();
        QTRY_VERIFY_WITH_TIMEOUT(port.isOpen(), 3 * SerialPort::kReopenIntervalMs);
        QCOMPARE(reopened.count(), 1);
        QCOMPARE(second.speed(), speed_t(B19200));
        for (std::uint8_t b : {170, 85}) QCOMPARE(port.output(b), SerialPort::WriteResult::Written);
        QCOMPARE(second.read(2), (Bytes{170, 85}));
        QCOMPARE(other.readAll(), Bytes{});
        for (std::uint8_t b : {1, 2, 3}) second.write({b}), std::this_thread::sleep_for(1ms);
        QTRY_COMPARE(notes.count(), 2);
        QCOMPARE(notes.at(1).at(1).toByteArray(), QByteArray("\x01\x02\x03", 3));
        second.closeMaster();
        QTRY_COMPARE(lost.count(), 2);
    }

    // A pulled adapter that cannot be told apart from the adapters there now
    // is not taken back, and that is said once; a twin of it in another
    // socket is not taken for it either.
    void adapterNotToldApart_data() {
        QTest::addColumn<bool>("twinAtOpen");  // then each adapter is known by its socket: p1, p2, p3
        QTest::addColumn<int>("told");
        QTest::newRow("no identity") << false << 1;
        QTest::newRow("twin left in its socket") << true << 0;
    }
    void adapterNotToldApart() {
        QFETCH(bool, twinAtOpen);
        Pty pulled, twin, third;
        const auto adapter = [&](const Pty& pty, const char* place) {
            return vela::PortInfo{"", pty.slavePath(), "", "", 0x1a86, 0x7523, twinAtOpen ? place : ""};
        };
        std::vector<vela::PortInfo> present{adapter(pulled, "p1")};
        if (twinAtOpen) present.push_back(adapter(twin, "p2"));
        vela::setPortSource([&] { return present; });
        SerialPort port;
        port.setCommPort(1);
        QCOMPARE(port.open(), 0);
        port.setRThreshold(1);
        QSignalSpy lost(&port, &SerialPort::lost), reopened(&port, &SerialPort::reopened),
            told(&port, &SerialPort::notReopened);
        present = {adapter(twin, "p2"), adapter(third, "p3")};
        pulled.closeMaster();
        QTRY_COMPARE(lost.count(), 1);
        QTest::qWait(2 * SerialPort::kReopenIntervalMs + 200);
        QTEST(int(told.count()), "told");
        QVERIFY(!port.isOpen() && reopened.isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_SerialPort)
#include "tst_serial_port.moc"
