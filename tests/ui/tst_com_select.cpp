// The port-selection window and the start-up sequence of its "OK", with the
// ports mapped to real pseudo-terminals.
#include <QApplication>
#include <QGroupBox>
#include <QRadioButton>
#include <QSignalSpy>
#include <QtTest>
#include <map>

#include "serial/serial_port.h"
#include "support/feedback_recorder.h"
#include "support/pty.h"
#include "ui/ana_menu.h"
#include "ui/com_select.h"
#include "ui/console_style.h"
#include "ui/windows.h"
#include "ui/wrapping_button.h"

using vela::SerialPort;

namespace {

enum class Device { Free, HeldByAnotherInstance, Missing };

QByteArray comVariable(int port) { return "VELA_COM" + QByteArray::number(port); }

// Pseudo-terminals standing in for some of the sixteen ports.
struct Ports : std::map<int, vela::test::Pty> {
    explicit Ports(const QList<int>& numbers) {
        for (int n : numbers)
            qputenv(comVariable(n).constData(), QByteArray::fromStdString(try_emplace(n).first->second.slavePath()));
    }
    ~Ports() { for (const auto& entry : *this) qunsetenv(comVariable(entry.first).constData()); }
};

// The window shown, the given ports and speed (-1: none) clicked, then "OK".
vela::com_select& clickOk(vela::Windows& windows, const QList<int>& ports, int speedIndex) {
    vela::com_select& window = windows.comSelect();
    window.show();
    for (int n : ports) window.com1[n - 1]->click();
    if (speedIndex >= 0) window.speed[speedIndex]->click();
    window.Command1->click();
    return window;
}

}  // namespace

Q_DECLARE_METATYPE(Device)

class tst_ComSelect : public QObject {
    Q_OBJECT

    vela::test::FeedbackRecorder feedback_;

private slots:
    void initTestCase() { vela::applyConsoleStyle(*qobject_cast<QApplication*>(QCoreApplication::instance())); }
    void init() { feedback_.clear(); }

    // Sixteen unchecked options in two columns of eight in the frame, each showing its device.
    void windowAtStart() {
        const Ports ports({3});
        vela::Windows windows;
        vela::com_select& window = windows.comSelect();
        QVERIFY(!window.speed[0]->isChecked() && !window.speed[1]->isChecked());
        for (int i = 0; i < 16; ++i) {
            QRadioButton* option = window.com1[i];
            QCOMPARE(option->text(), QStringLiteral("Com %1").arg(i + 1));
            QVERIFY(!option->isChecked());
            const QPoint at = option->mapTo(&window, QPoint(0, 0));
            QVERIFY2(window.Frame2->geometry().contains(QRect(at, option->size())), qPrintable(option->text()));
            QCOMPARE(at.x(), window.com1[i / 8 * 8]->mapTo(&window, QPoint(0, 0)).x());
            if (i % 8 > 0) QVERIFY(at.y() > window.com1[i - 1]->mapTo(&window, QPoint(0, 0)).y());
            if (i >= 8) QVERIFY(at.x() > window.com1[i - 8]->mapTo(&window, QPoint(0, 0)).x());
        }
        QCOMPARE(window.com1[2]->toolTip(), QString::fromStdString(ports.at(3).slavePath()));
        QCOMPARE(window.com1[3]->toolTip(), QStringLiteral("/dev/ttyS3"));
    }

    // Com 1 and Com 2 are one group, Com 3 to Com 16 another.
    void optionGroups_data() {
        QTest::addColumn<QList<int>>("clicked");  // ports in click order
        QTest::addColumn<QList<int>>("chosen");
        QTest::newRow("Com 2 and Com 12: one per group") << QList<int>{2, 12} << QList<int>{2, 12};
        QTest::newRow("Com 1 then Com 2") << QList<int>{1, 2} << QList<int>{2};
        QTest::newRow("Com 3 then Com 16") << QList<int>{3, 16} << QList<int>{16};
    }
    void optionGroups() {
        QFETCH(QList<int>, clicked);
        vela::Windows windows;
        vela::com_select& window = windows.comSelect();
        for (int n : clicked) window.com1[n - 1]->click();
        QList<int> checked;
        for (int i = 0; i < 16; ++i) {
            if (window.com1[i]->isChecked()) checked << i + 1;
        }
        QTEST(checked, "chosen");
        window.speed[0]->click();
        window.speed[1]->click();
        QVERIFY(!window.speed[0]->isChecked() && window.speed[1]->isChecked());
    }

