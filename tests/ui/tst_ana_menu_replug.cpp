// The adapter pulled and plugged in again while the console runs: sends in
// between find the port closed, and once the device is back the buttons and
// the monitor work again without a restart.
#include <QSignalSpy>
#include <QTest>

#include "support/device_link.h"
#include "tst_ana_menu_harness.h"
#include "ui/received_log.h"

using namespace vela::test;

namespace {

const QList<int> kChimeOn = hex("AA 1D 01 00 00 00 C8");
const QList<int> kAdvanceKey{170, 1, 0, 0, 0, 5, 176};

std::vector<std::uint8_t> asBytes(const QList<int>& values) { return {values.begin(), values.end()}; }

}  // namespace

class AnaMenuReplugTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { useConsoleStyle(); }
    void sendsAndMonitorComeBack();
};

void AnaMenuReplugTest::sendsAndMonitorComeBack() {
    Console console(Console::Port::Closed);
    DeviceLink link;
    QVERIFY(link.pointAt(console.pty.slavePath()));
    qputenv("VELA_COM1", link.path());
    vela::SerialPort& port = console.menu.MSComm1;
    port.setCommPort(1);
    QCOMPARE(port.setSettings(QStringLiteral("19200,N,8,1")), 0);
    QCOMPARE(port.open(), 0);
    port.setRThreshold(1);
    QSignalSpy lost(&port, &vela::SerialPort::lost);

    QVERIFY(console.sendGlobalReset());
    const QStringList before = console.sentDisplay();
    console.pty.closeMaster();
    QVERIFY(link.pointNowhere());
    QTRY_COMPARE(lost.count(), 1);

    // Pulled: every send is refused as on a closed port, nothing is shown.
    for (int i = 0; i < 2; ++i) {
        QVERIFY(console.click(QStringLiteral("Command34")));
        QTest::qWait(vela::SerialPort::kReopenIntervalMs);
    }
    QCOMPARE(console.feedback.messages, QStringList(2, QString::fromUtf8(vela::kPortNotOpenMessage)));
    QCOMPARE(console.sentDisplay(), before);

    Pty replugged;
    QVERIFY(replugged.valid());
    QVERIFY(link.pointAt(replugged.slavePath()));
    QTRY_VERIFY_WITH_TIMEOUT(port.isOpen(), 3 * vela::SerialPort::kReopenIntervalMs);

    console.feedback.clear();
    QVERIFY(console.click(QStringLiteral("Command34")));
    QCOMPARE(asInts(replugged.read(7)), kChimeOn);
    QCOMPARE(console.sentDisplay(), shownBytes(kChimeOn));
    QCOMPARE(console.feedback.messages, QStringList{});

    const QString logBefore = console.menu.Text7()->text();
    QVERIFY(replugged.write(asBytes(kAdvanceKey)));
    QTRY_COMPARE(console.receivedDisplay(), shownBytes(kAdvanceKey));
    QCOMPARE(console.menu.GelenKomutLabel()->text(), QStringLiteral("El Terminalinden gelen İLERTLETME KOMUTU"));
    QVERIFY(console.menu.Text7()->text().startsWith(logBefore));
    QCOMPARE(console.feedback.beeps, 9);
    QCOMPARE(lost.count(), 1);
}

QTEST_MAIN(AnaMenuReplugTest)
#include "tst_ana_menu_replug.moc"
