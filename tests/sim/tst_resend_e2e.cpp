// "Kayıttan Gönder…" on vela-sim: a session recorded by clicking on one
// simulator and sent again from its saved record into a fresh one, and no
// file asked for while the port is closed. Refused records, long waits and
// "Durdur" are in tests/ui/tst_record_opening.cpp.
#include <QCheckBox>
#include <QClipboard>
#include <QDateTime>
#include <QTemporaryDir>

#include "support/sim_console.h"
#include "ui/bilet_ayarlama.h"
#include "ui/check_result_dialog.h"

using namespace vela;
using test::kSimWait;

namespace {

// One field of each line of an event, in file order.
QStringList field(const QString& path, const QString& event, int index) {
    QFile file(path);
    QStringList found;
    if (!file.open(QIODevice::ReadOnly)) return found;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(u'\n')) {
        const QStringList fields = line.split(u'\t');
        if (fields.size() == 5 && fields[1] == event) found << fields[index];
    }
    return found;
}

QList<qint64> gaps(const QStringList& times) {
    QList<qint64> between;
    for (qsizetype i = 1; i < times.size(); ++i)
        between << QDateTime::fromString(times[i - 1], "yyyy-MM-dd HH:mm:ss.zzz")
                       .msecsTo(QDateTime::fromString(times[i], "yyyy-MM-dd HH:mm:ss.zzz"));
    return between;
}

}  // namespace

class ResendEndToEndTest : public QObject {
    Q_OBJECT
private slots:
    // Two numbers, a dot-matrix text, the chime and a ticket layout.
    void recorded_and_sent_again() {
        QTemporaryDir dir;
        const QString recorded = dir.filePath("devreye-alma.txt"), log = dir.filePath("hat.txt");
        {
            test::Simulator site;
            test::Console console(site, recorded);
            QVERIFY(console.opened);
            console.saveRecord();
            for (const char* terminal : {"5", "6"}) {
                console.set("Text1", terminal);
                console.set("Text2", "300");
                test::press(console.menu, "Command2");  // "Sayı Gönder"
            }
            console.set("Text8", "130");
            console.set("Text9", "AB");
            test::press(console.menu, "Command14");  // "Karakterleri Gönder"
            test::press(console.menu, "Command34");  // "Ding-Dong AÇIK"
            test::press(console.menu, "Command29");
            BiletAyarlama& bilet = console.windows.biletAyarlama();
            test::child<QLineEdit>(bilet, "Text5").setText("129");
            bilet.Text1(0)->setText("A");
            bilet.Check1(0)->setChecked(true);
            test::press(bilet, "BiletBilgisiGönder");
        }
        const QStringList frames = field(recorded, "GÖNDERILEN", 2);
        QCOMPARE(frames.size(), 2 + 5 + 1 + 96);

        test::Simulator bench({"--log", log});
        const QString again = dir.filePath("tekrar.txt");
        test::Console console(bench, again, recorded);
        QVERIFY(console.opened);
        console.saveRecord();
        console.sendFromRecord();
        QCOMPARE(console.folder, dir.path());                            // where the last record was saved
        QTRY_VERIFY_WITH_TIMEOUT(!console.summary.isEmpty(), kSimWait);  // read on a worker
        QVERIFY2(console.summary.contains("104 çerçeve gönderilecek: El Terminali 5–6, Bilet Makinesi 129, Dot Matrix "
                                          "Display 130, Ding-Dong Zil"),
                 qPrintable(console.summary));
        const QStringList startAndEnd{"Kayıttan gönderim başladı: " + recorded + ", 104 çerçeve", "bitti"};
        QTRY_COMPARE_WITH_TIMEOUT(field(again, "GÖNDERIM", 4), startAndEnd, kSimWait);
        QTRY_COMPARE_WITH_TIMEOUT(field(log, "GÖNDERILEN", 2), frames, kSimWait);
        QCOMPARE(field(again, "GÖNDERILEN", 2), frames);
        QCOMPARE(field(again, "GÖNDERILEN", 3), field(recorded, "GÖNDERILEN", 3));
        QCOMPARE(field(again, "GÖNDERILEN", 4).last(), "Kayıttan: Bilet Bilgisi: buton ismi 2. satır, karakter 15");
        const QList<qint64> was = gaps(field(recorded, "GÖNDERILEN", 0)), now = gaps(field(again, "GÖNDERILEN", 0));
        for (qsizetype i = 0; i < was.size(); ++i)
            QVERIFY2(now[i] >= was[i],
                     qPrintable(QString("frame %1: %2 ms, recorded %3").arg(i + 2).arg(now[i]).arg(was[i])));
        QVERIFY(console.feedback.messages.isEmpty());
    }

