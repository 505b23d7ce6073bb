// The port-selection window and the start-up sequence of its "OK", with the
// ports mapped to real pseudo-terminals.
#include <QApplication>
#include <QHelpEvent>
#include <QRadioButton>
#include <QSignalSpy>
#include <QtTest>
#include <map>

#include "serial/port_discovery.h"
#include "serial/serial_port.h"
#include "support/feedback_recorder.h"
#include "support/pty.h"
#include "ui/ana_menu.h"
#include "ui/com_select.h"
#include "ui/console_style.h"
#include "ui/windows.h"
#include "ui/wrapping_button.h"

namespace {

QByteArray comVariable(int port) { return "VELA_COM" + QByteArray::number(port); }

// Pseudo-terminals standing in for some of the sixteen ports.
struct Ports : std::map<int, vela::test::Pty> {
    explicit Ports(const QList<int>& numbers) {
        for (int n : numbers)
            qputenv(comVariable(n).constData(), QByteArray::fromStdString(try_emplace(n).first->second.slavePath()));
    }
    ~Ports() { for (int n = 1; n <= 16; ++n) qunsetenv(comVariable(n).constData()); }
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

class tst_ComSelect : public QObject {
    Q_OBJECT

    vela::test::FeedbackRecorder feedback_;

private slots:
    void initTestCase() { vela::applyConsoleStyle(*qobject_cast<QApplication*>(QCoreApplication::instance())); }
    void init() { feedback_.clear(); }

    // A missing choice is asked for and nothing is opened; Com 1 and Com 2
    // are one option group and Com 3 to Com 16 another, so Com 2 then Com 12
    // leaves both chosen and "OK" opens the higher.
    void missingChoiceThenTwoGroups() {
        const Ports ports({2, 12});
        vela::Windows windows;
        clickOk(windows, {}, 1);
        clickOk(windows, {1, 2}, -1);
        QCOMPARE(feedback_.messages, (QStringList{"Select Com Port Type.", "Select Speed Setting."}));
        QVERIFY(!windows.anaMenuLoaded());
        clickOk(windows, {12}, 1);
        QVERIFY(windows.comSelect().com1[1]->isChecked() && windows.comSelect().com1[11]->isChecked());
        QVERIFY(!windows.comSelect().com1[0]->isChecked());
        QCOMPARE(windows.anaMenu().MSComm1.commPort(), 12);
        QVERIFY(windows.anaMenu().MSComm1.isOpen() && windows.anaMenu().isVisible());
    }

    // "OK" opens the chosen port at the chosen speed and shows the main
    // window (loading it beeps once). A port held by another program ends
    // the program; any other failure is explained, then the main window
    // shows with the port closed.
    void ok_data() {
        QTest::addColumn<int>("speedIndex");
        QTest::addColumn<QByteArray>("device");  // empty: a free pseudo-terminal; "held": held by another instance
        QTest::addColumn<QString>("message");
        QTest::newRow("free, 9600") << 0 << QByteArray() << QString();
        QTest::newRow("free, 19200") << 1 << QByteArray() << QString();
        QTest::newRow("held") << 0 << QByteArray("held") << "Com Port is open try again later";
        QTest::newRow("missing") << 0 << QByteArray("/dev/vela-no-such-device")
                                 << "Com 6 açılamadı: /dev/vela-no-such-device bu bilgisayarda yok.\n"
                                    "Seri port adaptörünü takın ya da başka bir Com Port seçin.";
        QTest::newRow("not a serial port") << 0 << QByteArray("/dev/null")
                                           << "Com 6 açılamadı: /dev/null bir seri port değil.\nBaşka bir Com Port seçin.";
    }
    void ok() {
        QFETCH(int, speedIndex);
        QFETCH(QByteArray, device);
        QFETCH(QString, message);
        Ports ports({5, 6});
        vela::SerialPort other;
        other.setCommPort(6);
        if (device == "held") QCOMPARE(other.open(), 0);
        else if (!device.isEmpty()) qputenv(comVariable(6).constData(), device);
        vela::Windows windows;
        QVERIFY(!clickOk(windows, {6}, speedIndex).isVisible());
        QCOMPARE(feedback_.messages, message.isEmpty() ? QStringList{} : QStringList{message});
        QCOMPARE(feedback_.ends, device == "held" ? 1 : 0);
        QCOMPARE(feedback_.beeps, 1);
        QCOMPARE(windows.anaMenu().isVisible(), device != "held");
        vela::SerialPort& port = windows.anaMenu().MSComm1;
        QCOMPARE(port.isOpen(), device.isEmpty());
        if (!device.isEmpty()) return;
        termios line{};
        ::tcgetattr(ports.at(6).masterFd(), &line);
        QCOMPARE(cfgetospeed(&line), speedIndex == 0 ? speed_t(B9600) : speed_t(B19200));
        QCOMPARE(port.output(0x5A), vela::SerialPort::WriteResult::Written);
        QCOMPARE(ports.at(6).readAll(), std::vector<std::uint8_t>{0x5A});
        QCOMPARE(ports.at(5).readAll(), std::vector<std::uint8_t>{});
        QVERIFY(ports.at(6).write({170}));  // receive threshold 1: one byte is announced
        QSignalSpy received(&port, &vela::SerialPort::onComm);
        QTRY_COMPARE(received.count(), 1);
    }

    // Without a configured name, "Com n" is the n-th port present; its
    // tooltip, built when shown, says which adapter that is.
    void numberedPortsAndTooltips() {
        const Ports ports({});
        vela::test::Pty adapter;
        QVERIFY(adapter.valid());
        std::vector<vela::PortInfo> present{{"ttyS1", "/dev/ttyS1", "", "", {}, {}, ""}};
        vela::setPortSource([&] { return present; });
        vela::Windows windows;
        vela::com_select& window = windows.comSelect();
        const auto tooltip = [&](int n) {
            QHelpEvent show(QEvent::ToolTip, QPoint(1, 1), window.com1[n - 1]->mapToGlobal(QPoint(1, 1)));
            QApplication::sendEvent(window.com1[n - 1], &show);
            return window.com1[n - 1]->toolTip();
        };
        QCOMPARE(tooltip(1), QStringLiteral("Com 1: bu bilgisayarda yok (/dev/ttyS0)"));
        present.push_back({"pts", adapter.slavePath(), "FT232R USB UART", "A9XYZ", 0x0403, 0x6001, ""});
        QCOMPARE(tooltip(1), QString::fromStdString(adapter.slavePath()) + QStringLiteral(" — FT232R USB UART, seri no A9XYZ"));
        QCOMPARE(tooltip(2), QStringLiteral("/dev/ttyS1"));
        clickOk(windows, {1}, 0);
        QCOMPARE(feedback_.messages, QStringList{});
        QCOMPARE(windows.anaMenu().MSComm1.output(0x5A), vela::SerialPort::WriteResult::Written);
        QCOMPARE(adapter.readAll(), std::vector<std::uint8_t>{0x5A});
        vela::setPortSource({});
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
