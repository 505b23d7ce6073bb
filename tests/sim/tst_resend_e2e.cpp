// "Kayıttan Gönder…" on vela-sim: a session recorded by clicking on one
// simulator and sent again from its saved record into a fresh one, records
// refused before a byte goes out, and a long recorded wait during which the
// window works and "Durdur" leaves only whole frames.
#include <QCheckBox>
#include <QDateTime>
#include <QPointer>
#include <QProcess>
#include <QProgressDialog>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "support/controls.h"
#include "support/feedback_recorder.h"
#include "ui/ana_menu.h"
#include "ui/bilet_ayarlama.h"
#include "ui/open_file_dialog.h"
#include "ui/resend_dialog.h"
#include "ui/save_file_dialog.h"
#include "ui/windows.h"

using namespace vela;

namespace {

constexpr int kWait = 10000;

struct Simulator {
    explicit Simulator(const QStringList& arguments = {}) {
        process.start(QCoreApplication::applicationDirPath() + "/../vela-sim", QStringList{"--no-time"} + arguments);
        if (process.waitForReadyRead(kWait))
            path = QString::fromUtf8(process.readLine()).trimmed().remove("Hat hazır: ");
    }
    ~Simulator() {
        process.write("cikis\n");
        if (!process.waitForFinished(kWait)) process.kill();
    }
    QProcess process;
    QString path;
};

// The console on the simulator's line (or with its port closed), its record
// saved to `record`; the file dialog answers `toSend`, the confirmation keeps
// the recorded gaps.
struct Console {
    Console(const Simulator& sim, const QString& record, const QString& toSend = {}, bool open = true) {
        SaveFileDialog::setAnswer([record](const QString&) { return record; });
        OpenFileDialog::setAnswer([this, toSend](const QString& offered) { return folder = offered, toSend; });
        ResendDialog::setAnswer(
            [this](const QString& shown) { return summary = shown, std::optional(Gaps::AsRecorded); });
        qputenv("VELA_COM1", sim.path.toUtf8());
        menu.MSComm1.setCommPort(1);
        opened = menu.MSComm1.setSettings("9600,N,8,1") == 0 && (!open || menu.MSComm1.open() == 0);
        menu.MSComm1.setRThreshold(1);
        menu.show();
        opened = QTest::qWaitForWindowActive(&menu) && opened;
        QTest::keyClick(&menu, Qt::Key_S, Qt::ControlModifier);
    }
    ~Console() {
        SaveFileDialog::setAnswer({});
        OpenFileDialog::setAnswer({});
        ResendDialog::setAnswer({});
    }
    void set(const char* field, const QString& text) { test::child<QLineEdit>(menu, field).setText(text); }
    void sendFromRecord() { QTest::keyClick(&menu, Qt::Key_O, Qt::ControlModifier); }

    test::FeedbackRecorder feedback;
    Windows windows;
    AnaMenu& menu = windows.anaMenu();
    bool opened = false;
    QString folder, summary;  // what the dialogs were given
};

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

QString written(const QTemporaryDir& dir, const QByteArray& lines) {
    QFile file(dir.filePath("kayit.txt"));
    if (!file.open(QIODevice::WriteOnly) || file.write("Zaman\tOlay\tBaytlar\tCihaz\tAnlam\n" + lines) <= 0) return {};
    return file.fileName();
}

}  // namespace

class ResendEndToEndTest : public QObject {
    Q_OBJECT
private slots:
    void recorded_and_sent_again();
    void refused_data();
    void refused();
    void long_wait_and_stop();
};