    // Two numbers and their ALINDI sent again with the answers compared: the
    // verdict, the differences' table and the record.
    void compared_data() {
        QTest::addColumn<QStringList>("bench");
        QTest::addColumn<QString>("verdict");
        QTest::addColumn<QString>("table");  // its rows as copied, but their delays
        QTest::newRow("same answers") << QStringList{"--ack", "30"} << "Hepsi eşleşti: 2 cevap"
                                      << "";
        QTest::newRow("a silent number")
            << QStringList{"--ack", "30", "--silent", "6"} << "1 fark: 1 eksik"
            << "eksik\t170 2 44 1 0 6 223 — Sayı Gönder\tEl Terminali 6\t170 16 0 0 0 6 192\tyok";
    }
    void compared() {
        QFETCH(QStringList, bench);
        QFETCH(QString, verdict);
        QFETCH(QString, table);
        QTemporaryDir dir;
        const QString again = dir.filePath("kontrol.txt");
        const QString recorded = test::written(
            dir.filePath("kurulum.txt"),
            "Zaman\tOlay\tBaytlar\tCihaz\tAnlam\n"
            "2026-12-07 10:00:00.000\tGÖNDERILEN\t170 2 44 1 0 5 222\tEl Terminali 5\tSayı Gönder\n"
            "2026-12-07 10:00:00.030\tÇERÇEVE\t170 16 0 0 0 5 191\t\tALINDI\n"
            "2026-12-07 10:00:00.200\tGÖNDERILEN\t170 2 44 1 0 6 223\tEl Terminali 6\tSayı Gönder\n"
            "2026-12-07 10:00:00.230\tÇERÇEVE\t170 16 0 0 0 6 192\t\tALINDI\n");
        test::Simulator sim(bench);
        test::Console console(sim, again, recorded);
        console.compare = true;
        console.saveRecord();
        console.sendFromRecord();
        CheckResultDialog* result = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT((result = console.menu.findChild<CheckResultDialog*>()), kSimWait);
        QCOMPARE(test::child<QLabel>(*result, "Sonuc").text(), verdict);
        for (QPushButton* button : result->findChildren<QPushButton*>())
            if (button->text() == "Kopyala") button->click();
        QStringList rows = QGuiApplication::clipboard()->text().split(u'\n', Qt::SkipEmptyParts).mid(1);
        for (QString& row : rows) row = row.section(u'\t', 0, 4);  // the delays vary
        QCOMPARE(rows.join(u'|'), table);
        QTRY_COMPARE_WITH_TIMEOUT(field(again, "KARŞILAŞTIRMA", 4).value(0), verdict, kSimWait);
    }

    // With the port closed, one message and no file asked for.
    void portClosed() {
        test::Simulator sim;
        test::Console console(sim, {}, {}, false);
        QVERIFY(console.opened);
        console.sendFromRecord();
        QCOMPARE(console.feedback.messages, QStringList{"Com Port açık değil! Komut gönderilemedi."});
        QVERIFY(console.folder.isEmpty() && console.summary.isEmpty());
    }
};

QTEST_MAIN(ResendEndToEndTest)
#include "tst_resend_e2e.moc"
