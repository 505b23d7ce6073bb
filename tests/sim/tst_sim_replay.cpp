// The real vela-sim executable replaying a saved record.
#include <unistd.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "support/pty.h"

namespace {

const QByteArray kHeader = "Zaman\tOlay\tBaytlar\tCihaz\tAnlam\n";
const QByteArray kRecord = kHeader + "2026-03-07 14:00:00.000\tGELEN\t170 1 0 0 0 5 176\t\t\n";

struct Run {
    int exitCode = -1;
    QString out, err;
};

Run runSim(const QStringList& arguments, const QByteArray& input = {}) {
    QProcess sim;
    sim.start(VELA_SIM_PATH, arguments);
    sim.write(input);
    sim.closeWriteChannel();
    if (!sim.waitForFinished(10000)) sim.kill();
    return {sim.exitCode(), QString::fromUtf8(sim.readAllStandardOutput()),
            QString::fromUtf8(sim.readAllStandardError())};
}

bool writeFile(const QString& path, const QByteArray& text) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
}

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : "(unreadable)";
}

}  // namespace

class SimReplayTest : public QObject {
    Q_OBJECT
private slots:
    // What the record says is checked by the reader's own test; here, how the
    // simulator says it, and the files it cannot read at all.
    void refused_records_data() {
        QTest::addColumn<QString>("name");  // in a fresh folder; "." is the folder itself
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("error");  // {F}: the file's path
        QTest::newRow("a bad line")
            << "saha.txt" << kRecord + "\tGELEN\t170 259\t\t\n"
            << "Oturum kaydı oynatılmıyor: {F}\nKayıtta hatalı 1 satır var:\nsatır 3: 259 bir bayt değil\n";
        QTest::newRow("folder") << "." << QByteArray() << "Oturum kaydı okunamadı: {F} (bir klasör)\n";
        QTest::newRow("missing") << "yok.txt" << QByteArray()
                                 << "Oturum kaydı okunamadı: {F} (böyle bir dosya ya da klasör yok)\n";
    }
    // Refused before the line is opened: nothing is announced on standard output.
    void refused_records() {
        QFETCH(QString, name);
        QFETCH(QByteArray, text);
        QFETCH(QString, error);
        QTemporaryDir dir;
        const QString path = name == "." ? dir.path() : dir.filePath(name);
        QVERIFY(name != "saha.txt" || writeFile(path, text));
        const Run run = runSim({"--replay", path}, "\n");
        QCOMPARE(run.err, error.replace("{F}", path));
        QCOMPARE(run.out, QString());
        QCOMPARE(run.exitCode, 2);
    }

    void inputs_never_written_over_data() {
        QTest::addColumn<QStringList>("arguments");  // {R}: the record, {L}: a link to it, {H}: a hard link
        QTest::addColumn<QString>("error");
        QTest::newRow("same path") << QStringList{"--replay", "{R}", "--log", "{R}"}
                                   << "--log ile --replay aynı dosya: {R}; okunan dosyanın üzerine yazılmaz.\n";
        QTest::newRow("symbolic link") << QStringList{"--replay", "{R}", "--log", "{L}"}
                                       << "--log ile --replay aynı dosya: {L}; okunan dosyanın üzerine yazılmaz.\n";
        QTest::newRow("hard link") << QStringList{"--script", "{R}", "--log", "{H}"}
                                   << "--log ile --script aynı dosya: {H}; okunan dosyanın üzerine yazılmaz.\n";
        QTest::newRow("path file") << QStringList{"--replay", "{L}", "--path-file", "{R}"}
                                   << "--path-file ile --replay aynı dosya: {R}; okunan dosyanın üzerine yazılmaz.\n";
    }
    void inputs_never_written_over() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, error);
        QTemporaryDir dir;
        const QString record = dir.filePath("saha.txt"), link = dir.filePath("bag"), hard = dir.filePath("kopya");
        QVERIFY(writeFile(record, kRecord));
        QVERIFY(QFile::link(record, link) && ::link(qPrintable(record), qPrintable(hard)) == 0);
        const QString same = dir.path() + "/./saha.txt";  // the same file by a path of another spelling
        arguments.replaceInStrings("{R}", same).replaceInStrings("{L}", link).replaceInStrings("{H}", hard);
        const Run run = runSim(arguments, "cikis\n");
        QCOMPARE(run.err, error.replace("{R}", same).replace("{L}", link).replace("{H}", hard));
        QCOMPARE(run.exitCode, 2);
        QCOMPARE(contents(record), kRecord);
    }

    void unwritable_log_stops() {
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath("betik.txt"), "tus 5 ilerlet\n"));
        const Run run = runSim({"--no-time", "--script", dir.filePath("betik.txt"), "--log", "/dev/full"});
        QVERIFY2(run.out.contains("Kayıt dosyasına yazılamadı: /dev/full (diskte yer kalmadı)\n"), qPrintable(run.out));
        QCOMPARE(run.exitCode, 1);
    }

    // A clock step of two hours forward is cut to the longest wait, shown while
    // it is waited; the hour back of a summer-time change is played at once.
    void long_and_backward_gaps() {
        vela::test::Pty pty;
        QTemporaryDir dir;
        QVERIFY(pty.valid() &&
                writeFile(dir.filePath("saha.txt"), kRecord + "2026-03-07 16:00:00.000\tGELEN\t1\t\t\n"
                                                              "2026-03-07 15:00:00.000\tGELEN\t2\t\t\n"));
        QProcess sim;
        sim.start(VELA_SIM_PATH, {"--no-time", "--device", QString::fromStdString(pty.slavePath()), "--replay",
                                  dir.filePath("saha.txt"), "--max-gap", "6"});
        QVERIFY(sim.waitForReadyRead(10000));
        sim.write("\n");
        QVERIFY(sim.waitForBytesWritten(10000));
        const auto got = pty.readTimed(9, std::chrono::seconds(30));  // not two hours
        QCOMPARE(got.size(), std::size_t(9));
        QCOMPARE(int(got[7].value), 1);
        QCOMPARE(int(got[8].value), 2);
        QVERIFY(got[7].at - got[6].at > std::chrono::seconds(5));
        QVERIFY(sim.waitForFinished(10000));
        QCOMPARE(sim.exitCode(), 0);
        const QString out = QString::fromUtf8(sim.readAllStandardOutput());
        const QStringList said = {
            "satır 3: 7200 s ara 6 s'ye kısaltıldı (--max-gap)\n", "1/3 teslim; sonraki 6 s sonra\n", "GÖNDERILEN   1",
            "satır 4: zaman 3600 s geri gidiyor; teslim beklemeden oynatılıyor\n", "GÖNDERILEN   2"};
        qsizetype at = 0;
        for (const QString& line : said) {
            at = out.indexOf(line, at);
            QVERIFY2(at >= 0, qPrintable(line + " not in order in:\n" + out));
        }
    }
};

QTEST_GUILESS_MAIN(SimReplayTest)
#include "tst_sim_replay.moc"
