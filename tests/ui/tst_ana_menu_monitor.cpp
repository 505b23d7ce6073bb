// The received-frame monitor: bytes written into the line one at a time and
// in bursts, every byte beeped and logged, valid frames shown and decoded.
#include <QSignalSpy>
#include <QTest>

#include "tst_ana_menu_harness.h"
#include "ui/received_log.h"

using namespace vela::test;

namespace {

QString logOf(const QList<int>& bytes) {
    QString text = QStringLiteral("Text7");
    for (int b : bytes) text += QStringLiteral("  %1").arg(b);
    return text;
}

std::vector<std::uint8_t> asBytes(const QList<int>& values) { return {values.begin(), values.end()}; }

const QString kIlerletme = QStringLiteral("El Terminalinden gelen İLERTLETME KOMUTU");

}  // namespace

class AnaMenuMonitorTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { useConsoleStyle(); }
    void oneBytePerWrite();
    void burst_data();
    void burst();
    void twoFramesInOneWrite();
    void otherNotificationsIgnored_data();
    void otherNotificationsIgnored();
};

void AnaMenuMonitorTest::oneBytePerWrite() {
    Console console;
    QVERIFY(console.opened);
    const QList<int> frame{170, 1, 0, 0, 0, 5, 176};
    for (qsizetype i = 0; i < frame.size(); ++i) {
        QVERIFY(console.pty.write({static_cast<std::uint8_t>(frame[i])}));
        QTRY_COMPARE(console.menu.Text7()->text(), logOf(frame.first(i + 1)));
        if (i < 6) QCOMPARE(console.receivedDisplay(), QStringList(7, QString()));
    }
    QCOMPARE(console.feedback.beeps, 9);
    QCOMPARE(console.receivedDisplay(), shownBytes(frame));
    QCOMPARE(console.menu.GelenKomutLabel()->text(), kIlerletme);
}

void AnaMenuMonitorTest::burst_data() {
    QTest::addColumn<QList<int>>("bytes");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QString>("sentence");
    QTest::newRow("advance key") << QList<int>{170, 1, 0, 0, 0, 5, 176} << true << kIlerletme;
    QTest::newRow("repeat number, parameters not looked at")
        << QList<int>{170, 3, 9, 9, 9, 5, 205} << true
        << QStringLiteral("El Terminalinden gelen SAYI TEKRARLATMA KOMUTU");
    QTest::newRow("ticket request of machine 130")
        << QList<int>{170, 14, 0, 0, 2, 130, 60} << true
        << QStringLiteral("Bilet Makinesinden gelen BİLET TALEP KOMUTU");
    QTest::newRow("dashes") << QList<int>{170, 5, 0, 0, 0, 1, 176} << true
                            << QStringLiteral("El Terminalinden gelen DISPLAY '---' ÇİZGİ YAPMA KOMUTU");
    QTest::newRow("ACK") << QList<int>{170, 16, 0, 0, 7, 9, 202} << true
                         << QStringLiteral("ALINDI (ACK) BİLGİSİ geldi");
    QTest::newRow("no row matches") << QList<int>{170, 1, 0, 0, 1, 5, 177} << true << QString();
    QTest::newRow("unknown code") << QList<int>{170, 2, 0, 0, 0, 5, 177} << true << QString();
    QTest::newRow("wrong checksum") << QList<int>{170, 1, 0, 0, 0, 5, 177} << false << QString();
}

// A whole frame in one write reaches the port as one notification with
// several bytes: each of them must be handled.
void AnaMenuMonitorTest::burst() {
    QFETCH(QList<int>, bytes);
    QFETCH(bool, valid);
    QFETCH(QString, sentence);

    Console console;
    QVERIFY(console.opened);
    qsizetype largest = 0;
    connect(&console.menu.MSComm1, &vela::SerialPort::onComm, this,
            [&](int, const QByteArray& input) { largest = std::max(largest, input.size()); });
    QVERIFY(console.pty.write(asBytes(bytes)));
    QTRY_COMPARE(console.menu.Text7()->text(), logOf(bytes));
    QVERIFY2(largest > 1, "the burst arrived byte by byte; it tested nothing more than oneBytePerWrite");
    QCOMPARE(console.feedback.beeps, valid ? 9 : 7);
    QCOMPARE(console.receivedDisplay(), valid ? shownBytes(bytes) : QStringList(7, QString()));
    QCOMPARE(console.menu.GelenKomutLabel()->text(), sentence);
}

// The window slides on after a frame: a second frame right behind it is
// recognised too, and its sentence replaces the first one's.
void AnaMenuMonitorTest::twoFramesInOneWrite() {
    Console console;
    QVERIFY(console.opened);
    const QList<int> first{170, 1, 0, 0, 0, 5, 176};
    const QList<int> second{170, 2, 0, 0, 0, 5, 177};
    QVERIFY(console.pty.write(asBytes(first + second)));
    QTRY_COMPARE(console.menu.Text7()->text(), logOf(first + second));
    QCOMPARE(console.feedback.beeps, 14 + 4);
    QCOMPARE(console.receivedDisplay(), shownBytes(second));
    QCOMPARE(console.menu.GelenKomutLabel()->text(), QString());
}

void AnaMenuMonitorTest::otherNotificationsIgnored_data() {
    QTest::addColumn<int>("event");
    QTest::addColumn<QByteArray>("input");
    QTest::newRow("line error with a byte") << 1003 << QByteArray(1, '\xAA');
    QTest::newRow("modem line change") << 3 << QByteArray();
    QTest::newRow("data received, nothing waiting") << int(vela::SerialPort::kEventReceive) << QByteArray();
}

void AnaMenuMonitorTest::otherNotificationsIgnored() {
    QFETCH(int, event);
    QFETCH(QByteArray, input);

    Console console;
    emit console.menu.MSComm1.onComm(event, input);
    QCOMPARE(console.feedback.beeps, 0);
    QCOMPARE(console.menu.Text7()->text(), QStringLiteral("Text7"));
}

QTEST_MAIN(AnaMenuMonitorTest)
#include "tst_ana_menu_monitor.moc"
