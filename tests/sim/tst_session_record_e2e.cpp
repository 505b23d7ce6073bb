// The session record of a real console (offscreen) on vela-sim: what is
// saved while the technician works, what a failed write does, and a saved
// session replayed into a second console.
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "support/sim_console.h"
#include "ui/bilet_ayarlama.h"

using namespace vela;
using test::kSimWait;
using test::typeText;

namespace {

const QString kHeader = "Zaman\tOlay\tBaytlar\tCihaz\tAnlam";

// The file's lines without their times; a line that had none is marked.
QStringList untimed(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {"(unreadable)"};
    QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    const QRegularExpression time("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3}\t");
    for (qsizetype i = 1; i < lines.size(); ++i) {
        if (!lines[i].isEmpty() && !lines[i].contains(time)) lines[i].prepend("(no time)");
        lines[i].remove(time);
    }
    return lines;
}

QStringList linesOf(const QStringList& lines, const QString& event) {
    return lines.filter(QRegularExpression("^" + event + "\t"));
}

}  // namespace

class SessionRecordEndToEndTest : public QObject {
    Q_OBJECT
private slots:
    // West of UTC and not by whole hours, so that the record's offset shows its sign and minutes.
    void initTestCase() { qputenv("TZ", "<-0330>3:30"); }

    // A number, a refused click, a ticket; then the devices answer with a key
    // press, noise and an acknowledgement. The record is saved after the first
    // click, so it holds what was kept and what was appended.
    void saved_session() {
        QTemporaryDir dir;
        const QString file = dir.filePath("oturum.txt");
        test::Simulator sim;
        test::Console console(sim, file);
        QVERIFY(console.opened);
        QVERIFY(typeText(&test::child<QLineEdit>(console.menu, "Text1"), "5"));
        QVERIFY(typeText(&test::child<QLineEdit>(console.menu, "Text2"), "300"));
        test::press(console.menu, "Command2");  // "Sayı Gönder"
        console.saveRecord();
        const QString device = QFileInfo(sim.path).fileName();
        QVERIFY2(console.proposed.contains(QRegularExpression("^" + QRegularExpression::escape(QDir::homePath()) +
                                                              "/vela-oturum-\\d{8}-\\d{6}-" + device + "\\.txt$")),
                 qPrintable(console.proposed));
        QCOMPARE(test::child<QLabel>(console.menu, "KayitDosyasiLabel").text(), "Kayıt: oturum.txt");

        QVERIFY(typeText(&test::child<QLineEdit>(console.menu, "Text1"), "300"));
        test::press(console.menu, "Command2");
        test::press(console.menu, "Command29");  // "Bilet Ayarları"
        BiletAyarlama& bilet = console.windows.biletAyarlama();
        QVERIFY(typeText(&test::child<QLineEdit>(bilet, "Text5"), "129"));
        QVERIFY(typeText(bilet.Text1(0), "A"));
        bilet.Check1(0)->setChecked(true);
        test::press(bilet, "BiletBilgisiGönder");

        const auto answer = [&](const char* command, const QString& shown) {
            sim.process.write(command);
            QTRY_VERIFY_WITH_TIMEOUT(console.menu.Text7()->text().endsWith(shown), kSimWait);
        };
        answer("tus 5 ilerlet\n", "  176");
        answer("bayt 1 2 3\n", "  1  2  3");
        answer("alindi 129\n", "  59");
        QStringList saved = untimed(file);  // appended at once, not at the end
        // Saving records the line's summary first.
        const QString summary = saved.takeAt(3);
        QVERIFY(summary.startsWith("HAT\t\t\tÖzet: 0 cihaz duyuldu, 1 cihaza gönderildi; 7 bayt gönderildi"));

        QCOMPARE(saved.mid(0, 4), (QStringList{kHeader, "PORT\t\t\taçıldı: " + sim.path + ", 9600 baud, UTC-03:30",
                                               "GÖNDERILEN\t170 2 44 1 0 5 222\tEl Terminali 5\tSayı Gönder",
                                               "RED\t\t\tSayı Gönder: El Terminal No 0 ile 255 arasında olmalı!"}));
        // The ticket: 4 lines of the institution name, then 2 of the button
        // name, 16 frames each; line 1 holds "A" and its line feed.
        QCOMPARE(linesOf(saved.mid(4, 96), "GÖNDERILEN").size(), 96);
        const QString ticket = "GÖNDERILEN\t170 %1 129 %2\tBilet Makinesi 129\tBilet Bilgisi: %3";
        QCOMPARE((QStringList{saved[4], saved[5], saved[19], saved[67], saved[68], saved[99]}),
                 (QStringList{ticket.arg("31 0 0 0", "74", "kurum ismi 1. satır, karakter 0"),
                              ticket.arg("31 0 1 65", "140", "kurum ismi 1. satır, karakter 1"),
                              ticket.arg("31 0 15 10", "99", "kurum ismi 1. satır, karakter 15"),
                              ticket.arg("31 3 15 0", "92", "kurum ismi 4. satır, karakter 15"),
                              ticket.arg("32 0 0 0", "75", "buton ismi 1. satır, karakter 0"),
                              ticket.arg("32 1 15 0", "91", "buton ismi 2. satır, karakter 15")}));
        QCOMPARE(saved.mid(100), (QStringList{"GELEN\t170 1 0 0 0 5 176\t\t",
                                              "ÇERÇEVE\t170 1 0 0 0 5 176\t\tEl Terminalinden gelen İLERTLETME KOMUTU",
                                              "GELEN\t1 2 3\t\t", "GELEN\t170 16 0 0 0 129 59\t\t",
                                              "ÇERÇEVE\t170 16 0 0 0 129 59\t\tALINDI (ACK) BİLGİSİ geldi", ""}));

        console.action("Kaydı Durdur")->trigger();
        QVERIFY(test::child<QLabel>(console.menu, "KayitDosyasiLabel").isHidden());
        test::press(console.menu, "Command2");  // refused again, no longer appended
        saved.insert(3, summary);
        QCOMPARE(untimed(file), saved);
        QCOMPARE(console.feedback.messages.size(), 2);
    }

