// The port-selection window and the start-up sequence of its "OK", with the
// ports mapped to real pseudo-terminals.
#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>

#include <QApplication>
#include <QGroupBox>
#include <QRadioButton>
#include <QSignalSpy>
#include <QtTest>
#include <map>
#include <memory>

#include "serial/serial_port.h"
#include "support/feedback_recorder.h"
#include "support/pty.h"
#include "ui/ana_menu.h"
#include "ui/com_select.h"
#include "ui/console_style.h"
#include "ui/windows.h"
#include "ui/wrapping_button.h"

using vela::SerialPort;
using vela::test::FeedbackRecorder;
using vela::test::Pty;

namespace {

const QString kHeldMessage = QStringLiteral("Com Port is open try again later");

QByteArray comVariable(int port) { return "VELA_COM" + QByteArray::number(port); }

// Pseudo-terminals standing in for some of the sixteen ports.
class Ports {
public:
    explicit Ports(const QList<int>& numbers) {
        for (int n : numbers) {
            auto& pty = ptys_[n];
            pty = std::make_unique<Pty>();
            qputenv(comVariable(n).constData(), QByteArray::fromStdString(pty->slavePath()));
        }
    }
    ~Ports() {
        for (const auto& entry : ptys_) qunsetenv(comVariable(entry.first).constData());
    }
    Pty& operator[](int n) { return *ptys_.at(n); }
    const std::map<int, std::unique_ptr<Pty>>& all() const { return ptys_; }

private:
    std::map<int, std::unique_ptr<Pty>> ptys_;
};

// Another program holding the device with a flock, until destroyed.
class FlockHolder {
public:
    explicit FlockHolder(const std::string& device) {
        int ready[2];
        if (::pipe(ready) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
            const char held = fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0;
            (void)!::write(ready[1], &held, 1);
            for (;;) ::pause();
        }
        ::close(ready[1]);
        char held = 0;
        pollfd p{ready[0], POLLIN, 0};
        holding_ = ::poll(&p, 1, 5000) > 0 && ::read(ready[0], &held, 1) == 1 && held;
        ::close(ready[0]);
    }
    ~FlockHolder() {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    FlockHolder(const FlockHolder&) = delete;
    FlockHolder& operator=(const FlockHolder&) = delete;
    bool holding() const { return holding_; }

private:
    pid_t pid_ = -1;
    bool holding_ = false;
};

speed_t speedOf(const Pty& pty) {
    termios settings{};
    ::tcgetattr(pty.masterFd(), &settings);
    return cfgetospeed(&settings);
}

void choose(vela::com_select& window, const QList<int>& ports, int speedIndex) {
    for (int n : ports) window.com1[n - 1]->click();
    if (speedIndex >= 0) window.speed[speedIndex]->click();
}

}  // namespace

class tst_ComSelect : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { vela::applyConsoleStyle(*qobject_cast<QApplication*>(QCoreApplication::instance())); }
    void init() { feedback_.clear(); }

    void windowAtStart();
    void optionGroups_data();
    void optionGroups();
    void startUp_data();
    void startUp();
    void missingChoice_data();
    void missingChoice();
    void speedChosenAfterMessage();
    void heldPortEndsProgram_data();
    void heldPortEndsProgram();
    void missingDeviceShowsMainWindowClosed();
    void closingEndsProgram();

private:
    FeedbackRecorder feedback_;
};

