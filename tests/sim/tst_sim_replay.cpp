// The real vela-sim executable with the files it reads and writes: saved
// records replayed, scripts, its log and its path file.
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "support/pty.h"

namespace {

const QByteArray kHeader = "Zaman\tOlay\tBaytlar\tCihaz\tAnlam\n";
const QByteArray kRecord = kHeader + "2026-03-07 14:00:00.000\tGELEN\t170 1 0 0 0 5 176\t\t\n";

struct Run {
    int exitCode = -1;
    QByteArray out, err;
    qint64 ms = 0;
};

Run runSim(const QStringList& arguments, const QByteArray& input = {}) {
    QElapsedTimer clock;
    clock.start();
    QProcess sim;
    sim.start(VELA_SIM_PATH, arguments);
    sim.write(input);
    sim.closeWriteChannel();
    if (!sim.waitForFinished(10000)) sim.kill();
    sim.waitForFinished(1000);
    return {sim.exitStatus() == QProcess::NormalExit ? sim.exitCode() : -1, sim.readAllStandardOutput(),
            sim.readAllStandardError(), clock.elapsed()};
}

bool writeFile(const QString& path, const QByteArray& text) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
}

// What a path is, and its text when it is a small plain file: equal before
// and after a run when the run left it alone.
QByteArray shape(const QString& path) {
    struct stat status {};
    if (::lstat(qPrintable(path), &status) != 0) return "absent";
    if (S_ISLNK(status.st_mode)) return "link to " + QFileInfo(path).symLinkTarget().toUtf8();
    if (!S_ISREG(status.st_mode)) return "mode " + QByteArray::number(status.st_mode, 8);
    QFile file(path);
    if (status.st_size >= 4096 || !file.open(QIODevice::ReadOnly))
        return "file of " + QByteArray::number(status.st_size);
    return "file " + file.readAll();
}

}  // namespace

