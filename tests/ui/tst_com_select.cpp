// The port-selection window and the start-up sequence of its "OK", with the
// ports mapped to real pseudo-terminals.
#include <QApplication>
#include <QHelpEvent>
#include <QRadioButton>
#include <QSignalSpy>
#include <QtTest>

#include "option_arrays.h"
#include "serial/port_discovery.h"
#include "support/feedback_recorder.h"
#include "support/pty.h"
#include "support/shown_tooltip.h"
#include "ui/ana_menu.h"
#include "ui/com_select.h"
#include "ui/console_style.h"
#include "ui/windows.h"
#include "ui/wrapping_button.h"

class tst_ComSelect : public QObject {
    Q_OBJECT

    vela::test::FeedbackRecorder feedback_;
    vela::test::Pty com5_, com6_;
    vela::Windows* windows_ = nullptr;

    // The window shown, the given ports and speed (-1: none) clicked, then "OK".
    void clickOk(const QList<int>& ports, int speedIndex) {
        vela::com_select& window = windows_->comSelect();
        window.show();
        for (int n : ports) window.com1[n - 1]->click();
        if (speedIndex >= 0) window.speed[speedIndex]->click();
        window.Command1->click();
    }

private slots:
    void initTestCase() { vela::applyConsoleStyle(*qobject_cast<QApplication*>(QCoreApplication::instance())); }
    void init() {
        feedback_.clear();
        qputenv("VELA_COM5", com5_.slavePath().c_str());
        qputenv("VELA_COM6", com6_.slavePath().c_str());
        windows_ = new vela::Windows;
    }
    void cleanup() { delete windows_, vela::setPortSource({}); }

    // A missing choice is asked for and nothing opens. Com 1 and Com 2 are one
    // option group and Com 3 to Com 16 another: both stay chosen, the higher opens.
    void missingChoiceThenTwoGroups() {
        clickOk({}, -1);
        clickOk({1, 2}, -1);
        QCOMPARE(feedback_.messages, (QStringList{"Select Com Port Type.", "Select Speed Setting."}));
        QVERIFY(!windows_->anaMenuLoaded());
        clickOk({5}, 1);
        const auto& options = windows_->comSelect().com1;
        QVERIFY(!options[0]->isChecked() && options[1]->isChecked() && windows_->anaMenu().MSComm1.isOpen());
        QCOMPARE(windows_->anaMenu().MSComm1.commPort(), 5);
    }

    // "OK" opens Com 6 at the chosen speed and shows the main window (loading
    // it beeps once). A port held by another program ends the program; any
    // other failure is explained, then the main window shows, port closed.
    void ok_data() {
        QTest::addColumn<int>("speedIndex");
        QTest::addColumn<QByteArray>("device");  // empty: its pseudo-terminal; "held": held by another instance
        QTest::addColumn<QString>("message");
        QTest::newRow("free, 9600") << 0 << QByteArray() << QString();
        QTest::newRow("free, 19200") << 1 << QByteArray() << QString();
        QTest::newRow("held") << 0 << QByteArray("held") << "Com Port is open try again later";
        QTest::newRow("missing") << 0 << QByteArray("/dev/vela-no-such-device")
                                 << "Com 6 açılamadı: /dev/vela-no-such-device bu bilgisayarda yok.\n"
                                    "Seri port adaptörünü takın ya da başka bir Com Port seçin.";
        QTest::newRow("not a serial port")
            << 0 << QByteArray("/dev/null")
            << "Com 6 açılamadı: /dev/null bir seri port değil.\nBaşka bir Com Port seçin.";
    }
    void ok() {
        QFETCH(int, speedIndex);
        QFETCH(QByteArray, device);
        vela::SerialPort other;
        other.setCommPort(6);
        if (device == "held") QCOMPARE(other.open(), 0);
        if (device != "held" && !device.isEmpty()) qputenv("VELA_COM6", device);
        clickOk({6}, speedIndex);
        QVERIFY(!windows_->comSelect().isVisible());
        QTEST(feedback_.messages.join('|'), "message");
        QCOMPARE(feedback_.ends, device == "held" ? 1 : 0);
        QCOMPARE(feedback_.beeps, 1);
        QCOMPARE(windows_->anaMenu().isVisible(), device != "held");
        vela::SerialPort& port = windows_->anaMenu().MSComm1;
        QCOMPARE(port.isOpen(), device.isEmpty());
        if (!device.isEmpty()) return;
        QCOMPARE(com6_.speed(), speedIndex == 0 ? speed_t(B9600) : speed_t(B19200));
        QSignalSpy received(&port, &vela::SerialPort::onComm);
        QVERIFY(com6_.write({170}) && com5_.write({85}));  // receive threshold 1: one byte is announced
        QTRY_COMPARE(received.count(), 1);
        QCOMPARE(received.at(0).at(1).toByteArray(), QByteArray("\xAA"));
    }

    // Without a configured name, "Com n" is the n-th port present; its
    // tooltip, built each time it is shown, says which adapter that is, its
    // strings as they are.
    void numberedPortsAndTooltips() {
        std::vector<vela::PortInfo> present;
        vela::setPortSource([&] { return present; });
        QRadioButton* com1 = windows_->comSelect().com1[0];
        QHelpEvent show(QEvent::ToolTip, QPoint(1, 1), com1->mapToGlobal(QPoint(1, 1)));
        QApplication::sendEvent(com1, &show);
        QCOMPARE(vela::test::shownToolTip(com1->toolTip()), QStringLiteral("Com 1: bu bilgisayarda yok (/dev/ttyS0)"));
        present.push_back({"", com5_.slavePath(), "<b>FT232R</b> USB & UART", "<i>A9XYZ", 0x0403, 0x6001, ""});
        QApplication::sendEvent(com1, &show);
        QCOMPARE(vela::test::shownToolTip(com1->toolTip()),
                 QString::fromStdString(com5_.slavePath()) + " — <b>FT232R</b> USB & UART, seri no <i>A9XYZ");
    }

    // Com 1 and Com 2, Com 3 to Com 16 and the two speeds are three arrays.
    void optionArrays() {
        windows_->comSelect().show();
        vela::test::clickThroughArrays(windows_->comSelect(),
                                       {vela::test::numbered("com1_", 0, 1), vela::test::numbered("com1_", 2, 15),
                                        vela::test::numbered("speed_", 0, 1)});
    }

    void closingEndsProgram() {
        QVERIFY(windows_->comSelect().close() && feedback_.ends == 1 && !windows_->anaMenuLoaded());
    }
};

QTEST_MAIN(tst_ComSelect)
#include "tst_com_select.moc"