    // A missing choice is asked for; once made, "OK" goes on.
    void missingChoice_data() {
        QTest::addColumn<QList<int>>("chosen");
        QTest::addColumn<int>("speedIndex");
        QTest::addColumn<QString>("message");
        QTest::newRow("nothing") << QList<int>{} << -1 << "Select Com Port Type.";
        QTest::newRow("speed only") << QList<int>{} << 1 << "Select Com Port Type.";
        QTest::newRow("port only") << QList<int>{5} << -1 << "Select Speed Setting.";
    }
    void missingChoice() {
        QFETCH(QList<int>, chosen);
        QFETCH(int, speedIndex);
        QFETCH(QString, message);
        Ports ports({5});
        vela::Windows windows;
        vela::com_select& window = clickOk(windows, chosen, speedIndex);
        QCOMPARE(feedback_.messages, QStringList{message});
        QVERIFY(window.isVisible());
        QVERIFY(!windows.anaMenuLoaded());
        QCOMPARE(feedback_.beeps, 0);
        QCOMPARE(feedback_.ends, 0);
        for (int n : chosen) QVERIFY(window.com1[n - 1]->isChecked());
        clickOk(windows, {5}, 1);
        QCOMPARE(feedback_.messages.size(), 1);
        QVERIFY(windows.anaMenu().isVisible());
        QVERIFY(windows.anaMenu().MSComm1.isOpen());
    }

    // "OK" opens the highest chosen port at the chosen speed and shows the
    // main window (loading it beeps once); a port held by another program
    // ends the program instead, a missing device leaves the port closed.
    void ok_data() {
        QTest::addColumn<QList<int>>("chosen");
        QTest::addColumn<int>("speedIndex");
        QTest::addColumn<Device>("device");
        QTest::addColumn<int>("lineSpeed");
        QTest::newRow("Com 16 at 9600") << QList<int>{16} << 0 << Device::Free << int(B9600);
        QTest::newRow("Com 2 and Com 12 at 19200: the higher") << QList<int>{2, 12} << 1 << Device::Free << int(B19200);
        QTest::newRow("held by another instance") << QList<int>{4} << 0 << Device::HeldByAnotherInstance << 0;
        QTest::newRow("missing device") << QList<int>{6} << 0 << Device::Missing << 0;
    }
    void ok() {
        QFETCH(QList<int>, chosen);
        QFETCH(int, speedIndex);
        QFETCH(Device, device);
        Ports ports(chosen);
        const int opened = chosen.last();
        SerialPort other;
        if (device == Device::HeldByAnotherInstance) {
            other.setCommPort(opened);
            QCOMPARE(other.open(), 0);
        }
        if (device == Device::Missing) qputenv(comVariable(opened).constData(), "/dev/vela-no-such-device");
        vela::Windows windows;
        const bool held = device == Device::HeldByAnotherInstance;
        QVERIFY(!clickOk(windows, chosen, speedIndex).isVisible());
        QCOMPARE(feedback_.messages, held ? QStringList{QStringLiteral("Com Port is open try again later")} : QStringList{});
        QCOMPARE(feedback_.ends, held ? 1 : 0);
        QCOMPARE(feedback_.beeps, 1);
        QCOMPARE(windows.anaMenu().isVisible(), !held);
        SerialPort& port = windows.anaMenu().MSComm1;
        QCOMPARE(port.isOpen(), device == Device::Free);
        if (device != Device::Free) return;

        QCOMPARE(port.commPort(), opened);
        termios line{};
        ::tcgetattr(ports.at(opened).masterFd(), &line);
        QTEST(int(cfgetospeed(&line)), "lineSpeed");
        // The opened device is the one of that port, and no other.
        QCOMPARE(port.output(0x5A), SerialPort::WriteResult::Written);
        for (auto& [n, pty] : ports)
            QCOMPARE(pty.readAll(), n == opened ? std::vector<std::uint8_t>{0x5A} : std::vector<std::uint8_t>{});
        // Receive threshold 1: one waiting byte is announced.
        QSignalSpy received(&port, &SerialPort::onComm);
        QVERIFY(ports.at(opened).write({170}));
        QTRY_COMPARE(received.count(), 1);
    }

    void closingEndsProgram() {
        vela::Windows windows;
        windows.comSelect().show();
        QVERIFY(windows.comSelect().close());
        QCOMPARE(feedback_.ends, 1);
        QVERIFY(!windows.anaMenuLoaded());
    }
};

QTEST_MAIN(tst_ComSelect)
#include "tst_com_select.moc"
