// The real console windows (offscreen) and vela-sim as a separate process on
// its own pseudo-terminal: the console's frames checked against the state the
// simulator decoded, the devices' frames against the console's monitor.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "support/feedback_recorder.h"
#include "ui/ana_menu.h"
#include "ui/windows.h"

using namespace vela;

namespace {

QString simulator_path() { return QCoreApplication::applicationDirPath() + "/../vela-sim"; }

// The devices' side: quiet while the console sends, then a key press byte by
// byte (--byte-gap) and a ticket request as a whole frame in one write.
const QByteArray kScript =
    "bekle 3000\n"
    "tus 5 ilerlet\n"
    "bekle 1000\n"
    "bayt 170 14 0 0 0 130 58\n"
    "bekle 500\n"
    "durum\n";

}  // namespace

class EndToEndTest : public QObject {
    Q_OBJECT
private slots:
    void round_trip();
};

void EndToEndTest::round_trip() {
    QTemporaryDir dir;
    const QString script = dir.filePath("devices.txt");
    {
        QFile file(script);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(kScript);
    }
    QProcess sim;
    sim.start(simulator_path(), {"--script", script, "--byte-gap", "5", "--no-time"});
    QVERIFY2(sim.waitForStarted(), qPrintable(sim.errorString()));
    while (!sim.canReadLine()) QVERIFY(sim.waitForReadyRead(5000));
    const QByteArray ready = sim.readLine().trimmed();
    QVERIFY2(ready.startsWith("Hat hazır: "), ready.constData());
    qputenv("VELA_COM1", ready.mid(QByteArray("Hat hazır: ").size()));

    test::FeedbackRecorder feedback;
    Windows windows;
    AnaMenu& menu = windows.anaMenu();
    menu.MSComm1.setCommPort(1);
    QCOMPARE(menu.MSComm1.setSettings(QStringLiteral("9600,N,8,1")), 0);
    QCOMPARE(menu.MSComm1.open(), 0);
    menu.MSComm1.setRThreshold(1);
    menu.show();
    QVERIFY(QTest::qWaitForWindowExposed(&menu));

    const auto type = [&](const char* field, const QString& text) {
        auto* edit = menu.findChild<QLineEdit*>(field);
        QVERIFY2(edit, field);
        edit->setText(text);
    };
    const auto click = [&](const char* button) {
        auto* target = menu.findChild<QPushButton*>(button);
        QVERIFY2(target, button);
        QTest::mouseClick(target, Qt::LeftButton);
    };
    type("Text1", "5");
    type("Text2", "300");
    click("Command2");  // "Sayı Gönder"
    type("Text8", "5");
    type("Text9", "AB");
    click("Command14");  // "Karakterleri Gönder"

    QTRY_COMPARE_WITH_TIMEOUT(menu.GelenKomutLabel()->text(),
                              QString("El Terminalinden gelen İLERTLETME KOMUTU"), 8000);
    QTRY_COMPARE_WITH_TIMEOUT(menu.GelenKomutLabel()->text(),
                              QString("Bilet Makinesinden gelen BİLET TALEP KOMUTU"), 4000);

    QVERIFY(sim.waitForFinished(10000));
    QCOMPARE(sim.exitCode(), 0);
    const QString out = QString::fromUtf8(sim.readAllStandardOutput());
    QVERIFY2(out.contains("GELEN      170   2  44   1   0   5 222  El Terminali 5: SAYI GÖNDER 300"),
             qPrintable(out));
    QVERIFY2(out.contains("DURUM\nEl Terminali 5: sayı 300\n"), qPrintable(out));
    QVERIFY2(out.contains("Dot Matrix Display 5: metin \"AB\", uzunluk 2, mod Display Açma Komutu\n"),
             qPrintable(out));
    QVERIFY2(!out.contains("çerçeve oluşturmayan"), qPrintable(out));
}

QTEST_MAIN(EndToEndTest)
#include "tst_end_to_end.moc"
