// A session recorded by clicking on one simulator and sent again from its
// saved record into a fresh one: the same frames in the same order, no gap
// shorter than recorded, and a stop that leaves only whole frames.
#include <QCheckBox>
#include <QDateTime>
#include <QPointer>
#include <QProcess>
#include <QProgressDialog>
#include <QTemporaryDir>
#include <QTest>

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
        if (process.waitForReadyRead(kWait)) path = QString::fromUtf8(process.readLine()).trimmed().remove("Hat hazır: ");
    }
    ~Simulator() {
        process.write("cikis\n");
        if (!process.waitForFinished(kWait)) process.kill();
    }
    QProcess process;
    QString path;
};

// The console on the simulator's line, its record saved to `record`.
struct Console {
    Console(const Simulator& sim, const QString& record) {
        SaveFileDialog::setAnswer([record](const QString&) { return record; });
        qputenv("VELA_COM1", sim.path.toUtf8());
        menu.MSComm1.setCommPort(1);
        opened = menu.MSComm1.setSettings("9600,N,8,1") == 0 && menu.MSComm1.open() == 0;
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

// The fields of the lines of one event, in file order.
QList<QStringList> lines(const QString& path, const QString& event) {
    QFile file(path);
    QList<QStringList> found;
    if (!file.open(QIODevice::ReadOnly)) return found;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(u'\n')) {
        const QStringList fields = line.split(u'\t');
        if (fields.size() == 5 && fields[1] == event) found << fields;
    }
    return found;
}

QStringList column(const QList<QStringList>& lines, int field) {
    QStringList values;
    for (const QStringList& line : lines) values << line[field];
    return values;
}

qint64 msecs(const QString& time) {
    return QDateTime::fromString(time, "yyyy-MM-dd HH:mm:ss.zzz").toMSecsSinceEpoch();
}

}  // namespace

class ResendEndToEndTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup() {
        OpenFileDialog::setAnswer({});
        ResendDialog::setAnswer({});
    }
    void recorded_and_sent_again();
    void stop_halfway();
};

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
    const QList<QStringList> original = lines(recorded, "GÖNDERILEN");
    QCOMPARE(original.size(), 2 + 5 + 1 + 96);

    const QString log = dir.filePath("hat.txt");
    Simulator bench({"--log", log});
    Console console(bench, dir.filePath("tekrar.txt"));
    QVERIFY(console.opened);
    QString folder, summary;
    OpenFileDialog::setAnswer([&](const QString& offered) { return folder = offered, recorded; });
    ResendDialog::setAnswer([&](const QString& shown) { return summary = shown, std::optional(Gaps::AsRecorded); });
    QTest::keyClick(&console.menu, Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(folder, dir.path());  // where the last record was saved
    QVERIFY2(summary.contains("104 çerçeve gönderilecek: El Terminali 5–6, Bilet Makinesi 129, Dot Matrix Display "
                              "130, Ding-Dong Zil"), qPrintable(summary));
    const QString again = dir.filePath("tekrar.txt");
    QTRY_COMPARE_WITH_TIMEOUT(column(lines(again, "GÖNDERIM"), 4),
                              QStringList({"Kayıttan gönderim başladı: " + recorded + ", 104 çerçeve", "bitti"}), kWait);
    QTRY_COMPARE_WITH_TIMEOUT(column(lines(log, "GÖNDERILEN"), 2), column(original, 2), kWait);

    const QList<QStringList> resent = lines(again, "GÖNDERILEN");
    QCOMPARE(column(resent, 2), column(original, 2));
    QCOMPARE(column(resent, 3), column(original, 3));
    QCOMPARE(column(resent, 4).first(), "Kayıttan: Sayı Gönder");
    QCOMPARE(column(resent, 4).last(), "Kayıttan: Bilet Bilgisi: buton ismi 2. satır, karakter 15");
    for (qsizetype i = 1; i < resent.size(); ++i) {
        const qint64 was = msecs(original[i][0]) - msecs(original[i - 1][0]);
        const qint64 now = msecs(resent[i][0]) - msecs(resent[i - 1][0]);
        QVERIFY2(now >= was, qPrintable(QString("frame %1: %2 ms, recorded %3 ms").arg(i + 1).arg(now).arg(was)));
    }
    QVERIFY(console.feedback.messages.isEmpty());
}

// Eight frames 300 ms apart; "Durdur" once half of them went out.
void ResendEndToEndTest::stop_halfway() {
    QTemporaryDir dir;
    QFile file(dir.filePath("kayit.txt"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("Zaman\tOlay\tBaytlar\tCihaz\tAnlam\n");
    QStringList frames;
    for (int t = 1; t <= 8; ++t) {
        frames << QString("170 2 0 0 0 %1 %2").arg(t).arg(172 + t);  // number 0 to hand terminal t
        file.write(QString("2026-03-07 10:00:%1.%2\tGÖNDERILEN\t%3\tEl Terminali %4\tSayı Gönder\n")
                       .arg(10 + t * 3 / 10).arg(t * 300 % 1000, 3, 10, QChar('0')).arg(frames.last()).arg(t)
                       .toUtf8());
    }
    file.close();
    const QString log = dir.filePath("hat.txt");
    Simulator bench({"--log", log});
    Console console(bench, dir.filePath("tekrar.txt"));
    QVERIFY(console.opened);
    OpenFileDialog::setAnswer([&](const QString&) { return file.fileName(); });
    ResendDialog::setAnswer([](const QString&) { return std::optional(Gaps::AsRecorded); });
    QTest::keyClick(&console.menu, Qt::Key_O, Qt::ControlModifier);
    const QPointer<QProgressDialog> progress = console.menu.findChild<QProgressDialog*>();
    QTRY_VERIFY_WITH_TIMEOUT(progress && progress->value() >= 4, kWait);
    QVERIFY(progress);
    QTest::mouseClick(progress->findChild<QPushButton*>(), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(lines(dir.filePath("tekrar.txt"), "GÖNDERIM").size(), 2, kWait);
    const QString end = lines(dir.filePath("tekrar.txt"), "GÖNDERIM").last()[4];
    QVERIFY2(end.startsWith("durduruldu: ") && end.endsWith("/8"), qPrintable(end));
    const int sent = end.section(' ', 1).section('/', 0, 0).toInt();
    QVERIFY(sent >= 4 && sent < 8);
    QTest::qWait(700);  // more than a gap: nothing follows the stop
    QTRY_COMPARE_WITH_TIMEOUT(column(lines(log, "GÖNDERILEN"), 2), frames.mid(0, sent), kWait);
}

QTEST_MAIN(ResendEndToEndTest)
#include "tst_resend_e2e.moc"