class SimReplayTest : public QObject {
    Q_OBJECT
private slots:
    // Hostile files for each file option. {D}: a fresh folder, {R}: a record
    // in it, {S}: a script in it ("bekle 1"), {F}: the file of the row, made
    // as `kind` says. Each row ends within five seconds with the message
    // written out, prints no control character, and leaves every file as it was.
    void hostile_files_data() {
        QTest::addColumn<QString>("kind");  // text, fifo, folder, loop, sparse, absent, ->T (symbolic
                                            // link to T), =>T (hard link to T)
        QTest::addColumn<QString>("name");  // of {F} in {D}
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("error");  // all of standard error
        QTest::addColumn<QString>("said");   // in standard output; none at all when empty
        const QStringList replay = {"--replay", "{F}"}, script = {"--script", "{F}"};
        const QStringList log = {"--script", "{S}", "--log", "{F}"},
                          pathFile = {"--script", "{S}", "--path-file", "{F}"};
        const auto row = [](const char* name, const QString& kind, const QByteArray& text, const QStringList& arguments,
                            int exitCode, const QString& error, const QString& said = {},
                            const QString& file = "girdi.txt") {
            QTest::newRow(name) << kind << file << text << arguments << exitCode << error << said;
        };
        const QString unreadRecord = "Oturum kaydı okunamadı: {F} (", badRecord = "Oturum kaydı oynatılmıyor: {F}\n";
        row("replay FIFO", "fifo", {}, replay, 2, unreadRecord + "düz bir dosya değil)\n");
        row("replay /dev/zero", "absent", {}, {"--replay", "/dev/zero"}, 2,
            "Oturum kaydı okunamadı: /dev/zero (düz bir dosya değil)\n");
        row("replay folder", "folder", {}, replay, 2, unreadRecord + "bir klasör)\n");
        row("replay missing", "absent", {}, replay, 2, unreadRecord + "böyle bir dosya ya da klasör yok)\n");
        row("replay link loop", "loop", {}, replay, 2, unreadRecord + "bağlantılar döngü yapıyor)\n");
        // A file that shows no size is read as what it shows: nothing.
        row("replay /proc file", "absent", {}, {"--replay", "/proc/self/mem"}, 2,
            "Oturum kaydı oynatılmıyor: /proc/self/mem\nKayıt boş.\n");
        row("replay empty", "text", {}, replay, 2, badRecord + "Kayıt boş.\n");
        row("replay NUL bytes", "text", kRecord + QByteArray("\0\0\tGELEN\t1\t\t\n", 13), replay, 2,
            badRecord + "Kayıtta hatalı 1 satır var:\nsatır 3: zaman okunamadı: \\x00\\x00\n");
        row("replay invalid UTF-8", "text", kRecord + "\tGÖNDERİLEN\xff\t1\t\t\n", replay, 2,
            badRecord + "Kayıtta hatalı 1 satır var:\nsatır 3: bilinmeyen olay: GÖNDERİLEN\\xff\n");
        row("replay control characters", "text", kRecord + "\x1b]0;ad\x07\tGELEN\t1\t\t\n\t\x1b[2J\t1\t\t\n", replay, 2,
            badRecord +
                "Kayıtta hatalı 2 satır var:\nsatır 3: zaman okunamadı: \\x1b]0;ad\\x07\n"
                "satır 4: bilinmeyen olay: \\x1b[2J\n");
        row("replay sparse 64 GiB", "sparse", {}, replay, 2,
            unreadRecord + "çok büyük: 65536 MB; en çok 128 MB okunur)\n");
        row("replay gap of 2^32 ms + 1 s", "text", kRecord + "2026-04-26 07:02:48.296\tGELEN\t1\t\t\n",
            {"--no-time", "--replay", "{F}", "--max-gap", "0.2"}, 0, "",
            "satır 3: 4294968.296 s ara 0.2 s'ye kısaltıldı (--max-gap)\n");
        row("replay gap of millennia at speed 0.01", "text", kRecord + "9999-12-31 23:59:59.999\tGELEN\t1\t\t\n",
            {"--no-time", "--replay", "{F}", "--max-gap", "0.2", "--speed", "0.01"}, 0, "",
            "satır 3: 251629408799.999 s ara 0.2 s'ye kısaltıldı (--max-gap)\n");

        // The script is read by the record's reader: its prefix and its own limit.
        const QString unreadScript = "Betik okunamadı: {F} (";
        row("script FIFO", "fifo", {}, script, 2, unreadScript + "düz bir dosya değil)\n");
        row("script sparse 64 GiB", "sparse", {}, script, 2,
            unreadScript + "çok büyük: 65536 MB; en çok 1 MB okunur)\n");
        row("script empty", "text", {}, script, 0, "", "Hat hazır: ");
        row("script NUL bytes", "text", QByteArray("bekle 1\0\n", 9), script, 1, "",
            "Betik satır 1: '1\\x00' 0 ile 60000 arasında bir milisaniye değil.\n");
        row("script invalid UTF-8", "text", "zıpla\xff\n", script, 1, "",
            "Betik satır 1: Bilinmeyen komut 'zıpla\\xff'. Komutlar için: yardim\n");
        // C1's CSI alone and as UTF-8, an overlong "/", a surrogate.
        row("script control characters", "text", "\x1b]0;ad\x07\x1b[2J\x9b\xc2\x9b\xc0\xaf\xed\xa0\x80\n", script, 1,
            "",
            "Betik satır 1: Bilinmeyen komut '\\x1b]0;ad\\x07\\x1b[2J\\x9b\\xc2\\x9b\\xc0\\xaf\\xed\\xa0\\x80'. "
            "Komutlar için: yardim\n");

        const QString unopenedLog = "Kayıt dosyası açılamadı: {F} (";
        row("log FIFO nobody reads", "fifo", {}, log, 2, unopenedLog + "okuyanı olmayan bir FIFO)\n");
        row("log /dev/zero", "absent", {}, {"--script", "{S}", "--log", "/dev/zero"}, 0, "", "Hat hazır: ");
        row("log folder", "folder", {}, log, 2, unopenedLog + "bir klasör)\n");
        row("log link loop", "loop", {}, log, 2, unopenedLog + "bağlantılar döngü yapıyor)\n");
        row("log in a folder named with control characters", "absent", {},
            {"--script", "{S}", "--log", "{D}/\x1b[2J\x07/kayit.txt"}, 2,
            "Kayıt dosyası açılamadı: {D}/\\x1b[2J\\x07/kayit.txt (klasör bulunamadı)\n");
        row("log is the path file", "absent", {}, {"--script", "{S}", "--log", "{F}", "--path-file", "{D}/./girdi.txt"},
            2, "--log ile --path-file aynı dosya: {F}; biri ötekinin üzerine yazılır.\n");
        row("log a dangling link to the path file", "->{D}/hat", {},
            {"--script", "{S}", "--log", "{F}", "--path-file", "{D}/hat"}, 2,
            "--log ile --path-file aynı dosya: {F}; biri ötekinin üzerine yazılır.\n");
        row("log is the path file's temporary name", "absent", {},
            {"--script", "{S}", "--log", "{D}/hat.yaziliyor", "--path-file", "{D}/hat"}, 2,
            "--log ile --path-file'ın geçici dosyası aynı dosya: {D}/hat.yaziliyor; biri ötekinin üzerine yazılır.\n");

        const QString unwritten = "Yol dosyası yazılamadı: {F} (";
        row("path file FIFO", "fifo", {}, pathFile, 2, unwritten + "düz bir dosya değil)\n");
        row("path file a link to /dev/zero", "->/dev/zero", {}, pathFile, 2, unwritten + "düz bir dosya değil)\n");
        row("path file folder", "folder", {}, pathFile, 2, unwritten + "bir klasör)\n");
        row("path file link loop", "loop", {}, pathFile, 2, unwritten + "bağlantılar döngü yapıyor)\n");
        row("path file is the script by another spelling", "absent", {},
            {"--script", "{S}", "--path-file", "{D}/./betik.txt"}, 2,
            "--path-file ile --script aynı dosya: {D}/./betik.txt; okunan dosyanın üzerine yazılmaz.\n");
        row("path file is the record by a symbolic link", "->{R}", {}, {"--replay", "{F}", "--path-file", "{R}"}, 2,
            "--path-file ile --replay aynı dosya: {R}; okunan dosyanın üzerine yazılmaz.\n");
        row("path file's temporary name is the script", "text", "bekle 1\n",
            {"--script", "{F}", "--path-file", "{D}/s"}, 2,
            "--path-file'ın geçici dosyası ile --script aynı dosya: {F}; okunan dosyanın üzerine yazılmaz.\n", {},
            "s.yaziliyor");
        row("path file's temporary name is the record by a hard link", "=>{R}", {},
            {"--replay", "{R}", "--path-file", "{D}/hat"}, 2,
            "--path-file'ın geçici dosyası ile --replay aynı dosya: {D}/hat.yaziliyor; okunan dosyanın üzerine "
            "yazılmaz.\n",
            {}, "hat.yaziliyor");

        row("log is the record by a symbolic link", "->{R}", {}, {"--replay", "{R}", "--log", "{F}"}, 2,
            "--log ile --replay aynı dosya: {F}; okunan dosyanın üzerine yazılmaz.\n");
        row("log is the script by a hard link", "=>{S}", {}, {"--script", "{S}", "--log", "{F}"}, 2,
            "--log ile --script aynı dosya: {F}; okunan dosyanın üzerine yazılmaz.\n");
    }
    void hostile_files() {
        QFETCH(QString, kind);
        QFETCH(QString, name);
        QFETCH(QByteArray, text);
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, error);
        QFETCH(QString, said);
        QTemporaryDir dir;
        const QString record = dir.filePath("saha.txt"), script = dir.filePath("betik.txt"), file = dir.filePath(name);
        QVERIFY(writeFile(record, kRecord) && writeFile(script, "bekle 1\n"));
        const auto filled = [&](QString text) {
            return text.replace("{F}", file).replace("{R}", record).replace("{S}", script).replace("{D}", dir.path());
        };
        const QByteArray path = file.toUtf8();
        if (kind == "text") QVERIFY(writeFile(file, text));
        if (kind == "fifo") QVERIFY(::mkfifo(path, 0600) == 0);
        if (kind == "folder") QVERIFY(QDir().mkdir(file));
        if (kind == "loop") QVERIFY(::symlink(path, path) == 0);
        if (kind == "sparse") QVERIFY(writeFile(file, {}) && ::truncate(path, qint64(64) << 30) == 0);
        if (kind.startsWith("->")) QVERIFY(::symlink(filled(kind.mid(2)).toUtf8(), path) == 0);
        if (kind.startsWith("=>")) QVERIFY(::link(filled(kind.mid(2)).toUtf8(), path) == 0);
        for (QString& argument : arguments) argument = filled(argument);
        const QStringList watched = {record, script, file, dir.filePath("hat"), dir.filePath("hat.yaziliyor")};
        QByteArrayList before;
        for (const QString& path : watched) before << shape(path);

        const Run run = runSim(arguments, "\n");
        QVERIFY2(run.ms < 5000, qPrintable(QString::number(run.ms) + " ms"));
        QCOMPARE(QString::fromUtf8(run.err), filled(error));
        if (said.isEmpty()) {
            QCOMPARE(run.out, QByteArray());
        } else {
            QVERIFY2(run.out.contains(filled(said).toUtf8()), run.out.constData());
        }
        QCOMPARE(run.exitCode, exitCode);
        for (const char c : run.out + run.err) QVERIFY2(uchar(c) >= 0x20 || c == '\n', "a control character printed");
        for (qsizetype i = 0; i < watched.size(); ++i) QCOMPARE(shape(watched[i]), before[i]);
    }

    void unwritable_log_stops() {
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath("betik.txt"), "tus 5 ilerlet\n"));
        const Run run = runSim({"--no-time", "--script", dir.filePath("betik.txt"), "--log", "/dev/full"});
        QVERIFY2(run.out.contains("Kayıt dosyasına yazılamadı: /dev/full (diskte yer kalmadı)\n"), run.out.constData());
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
