// "Kayıttan Gönder…" on vela-sim: a session recorded by clicking on one
// simulator and sent again from its saved record into a fresh one (the same
// frames in the same order, no gap shorter than recorded), a stop that leaves
// only whole frames, records refused before a byte goes out, and a long
// recorded wait that leaves the window working.
#include <QAction>
#include <QCheckBox>
#include <QLabel>
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
#include "ui/received_log.h"
#include "ui/resend_dialog.h"
#include "ui/save_file_dialog.h"
#include "ui/windows.h"

using namespace vela;

namespace {

constexpr int kWait = 10000;

struct Simulator {
    explicit Simulator(const QStringList& arguments = {}) {
        process.start(QCoreApplication::applicationDirPath() + "/../vela-sim", QStringList{"--no-time"} + arguments);
        if (process.waitForReadyRead(kWait)) path = QString::fromUtf8(process.readLine()).trimmed().remove("Hat hazır: ");
    }
    ~Simulator() {
        process.write("cikis\n");
        if (!process.waitForFinished(kWait)) process.kill();
    }
    QProcess process;
    QString path;
};

// The console on the simulator's line (or with its port closed), its record
// saved to `record`.
struct Console {
    Console(const Simulator& sim, const QString& record, bool open = true) {
        SaveFileDialog::setAnswer([record](const QString&) { return record; });
        qputenv("VELA_COM1", sim.path.toUtf8());
        menu.MSComm1.setCommPort(1);
        opened = menu.MSComm1.setSettings("9600,N,8,1") == 0 && (!open || menu.MSComm1.open() == 0);
        menu.MSComm1.setRThreshold(1);
        menu.show();
        opened = QTest::qWaitForWindowActive(&menu) && opened;
        QTest::keyClick(&menu, Qt::Key_S, Qt::ControlModifier);
    }
    ~Console() { SaveFileDialog::setAnswer({}); }
    void set(const char* field, const QString& text) { test::child<QLineEdit>(menu, field).setText(text); }

    test::FeedbackRecorder feedback;
    Windows windows;
    AnaMenu& menu = windows.anaMenu();
    bool opened = false;
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

// A record of `lines` under the header.
QString written(const QTemporaryDir& dir, const QByteArray& lines) {
    QFile file(dir.filePath("kayit.txt"));
    if (!file.open(QIODevice::WriteOnly) || file.write("Zaman\tOlay\tBaytlar\tCihaz\tAnlam\n" + lines) <= 0) return {};
    return file.fileName();
}

// A fresh simulator logging its line to `log`, a console on it saving its
// record to `again`; the file dialog answers `record`, the confirmation keeps
// the recorded gaps.
struct Run {
    Run(const QTemporaryDir& dir, const QString& record)
        : log(dir.filePath("hat.txt")), again(dir.filePath("tekrar.txt")), sim({"--log", log}), console(sim, again) {
        OpenFileDialog::setAnswer([this, record](const QString& offered) { return folder = offered, record; });
        ResendDialog::setAnswer([this](const QString& shown) {
            summary = shown;
            return std::optional(Gaps::AsRecorded);
        });
    }
    ~Run() {
        OpenFileDialog::setAnswer({});
        ResendDialog::setAnswer({});
    }
    void start() { QTest::keyClick(&console.menu, Qt::Key_O, Qt::ControlModifier); }