void tst_ComSelect::windowAtStart() {
    qputenv("VELA_COM3", "/dev/ttyUSB0");
    vela::Windows windows;
    vela::com_select& window = windows.comSelect();
    qunsetenv("VELA_COM3");

    QCOMPARE(window.windowTitle(), QStringLiteral("VELA TEST Ver 1.7    Karvo Elektronik Ltd"));
    QCOMPARE(window.size(), QSize(412, 303));
    QCOMPARE(window.Frame2->title(), QStringLiteral("Com Port"));
    QCOMPARE(window.Frame1->title(), QStringLiteral("Connection Speed"));
    QCOMPARE(window.speed[0]->text(), QStringLiteral("9600 Baud"));
    QCOMPARE(window.speed[1]->text(), QStringLiteral("19200 Baud"));
    QCOMPARE(window.Command1->text(), QStringLiteral("OK"));
    QVERIFY(!window.speed[0]->isChecked() && !window.speed[1]->isChecked());
    // Below the speed frame, beside the port frame.
    QVERIFY(window.Command1->geometry().top() > window.Frame1->geometry().bottom());
    QVERIFY(window.Frame1->geometry().left() > window.Frame2->geometry().right());

    const QRect frame = window.Frame2->geometry();
    for (int i = 0; i < 16; ++i) {
        QRadioButton* option = window.com1[i];
        QCOMPARE(option->text(), QStringLiteral("Com %1").arg(i + 1));
        QVERIFY(!option->isChecked());
        QCOMPARE(option->parentWidget(), i < 2 ? static_cast<QWidget*>(&window) : window.Frame2);
        const QRect at(option->mapTo(&window, QPoint(0, 0)), option->size());
        QVERIFY2(frame.contains(at), qPrintable(option->text()));
        // Two columns of eight, each numbered from the top.
        const QRect first(window.com1[i / 8 * 8]->mapTo(&window, QPoint(0, 0)), option->size());
        QCOMPARE(at.left(), first.left());
        if (i % 8 > 0) {
            QVERIFY(at.top() > window.com1[i - 1]->mapTo(&window, QPoint(0, 0)).y());
        }
        if (i >= 8) QVERIFY(at.left() > window.com1[i - 8]->mapTo(&window, QPoint(0, 0)).x());
    }
    QCOMPARE(window.com1[2]->toolTip(), QStringLiteral("/dev/ttyUSB0"));
    QCOMPARE(window.com1[3]->toolTip(), QStringLiteral("/dev/ttyS3"));
}

void tst_ComSelect::optionGroups_data() {
    QTest::addColumn<QList<int>>("clicked");  // ports in click order
    QTest::addColumn<QList<int>>("chosen");
    QTest::newRow("Com 2 and Com 12: one per group") << QList<int>{2, 12} << QList<int>{2, 12};
    QTest::newRow("Com 1 then Com 2") << QList<int>{1, 2} << QList<int>{2};
    QTest::newRow("Com 3 then Com 16") << QList<int>{3, 16} << QList<int>{16};
    QTest::newRow("Com 9, Com 1, Com 4") << QList<int>{9, 1, 4} << QList<int>{1, 4};
}

void tst_ComSelect::optionGroups() {
    QFETCH(QList<int>, clicked);
    QFETCH(QList<int>, chosen);
    vela::Windows windows;
    vela::com_select& window = windows.comSelect();
    choose(window, clicked, -1);
    QList<int> checked;
    for (int i = 0; i < 16; ++i) {
        if (window.com1[i]->isChecked()) checked << i + 1;
    }
    QCOMPARE(checked, chosen);

    window.speed[0]->click();
    window.speed[1]->click();
    QVERIFY(!window.speed[0]->isChecked());
    QVERIFY(window.speed[1]->isChecked());
}

void tst_ComSelect::startUp_data() {
    QTest::addColumn<QList<int>>("chosen");
    QTest::addColumn<int>("speedIndex");
    QTest::addColumn<int>("opened");
    QTest::addColumn<int>("lineSpeed");
    QTest::newRow("Com 3 at 9600") << QList<int>{3} << 0 << 3 << int(B9600);
    QTest::newRow("Com 1 at 19200") << QList<int>{1} << 1 << 1 << int(B19200);
    QTest::newRow("Com 2 and Com 12: the higher") << QList<int>{2, 12} << 1 << 12 << int(B19200);
    QTest::newRow("Com 16 at 9600") << QList<int>{16} << 0 << 16 << int(B9600);
}

void tst_ComSelect::startUp() {
    QFETCH(QList<int>, chosen);
    QFETCH(int, speedIndex);
    QFETCH(int, opened);
    QFETCH(int, lineSpeed);
    Ports ports(chosen);

    vela::Windows windows;
    vela::com_select& window = windows.comSelect();
    window.show();
    choose(window, chosen, speedIndex);
    window.Command1->click();

    QVERIFY(feedback_.messages.isEmpty());
    QCOMPARE(feedback_.beeps, 1);  // the main window's load
    QCOMPARE(feedback_.ends, 0);
    QVERIFY(!window.isVisible());
    vela::AnaMenu& main = windows.anaMenu();
    QVERIFY(main.isVisible());
    SerialPort& port = main.MSComm1;
    QVERIFY(port.isOpen());
    QCOMPARE(port.commPort(), opened);
    QCOMPARE(int(speedOf(ports[opened])), lineSpeed);

    // The opened device is the one of that port, and no other.
    QCOMPARE(port.output(0x5A), SerialPort::WriteResult::Written);
    for (const auto& [n, pty] : ports.all()) {
        QCOMPARE(pty->readAll(), n == opened ? std::vector<std::uint8_t>{0x5A} : std::vector<std::uint8_t>{});
    }

    // Receive threshold 1: one waiting byte is announced.
    QSignalSpy received(&port, &SerialPort::onComm);
    QVERIFY(ports[opened].write({170}));
    QTRY_COMPARE(received.count(), 1);
}

