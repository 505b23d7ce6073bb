// The real console windows (offscreen) against vela-sim as a separate process
// on its own pseudo-terminal: a command of every panel checked against the
// state the simulator decoded, the devices' frames against the monitor.
#include <QLabel>
#include <QTemporaryDir>

#include "support/sim_console.h"

using namespace vela;

class EndToEndTest : public QObject {
    Q_OBJECT
private slots:
    // The devices press a key (byte by byte) and ask for a ticket (one write).
    void round_trip() {
        QTemporaryDir dir;
        const QString script = test::written(
            dir.filePath("devices.txt"),
            "bekle 3000\ntus 5 ilerlet\nbekle 1000\nbayt 170 14 0 0 0 130 58\nbekle 500\ndurum\n");
        test::Simulator sim({"--script", script, "--byte-gap", "5"});
        test::Console console(sim);
        QVERIFY(!script.isEmpty() && console.opened);
        AnaMenu& menu = console.menu;
        for (const QString& entry : QStringList{"Text1=5", "Text2=300", "Text8=5", "Text9=AB", "Text5=130", "Text6=42",
                                                "Text13=1", "Text14=220", "Text15=3"})
            QVERIFY(test::typeText(&test::child<QLineEdit>(menu, entry.section('=', 0, 0)), entry.section('=', 1)));
        // "Sayı Gönder", "Karakterleri Gönder", "1. Komut", "Sola Yön Oku Göster", "Ding-Dong AÇIK"
        for (const char* button : {"Command2", "Command14", "Command9", "Command23", "Command34"})
            test::press(menu, button);
        QTRY_COMPARE_WITH_TIMEOUT(menu.GelenKomutLabel()->text(), "El Terminalinden gelen İLERTLETME KOMUTU", 8000);
        QTRY_COMPARE_WITH_TIMEOUT(menu.GelenKomutLabel()->text(), "Bilet Makinesinden gelen BİLET TALEP KOMUTU", 4000);

        QVERIFY(sim.process.waitForFinished(test::kSimWait));
        QCOMPARE(sim.process.exitCode(), 0);
        QCOMPARE(console.feedback.messages, QStringList());
        const QString out = QString::fromUtf8(sim.process.readAllStandardOutput());
        QVERIFY2(!out.contains("çerçeve oluşturmayan"), qPrintable(out));
        QCOMPARE(out.mid(out.lastIndexOf("DURUM\n") + 6),
                 "El Terminali 5: sayı 300\n"
                 "Bilet Makinesi 130:\n  1. komut: bilet numarası 42, kaçıncı bilet 1\n  bilet düzeni alınmadı\n"
                 "Dot Matrix Display 5: metin \"AB\", uzunluk 2, mod Display Açma Komutu\n"
                 "Ana Tablo 220: KU 3 Sola Yön Oku Göster\n"
                 "Ding-Dong Zil: açık\n");
    }
};

QTEST_MAIN(EndToEndTest)
#include "tst_end_to_end.moc"