    void write_failure_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("reason");
        QTest::newRow("folder removed") << QString("gone/oturum.txt") << "klasör bulunamadı";
    }

    // One message naming the file and the reason; the console goes on sending
    // and nothing more is said about the record.
    void write_failure() {
        QFETCH(QString, file);
        QFETCH(QString, reason);
        QTemporaryDir dir;  // "gone" is not in it
        if (!file.startsWith('/')) file = dir.filePath(file);
        test::Simulator sim;
        test::Console console(sim, file);
        QVERIFY(console.opened);
        console.feedback.clear();
        console.action("Oturum Kaydını Kaydet…")->trigger();
        QCOMPARE(console.feedback.messages,
                 QStringList{"Oturum kaydı yazılamadı: " + file + " (" + reason + "). Kayıt durduruldu."});
        QVERIFY(!console.action("Kaydı Durdur")->isEnabled());
        QVERIFY(test::child<QLabel>(console.menu, "KayitDosyasiLabel").isHidden());

        QVERIFY(typeText(&test::child<QLineEdit>(console.menu, "Text1"), "5"));
        test::press(console.menu, "Command2");
        QCOMPARE(console.menu.GonderilenLabel(6)->text(), " 177");  // 170 2 0 0 0 5
        QCOMPARE(console.feedback.messages.size(), 1);
    }

    // A field session whose received side comes in odd pieces, with noise and a
    // frame cut over two deliveries, played at twice its speed into a console:
    // it finds the same frames and sentences.
    void replay() {
        const QByteArray recorded =
            kHeader.toUtf8() +
            "\n"
            "2026-03-07 14:32:05.100\tGELEN\t170 1 0 0 0 5 176\t\t\n"
            "2026-03-07 14:32:05.100\tÇERÇEVE\t170 1 0 0 0 5 176\t\tEl Terminalinden gelen İLERTLETME KOMUTU\n"
            "2026-03-07 14:32:05.101\tGÖNDERILEN\t170 2 44 1 0 5 222\tEl Terminali 5\tSayı Gönder\n"
            "2026-03-07 14:32:05.400\tGELEN\t9 170 14 0\t\t\n"
            "2026-03-07 14:32:05.700\tGELEN\t0 0 130 58 170 2 0 0 0 5 177\t\t\n"
            "2026-03-07 14:32:05.700\tÇERÇEVE\t170 14 0 0 0 130 58\t\tBilet Makinesinden gelen BİLET TALEP KOMUTU\n"
            "2026-03-07 14:32:05.700\tÇERÇEVE\t170 2 0 0 0 5 177\t\tbilinmeyen komut\n";
        QTemporaryDir dir;
        const QString field = test::written(dir.filePath("saha.txt"), recorded);
        QVERIFY(!field.isEmpty());
        test::Simulator sim({"--replay", field, "--speed", "2"});
        test::Console console(sim, dir.filePath("tezgah.txt"));
        QVERIFY(console.opened);
        console.action("Oturum Kaydını Kaydet…")->trigger();
        sim.process.write("\n");  // the console is on the line: play
        QTRY_VERIFY_WITH_TIMEOUT(console.menu.Text7()->text().endsWith("  177"), kSimWait);
        QVERIFY(sim.process.waitForFinished(kSimWait));
        QCOMPARE(sim.process.exitCode(), 0);

        const QStringList bench = untimed(dir.filePath("tezgah.txt"));
        QCOMPARE(linesOf(bench, "ÇERÇEVE"), linesOf(untimed(field), "ÇERÇEVE"));
        QStringList bytes;
        for (const QString& line : linesOf(bench, "GELEN")) bytes << line.section('\t', 1, 1);
        QCOMPARE(bytes.join(' '), "170 1 0 0 0 5 176 9 170 14 0 0 0 130 58 170 2 0 0 0 5 177");
    }
};

QTEST_MAIN(SessionRecordEndToEndTest)
#include "tst_session_record_e2e.moc"
