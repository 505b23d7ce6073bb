// "Kayıttan Gönder…" on vela-sim: a session recorded by clicking on one
// simulator and sent again from its saved record into a fresh one, records
// refused before a byte goes out, and a long recorded wait during which the
// window works and "Durdur" leaves only whole frames.
#include <QCheckBox>
#include <QDateTime>
#include <QPointer>
#include <QProgressDialog>
#include <QTemporaryDir>
#include <QTimer>

#include "support/sim_console.h"
#include "ui/bilet_ayarlama.h"

using namespace vela;
using test::kSimWait;

namespace {

const QByteArray kHeader = "Zaman\tOlay\tBaytlar\tCihaz\tAnlam\n";

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

    // One message, before anything is confirmed or sent.
    void refused_data() {
        QTest::addColumn<bool>("open");
        QTest::addColumn<QByteArray>("lines");
        QTest::addColumn<QStringList>("named");
        const QByteArray good =
            "2026-03-07 10:00:00.000\tGÖNDERILEN\t170 2 44 1 0 5 222\tEl Terminali 5\tSayı Gönder\n";
        QTest::newRow("six bytes and 256")
            << true << good + "\tGÖNDERILEN\t170 2 44 1 0 5\t\t\n" + good + "\tGÖNDERILEN\t170 2 256 1 0 5 222\t\t\n"
            << QStringList{"satır 3", "satır 5", "256"};
        QTest::newRow("no sent line") << true << QByteArray("\tGELEN\t170 1 0 0 0 5 176\t\t\n\tPORT\t\t\tkapandı\n")
                                      << QStringList{"GÖNDERILEN"};
        QTest::newRow("port closed: no file asked for")
            << false << good << QStringList{"Com Port açık değil! Komut gönderilemedi."};
    }
    void refused() {
        QFETCH(bool, open);
        QFETCH(QByteArray, lines);
        QFETCH(QStringList, named);
        QTemporaryDir dir;
        test::Simulator sim({"--log", dir.filePath("hat.txt")});
        test::Console console(sim, {}, test::written(dir.filePath("kayit.txt"), kHeader + lines), open);
        QVERIFY(console.opened);
        console.sendFromRecord();
        QTRY_COMPARE(console.feedback.messages.size(), 1);
        for (const QString& part : named)
            QVERIFY2(console.feedback.messages[0].contains(part), qPrintable(console.feedback.messages[0]));
        QCOMPARE(console.folder.isEmpty(), !open);
        QVERIFY(console.summary.isEmpty());
        QTest::qWait(300);
        QCOMPARE(field(dir.filePath("hat.txt"), "GÖNDERILEN", 2), QStringList());
    }

    // Frames 2 s, 300 ms and 300 ms apart: a timer of the window fires during
    // the long wait; "Durdur" after the second frame.
    void long_wait_and_stop() {
        QTemporaryDir dir;
        const QStringList frames{"170 6 0 0 0 1 177", "170 6 0 0 0 2 178", "170 6 0 0 0 3 179", "170 6 0 0 0 4 180"};
        QByteArray lines = kHeader;
        for (const auto& [at, frame] :
             {std::pair{"00.000", frames[0]}, {"02.000", frames[1]}, {"02.300", frames[2]}, {"02.600", frames[3]}})
            lines += "2026-03-07 10:00:" + QByteArray(at) + "\tGÖNDERILEN\t" + frame.toUtf8() + "\t\t\n";
        const QString log = dir.filePath("hat.txt"), again = dir.filePath("tekrar.txt");
        test::Simulator sim({"--log", log});
        test::Console console(sim, again, test::written(dir.filePath("kayit.txt"), lines));
        QVERIFY(console.opened);
        console.saveRecord();
        QStringList whenFired{"(not fired)"};
        QTimer::singleShot(1000, [&] { whenFired = field(log, "GÖNDERILEN", 2); });
        console.sendFromRecord();
        QPointer<QProgressDialog> progress;
        QTRY_VERIFY(progress = console.menu.findChild<QProgressDialog*>("KayittanGonderim"));
        QTRY_VERIFY_WITH_TIMEOUT(progress && progress->value() >= 2, kSimWait);
        QTest::mouseClick(progress->findChild<QPushButton*>(), Qt::LeftButton);  // "Durdur"
        QCOMPARE(whenFired, frames.mid(0, 1));
        QTRY_COMPARE_WITH_TIMEOUT(field(again, "GÖNDERIM", 4).size(), 2, kSimWait);
        QVERIFY(gaps(field(again, "GÖNDERILEN", 0)).first() >= 2000);
        const QString end = field(again, "GÖNDERIM", 4).last();
        const int sent = end.section(' ', 1).section('/', 0, 0).toInt();
        QCOMPARE(end, QString("durduruldu: %1/4").arg(sent));
        QVERIFY(sent == 2 || sent == 3);
        QTest::qWait(700);  // longer than a gap: nothing follows the stop
        QCOMPARE(field(log, "GÖNDERILEN", 2), frames.mid(0, sent));
    }
};

QTEST_MAIN(ResendEndToEndTest)
#include "tst_resend_e2e.moc"