    QString log, again, folder, summary;
    Simulator sim;
    Console console;
};

}  // namespace

class ResendEndToEndTest : public QObject {
    Q_OBJECT
private slots:
    void recorded_and_sent_again();
    void stop_halfway();
    void closed_port();
    void refused_files_data();
    void refused_files();
    void long_wait();
};

// Two numbers, a dot-matrix text, the chime and a ticket layout.
void ResendEndToEndTest::recorded_and_sent_again() {
    QTemporaryDir dir;
    const QString recorded = dir.filePath("devreye-alma.txt");
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

    Run run(dir, recorded);
    QVERIFY(run.console.opened);
    run.start();
    QCOMPARE(run.folder, dir.path());  // where the last record was saved
    QVERIFY2(run.summary.contains("104 çerçeve gönderilecek: El Terminali 5–6, Bilet Makinesi 129, Dot Matrix "
                                  "Display 130, Ding-Dong Zil"), qPrintable(run.summary));
    const QStringList startAndEnd{"Kayıttan gönderim başladı: " + recorded + ", 104 çerçeve", "bitti"};
    QTRY_COMPARE_WITH_TIMEOUT(field(run.again, "GÖNDERIM", 4), startAndEnd, kWait);
    QTRY_COMPARE_WITH_TIMEOUT(field(run.log, "GÖNDERILEN", 2), frames, kWait);
    QCOMPARE(field(run.again, "GÖNDERILEN", 2), frames);
    QCOMPARE(field(run.again, "GÖNDERILEN", 3), field(recorded, "GÖNDERILEN", 3));
    QCOMPARE(field(run.again, "GÖNDERILEN", 4).last(), "Kayıttan: Bilet Bilgisi: buton ismi 2. satır, karakter 15");
    const QList<qint64> was = gaps(field(recorded, "GÖNDERILEN", 0)), now = gaps(field(run.again, "GÖNDERILEN", 0));
    for (qsizetype i = 0; i < was.size(); ++i)
        QVERIFY2(now[i] >= was[i], qPrintable(QString("frame %1: %2 ms, recorded %3").arg(i + 2).arg(now[i]).arg(was[i])));
    QVERIFY(run.console.feedback.messages.isEmpty());
}

// Eight frames 300 ms apart; "Durdur" once half of them went out.
void ResendEndToEndTest::stop_halfway() {
    QTemporaryDir dir;
    QByteArray lines;
    QStringList frames;
    for (int t = 1; t <= 8; ++t) {
        frames << QString("170 2 0 0 0 %1 %2").arg(t).arg(172 + t);  // number 0 to hand terminal t
        const QDateTime at = QDateTime(QDate(2026, 3, 7), QTime(10, 0)).addMSecs(300 * t);
        lines += (at.toString("yyyy-MM-dd HH:mm:ss.zzz") + "\tGÖNDERILEN\t" + frames.last() + "\t\t\n").toUtf8();
    }
    Run run(dir, written(dir, lines));
    QVERIFY(run.console.opened);
    run.start();
    const QPointer<QProgressDialog> progress = run.console.menu.findChild<QProgressDialog*>();
    QTRY_VERIFY_WITH_TIMEOUT(progress && progress->value() >= 4, kWait);
    QTest::mouseClick(progress->findChild<QPushButton*>(), Qt::LeftButton);  // "Durdur"
    QTRY_COMPARE_WITH_TIMEOUT(field(run.again, "GÖNDERIM", 4).size(), 2, kWait);
    const QString end = field(run.again, "GÖNDERIM", 4).last();
    const int sent = end.section(' ', 1).section('/', 0, 0).toInt();
    QCOMPARE(end, QString("durduruldu: %1/8").arg(sent));
    QVERIFY(sent >= 4 && sent < 8);
    QTest::qWait(700);  // longer than a gap: nothing follows the stop
    QCOMPARE(field(run.log, "GÖNDERILEN", 2), frames.mid(0, sent));
}

// As a button: the message, and no file dialog.
void ResendEndToEndTest::closed_port() {
    QTemporaryDir dir;
    Simulator sim;
    Console console(sim, dir.filePath("kayit.txt"), false);
    QVERIFY(console.opened);
    QStringList menu;
    for (const QAction* action : console.menu.Text7()->actions()) menu << action->text();
    QCOMPARE(menu, QStringList({"Oturum Kaydını Kaydet…", "Kayıttan Gönder…", "Kaydı Durdur"}));
    bool asked = false;
    OpenFileDialog::setAnswer([&](const QString&) { return asked = true, QString(); });
    QTest::keyClick(&console.menu, Qt::Key_O, Qt::ControlModifier);
    OpenFileDialog::setAnswer({});
    QCOMPARE(console.feedback.messages, QStringList{"Com Port açık değil! Komut gönderilemedi."});
    QVERIFY(!asked);
}

void ResendEndToEndTest::refused_files_data() {
    QTest::addColumn<QByteArray>("lines");
    QTest::addColumn<QStringList>("named");
    const QByteArray good = "2026-03-07 10:00:00.000\tGÖNDERILEN\t170 2 44 1 0 5 222\tEl Terminali 5\tSayı Gönder\n";
    QTest::newRow("bad check byte") << good + good + "\tGÖNDERILEN\t170 1 0 0 0 5 177\t\t\n"
                                    << QStringList{"satır 4", "176", "177"};
    QTest::newRow("six bytes and 256") << good + "\tGÖNDERILEN\t170 2 44 1 0 5\t\t\n" + good +
                                              "\tGÖNDERILEN\t170 2 256 1 0 5 222\t\t\n"
                                       << QStringList{"satır 3", "satır 5", "256"};
    QTest::newRow("no sent line") << QByteArray("\tGELEN\t170 1 0 0 0 5 176\t\t\n\tPORT\t\t\tkapandı\n")
                                  << QStringList{"GÖNDERILEN"};
}

// One message with the line numbers, before anything is asked or sent.
void ResendEndToEndTest::refused_files() {
    QFETCH(QByteArray, lines);
    QFETCH(QStringList, named);
    QTemporaryDir dir;
    Run run(dir, written(dir, lines));
    QVERIFY(run.console.opened);
    run.start();
    QCOMPARE(run.console.feedback.messages.size(), 1);
    for (const QString& part : named)
        QVERIFY2(run.console.feedback.messages[0].contains(part), qPrintable(run.console.feedback.messages[0]));
    QVERIFY(run.summary.isEmpty());  // not asked
    QTest::qWait(300);
    QCOMPARE(field(run.log, "GÖNDERILEN", 2), QStringList());
}

// Two frames 2 s apart: a timer of the window fires between them.
void ResendEndToEndTest::long_wait() {
    QTemporaryDir dir;
    Run run(dir, written(dir, "2026-03-07 10:00:00.000\tGÖNDERILEN\t170 6 0 0 0 1 177\tEl Terminali 1\tx\n"
                              "2026-03-07 10:00:02.000\tGÖNDERILEN\t170 6 0 0 0 2 178\tEl Terminali 2\tx\n"));
    QVERIFY(run.console.opened);
    QStringList whenFired{"(not fired)"};
    QTimer::singleShot(1000, [&] { whenFired = field(run.log, "GÖNDERILEN", 2); });
    run.start();
    QTRY_COMPARE_WITH_TIMEOUT(field(run.again, "GÖNDERIM", 4).size(), 2, kWait);
    QCOMPARE(whenFired, QStringList{"170 6 0 0 0 1 177"});
    QCOMPARE(run.console.menu.GonderilenLabel(6)->text(), " 178");
    QVERIFY(gaps(field(run.again, "GÖNDERILEN", 0)).first() >= 2000);
}

QTEST_MAIN(ResendEndToEndTest)
#include "tst_resend_e2e.moc"
