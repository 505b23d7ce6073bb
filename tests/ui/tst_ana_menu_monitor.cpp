// The received-frame monitor: bytes written into the line one at a time and
// in bursts, every byte beeped and logged, valid frames shown and decoded.
// Which byte runs are frames, and each frame's sentence, are the protocol
// tests' concern.
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

const QList<int> kAdvance{170, 1, 0, 0, 0, 5, 176};
const QList<int> kTicketRequest{170, 14, 0, 0, 2, 130, 60};
const QString kIlerletme = QStringLiteral("El Terminalinden gelen İLERTLETME KOMUTU");

}  // namespace

class AnaMenuMonitorTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { useConsoleStyle(); }

    void oneBytePerWrite() {
        Console console;
        QVERIFY(console.opened);
        for (qsizetype i = 0; i < kAdvance.size(); ++i) {
            QVERIFY(console.pty.write({static_cast<std::uint8_t>(kAdvance[i])}));
            QTRY_COMPARE(console.menu.Text7()->text(), logOf(kAdvance.first(i + 1)));
            if (i < 6) QCOMPARE(console.receivedDisplay(), QStringList(7, QString()));
        }
        QCOMPARE(console.feedback.beeps, 9);
        QCOMPARE(console.receivedDisplay(), shownBytes(kAdvance));
        QCOMPARE(console.menu.GelenKomutLabel()->text(), kIlerletme);
    }

    void inOneWrite_data() {
        QTest::addColumn<QList<int>>("bytes");
        QTest::addColumn<int>("frames");
        QTest::addColumn<QList<int>>("last");  // the last valid frame
        QTest::addColumn<QString>("sentence");
        QTest::newRow("frame") << kAdvance << 1 << kAdvance << kIlerletme;
        QTest::newRow("no sentence") << QList<int>{170, 2, 0, 0, 0, 5, 177} << 1 << QList<int>{170, 2, 0, 0, 0, 5, 177}
                                     << QString();
        QTest::newRow("wrong checksum") << QList<int>{170, 1, 0, 0, 0, 5, 177} << 0 << QList<int>{} << QString();
        // The window slides on after a frame; the second's sentence replaces the first's.
        QTest::newRow("two frames") << kAdvance + QList<int>{170, 2, 0, 0, 0, 5, 177} << 2
                                    << QList<int>{170, 2, 0, 0, 0, 5, 177} << QString();
        QTest::newRow("noise and stray start bytes")
            << QList<int>{1, 170, 170} + kAdvance + QList<int>{9, 170} + kTicketRequest << 2 << kTicketRequest
            << QStringLiteral("Bilet Makinesinden gelen BİLET TALEP KOMUTU");
    }

    // A write reaches the port as one notification with several bytes: each
    // of them must be handled.
    void inOneWrite() {
        QFETCH(QList<int>, bytes);
        QFETCH(int, frames);
        QFETCH(QList<int>, last);
        QFETCH(QString, sentence);

        Console console;
        QVERIFY(console.opened);
        qsizetype largest = 0;
        connect(&console.menu.MSComm1, &vela::SerialPort::onComm, this,
                [&](int, const QByteArray& input) { largest = std::max(largest, input.size()); });
        QVERIFY(console.pty.write(asBytes(bytes)));
        QTRY_COMPARE(console.menu.Text7()->text(), logOf(bytes));
        QVERIFY2(largest > 1, "the bytes arrived one by one; it tested nothing more than oneBytePerWrite");
        QCOMPARE(console.feedback.beeps, int(bytes.size()) + 2 * frames);
        QCOMPARE(console.receivedDisplay(), last.isEmpty() ? QStringList(7, QString()) : shownBytes(last));
        QCOMPARE(console.menu.GelenKomutLabel()->text(), sentence);
    }

    void otherNotificationsIgnored() {
        Console console;
        emit console.menu.MSComm1.onComm(1003, QByteArray(1, '\xAA'));  // line error with a byte
        emit console.menu.MSComm1.onComm(3, QByteArray());                // modem line change
        emit console.menu.MSComm1.onComm(vela::SerialPort::kEventReceive, QByteArray());
        QCOMPARE(console.feedback.beeps, 0);
        QCOMPARE(console.menu.Text7()->text(), QStringLiteral("Text7"));
    }
};

QTEST_MAIN(AnaMenuMonitorTest)
#include "tst_ana_menu_monitor.moc"