void tst_ComSelect::missingChoice_data() {
    QTest::addColumn<QList<int>>("chosen");
    QTest::addColumn<int>("speedIndex");
    QTest::addColumn<QString>("message");
    QTest::newRow("nothing") << QList<int>{} << -1 << "Select Com Port Type.";
    QTest::newRow("speed only") << QList<int>{} << 1 << "Select Com Port Type.";
    QTest::newRow("port only") << QList<int>{5} << -1 << "Select Speed Setting.";
}

void tst_ComSelect::missingChoice() {
    QFETCH(QList<int>, chosen);
    QFETCH(int, speedIndex);
    QFETCH(QString, message);
    vela::Windows windows;
    vela::com_select& window = windows.comSelect();
    window.show();
    choose(window, chosen, speedIndex);
    window.Command1->click();

    QCOMPARE(feedback_.messages, QStringList{message});
    QVERIFY(window.isVisible());
    QVERIFY(!windows.anaMenuLoaded());
    QCOMPARE(feedback_.beeps, 0);
    QCOMPARE(feedback_.ends, 0);
    for (int n : chosen) QVERIFY(window.com1[n - 1]->isChecked());
}

void tst_ComSelect::speedChosenAfterMessage() {
    Ports ports({7});
    vela::Windows windows;
    vela::com_select& window = windows.comSelect();
    window.show();
    choose(window, {7}, -1);
    window.Command1->click();
    QCOMPARE(feedback_.messages, QStringList{QStringLiteral("Select Speed Setting.")});

    window.speed[1]->click();
    window.Command1->click();
    QCOMPARE(feedback_.messages.size(), 1);
    QVERIFY(windows.anaMenu().isVisible());
    QVERIFY(windows.anaMenu().MSComm1.isOpen());
    QCOMPARE(int(speedOf(ports[7])), int(B19200));
}

void tst_ComSelect::heldPortEndsProgram_data() {
    QTest::addColumn<bool>("byAnotherInstance");
    QTest::newRow("a program holding a flock") << false;
    QTest::newRow("another instance of the console") << true;
}

void tst_ComSelect::heldPortEndsProgram() {
    QFETCH(bool, byAnotherInstance);
    Ports ports({4});
    std::unique_ptr<FlockHolder> holder;
    SerialPort other;
    if (byAnotherInstance) {
        other.setCommPort(4);
        QCOMPARE(other.open(), 0);
    } else {
        holder = std::make_unique<FlockHolder>(ports[4].slavePath());
        QVERIFY(holder->holding());
    }

    vela::Windows windows;
    vela::com_select& window = windows.comSelect();
    window.show();
    choose(window, {4}, 0);
    window.Command1->click();

    QCOMPARE(feedback_.messages, QStringList{kHeldMessage});
    QCOMPARE(feedback_.ends, 1);
    QCOMPARE(feedback_.beeps, 1);
    QVERIFY(!window.isVisible());
    QVERIFY(!windows.anaMenu().isVisible());
    QVERIFY(!windows.anaMenu().MSComm1.isOpen());
}

void tst_ComSelect::missingDeviceShowsMainWindowClosed() {
    qputenv("VELA_COM6", "/dev/vela-no-such-device");
    vela::Windows windows;
    vela::com_select& window = windows.comSelect();
    window.show();
    choose(window, {6}, 0);
    window.Command1->click();
    qunsetenv("VELA_COM6");

    QVERIFY(feedback_.messages.isEmpty());
    QCOMPARE(feedback_.ends, 0);
    QCOMPARE(feedback_.beeps, 1);
    QVERIFY(!window.isVisible());
    QVERIFY(windows.anaMenu().isVisible());
    QVERIFY(!windows.anaMenu().MSComm1.isOpen());
}

void tst_ComSelect::closingEndsProgram() {
    vela::Windows windows;
    vela::com_select& window = windows.comSelect();
    window.show();
    QVERIFY(window.close());
    QCOMPARE(feedback_.ends, 1);
    QVERIFY(!windows.anaMenuLoaded());
}

QTEST_MAIN(tst_ComSelect)
#include "tst_com_select.moc"