// Two numbers, a dot-matrix text, the chime and a ticket layout.
void ResendEndToEndTest::recorded_and_sent_again() {
    QTemporaryDir dir;
    const QString recorded = dir.filePath("devreye-alma.txt"), log = dir.filePath("hat.txt");
    {
        Simulator site;
        Console console(site, recorded);
        QVERIFY(console.opened);
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

    Simulator bench({"--log", log});
    const QString again = dir.filePath("tekrar.txt");
    Console console(bench, again, recorded);
    QVERIFY(console.opened);
    console.sendFromRecord();
    QCOMPARE(console.folder, dir.path());  // where the last record was saved
    QVERIFY2(console.summary.contains("104 çerçeve gönderilecek: El Terminali 5–6, Bilet Makinesi 129, Dot Matrix "
                                      "Display 130, Ding-Dong Zil"),
             qPrintable(console.summary));
    const QStringList startAndEnd{"Kayıttan gönderim başladı: " + recorded + ", 104 çerçeve", "bitti"};
    QTRY_COMPARE_WITH_TIMEOUT(field(again, "GÖNDERIM", 4), startAndEnd, kWait);
    QTRY_COMPARE_WITH_TIMEOUT(field(log, "GÖNDERILEN", 2), frames, kWait);
    QCOMPARE(field(again, "GÖNDERILEN", 2), frames);
    QCOMPARE(field(again, "GÖNDERILEN", 3), field(recorded, "GÖNDERILEN", 3));
    QCOMPARE(field(again, "GÖNDERILEN", 4).last(), "Kayıttan: Bilet Bilgisi: buton ismi 2. satır, karakter 15");
    const QList<qint64> was = gaps(field(recorded, "GÖNDERILEN", 0)), now = gaps(field(again, "GÖNDERILEN", 0));
    for (qsizetype i = 0; i < was.size(); ++i)
        QVERIFY2(now[i] >= was[i],
                 qPrintable(QString("frame %1: %2 ms, recorded %3").arg(i + 2).arg(now[i]).arg(was[i])));
    QVERIFY(console.feedback.messages.isEmpty());
}

void ResendEndToEndTest::refused_data() {
    QTest::addColumn<bool>("open");
    QTest::addColumn<QByteArray>("lines");
    QTest::addColumn<QStringList>("named");
    const QByteArray good = "2026-03-07 10:00:00.000\tGÖNDERILEN\t170 2 44 1 0 5 222\tEl Terminali 5\tSayı Gönder\n";
    QTest::newRow("bad check byte") << true << good + good + "\tGÖNDERILEN\t170 1 0 0 0 5 177\t\t\n"
                                    << QStringList{"satır 4", "176", "177"};
    QTest::newRow("six bytes and 256") << true
                                       << good + "\tGÖNDERILEN\t170 2 44 1 0 5\t\t\n" + good +
                                              "\tGÖNDERILEN\t170 2 256 1 0 5 222\t\t\n"
                                       << QStringList{"satır 3", "satır 5", "256"};
    QTest::newRow("no sent line") << true << QByteArray("\tGELEN\t170 1 0 0 0 5 176\t\t\n\tPORT\t\t\tkapandı\n")
                                  << QStringList{"GÖNDERILEN"};
    QTest::newRow("port closed: no file asked for")
        << false << good << QStringList{"Com Port açık değil! Komut gönderilemedi."};
}

// One message, before anything is confirmed or sent.
void ResendEndToEndTest::refused() {
    QFETCH(bool, open);
    QFETCH(QByteArray, lines);
    QFETCH(QStringList, named);
    QTemporaryDir dir;
    Simulator sim({"--log", dir.filePath("hat.txt")});
    Console console(sim, dir.filePath("tekrar.txt"), written(dir, lines), open);
    QVERIFY(console.opened);
    console.sendFromRecord();
    QCOMPARE(console.feedback.messages.size(), 1);
    for (const QString& part : named)
        QVERIFY2(console.feedback.messages[0].contains(part), qPrintable(console.feedback.messages[0]));
    QCOMPARE(console.folder.isEmpty(), !open);
    QVERIFY(console.summary.isEmpty());
    QTest::qWait(300);
    QCOMPARE(field(dir.filePath("hat.txt"), "GÖNDERILEN", 2), QStringList());
}

// Frames 2 s, 300 ms and 300 ms apart: a timer of the window fires during
// the long wait; "Durdur" after the second frame.
void ResendEndToEndTest::long_wait_and_stop() {
    QTemporaryDir dir;
    const QStringList frames{"170 6 0 0 0 1 177", "170 6 0 0 0 2 178", "170 6 0 0 0 3 179", "170 6 0 0 0 4 180"};
    QByteArray lines;
    for (const auto& [at, frame] :
         {std::pair{"00.000", frames[0]}, {"02.000", frames[1]}, {"02.300", frames[2]}, {"02.600", frames[3]}})
        lines += "2026-03-07 10:00:" + QByteArray(at) + "\tGÖNDERILEN\t" + frame.toUtf8() + "\t\t\n";
    const QString log = dir.filePath("hat.txt"), again = dir.filePath("tekrar.txt");
    Simulator sim({"--log", log});
    Console console(sim, again, written(dir, lines));
    QVERIFY(console.opened);
    QStringList whenFired{"(not fired)"};
    QTimer::singleShot(1000, [&] { whenFired = field(log, "GÖNDERILEN", 2); });
    console.sendFromRecord();
    const QPointer<QProgressDialog> progress = console.menu.findChild<QProgressDialog*>();
    QTRY_VERIFY_WITH_TIMEOUT(progress && progress->value() >= 2, kWait);
    QTest::mouseClick(progress->findChild<QPushButton*>(), Qt::LeftButton);  // "Durdur"
    QCOMPARE(whenFired, frames.mid(0, 1));
    QTRY_COMPARE_WITH_TIMEOUT(field(again, "GÖNDERIM", 4).size(), 2, kWait);
    QVERIFY(gaps(field(again, "GÖNDERILEN", 0)).first() >= 2000);
    const QString end = field(again, "GÖNDERIM", 4).last();
    const int sent = end.section(' ', 1).section('/', 0, 0).toInt();
    QCOMPARE(end, QString("durduruldu: %1/4").arg(sent));
    QVERIFY(sent == 2 || sent == 3);
    QTest::qWait(700);  // longer than a gap: nothing follows the stop
    QCOMPARE(field(log, "GÖNDERILEN", 2), frames.mid(0, sent));
}

QTEST_MAIN(ResendEndToEndTest)
#include "tst_resend_e2e.moc"
