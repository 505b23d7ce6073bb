// A record exported for Wireshark and for a spreadsheet, read back by their
// own readers: tshark with the dissector built beside the console, and
// Python's csv module. What they read is compared with the record and with
// the console's own decoding, written out by hand.
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "record/record_export.h"

using namespace vela;

namespace {

// Opened at 14:00 in Istanbul (11:00 UTC); a key, a number sent to the
// terminal and its acknowledgement after a stray byte, a frame that comes in
// two deliveries, a frame with a wrong check byte, a refusal, a lost port.
const char kRecord[] =
    "Zaman\tOlay\tBaytlar\tCihaz\tAnlam\n"
    "2026-12-07 14:00:00.000\tPORT\t\t/dev/pts/3\taçıldı: /dev/pts/3, 9600 baud, UTC+03:00\n"
    "2026-12-07 14:00:01.250\tGÖNDERILEN\t170 2 44 1 0 5 222\tEl Terminali 5\tSayı Gönder\n"
    "2026-12-07 14:00:01.300\tGELEN\t9 170 16 0 0 0 5 191\t\t\n"
    "2026-12-07 14:00:01.300\tÇERÇEVE\t170 16 0 0 0 5 191\t\tALINDI (ACK) BİLGİSİ geldi\n"
    "2026-12-07 14:00:02.000\tGELEN\t170 1 0\t\t\n"
    "2026-12-07 14:00:02.030\tGELEN\t0 0 7 178\t\t\n"
    "2026-12-07 14:00:02.030\tÇERÇEVE\t170 1 0 0 0 7 178\t\tEl Terminalinden gelen İLERTLETME KOMUTU\n"
    "2026-12-07 14:00:03.000\tGELEN\t170 14 0 0 0 130 99\t\t\n"
    "2026-12-07 14:00:04.000\tRED\t170 29 1 0 0 0 200\tDing-Dong Zil\tZil Aç: \"Com 1\" veri almıyor, gönderilemedi\n"
    "2026-12-07 14:00:05.500\tPORT\t\t/dev/pts/3\tbağlantı koptu\n";

QString tshark() { return QStandardPaths::findExecutable(QStringLiteral("tshark")); }

QByteArray run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0) {
        qWarning() << program << arguments << process.readAllStandardError();
        return {};
    }
    return process.readAllStandardOutput();
}

}  // namespace

class RecordExportTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString record_;

    QString exported(const char* name) {
        const QString out = dir_.filePath(QString::fromLatin1(name));
        const auto result = export_record(record_.toStdString(), out.toStdString());
        if (!result) qWarning() << QString::fromStdString(result.message());
        return result ? out : QString();
    }

private slots:
    void initTestCase() {
        record_ = dir_.filePath(QStringLiteral("kayit.txt"));
        QFile file(record_);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(kRecord);
    }

    // Every frame as the dissector shows it: the direction, the device, the
    // command, the meaning and the check byte's status, one line a frame.
    void dissector() {
        if (tshark().isEmpty()) QSKIP("tshark is not installed (make test installs it)");
        const QString capture = exported("kayit.pcapng");
        QVERIFY(!capture.isEmpty());
        const QByteArray fields = run(tshark(), {"-2",
                                                 "-X",
                                                 "lua_script:" VELA_DISSECTOR_PATH,
                                                 "-r",
                                                 capture,
                                                 "-T",
                                                 "fields",
                                                 "-E",
                                                 "occurrence=a",
                                                 "-E",
                                                 "aggregator=|",
                                                 "-e",
                                                 "frame.number",
                                                 "-e",
                                                 "vela.direction",
                                                 "-e",
                                                 "vela.device",
                                                 "-e",
                                                 "vela.command",
                                                 "-e",
                                                 "vela.meaning",
                                                 "-e",
                                                 "vela.checksum.status",
                                                 "-e",
                                                 "vela.outside",
                                                 "-e",
                                                 "vela.event"});
        const QList<QByteArray> expected = {
            // tshark shows a tab inside a field as \t.
            "1\t\t\t\t\t\t\tPORT\\t\\t/dev/pts/3\\taçıldı: /dev/pts/3, 9600 baud, UTC+03:00",
            "2\tgiden\tEl Terminali 5\t2\tSayı Gönder\t1\t\t",
            "3\tgelen\tNumara 5 (türü bilinmiyor)\t16\tALINDI (ACK) BİLGİSİ geldi\t1\t09\t",
            "4\tgelen\t\t\t\t\t\t",
            "5\tgelen\tEl Terminali 7\t1\tEl Terminalinden gelen İLERTLETME KOMUTU\t1\t\t",
            "6\tgelen\tBilet Makinesi 130\t14\tBilet Makinesinden gelen BİLET TALEP KOMUTU\t0\taa 0e 00 00 00 82 63\t",
            "7\t\t\t\t\t\t\tRED\\t170 29 1 0 0 0 200\\tDing-Dong Zil\\tZil Aç: \"Com 1\" veri almıyor, gönderilemedi",
            "8\t\t\t\t\t\t\tPORT\\t\\t/dev/pts/3\\tbağlantı koptu",
        };
        QCOMPARE(fields.trimmed().split('\n'), expected);
        // The frame with the wrong check byte is the one flagged.
        QCOMPARE(run(tshark(), {"-2", "-X", "lua_script:" VELA_DISSECTOR_PATH, "-r", capture, "-Y", "vela.checksum.bad",
                                "-T", "fields", "-e", "frame.number"}),
                 QByteArray("6\n"));
    }

    // The capture reads without a warning, with one packet per record line
    // but the recognised frames, from the record's first time to its last on
    // UTC (1796641200 is 2026-12-07 11:00:00 UTC: date -u -d ... +%s).
    void capture_structure() {
        if (tshark().isEmpty()) QSKIP("tshark is not installed (make test installs it)");
        const QString capture = exported("yapi.pcapng");
        QVERIFY(!capture.isEmpty());
        QProcess process;
        process.start(tshark(), {"-r", capture, "-T", "fields", "-e", "frame.time_epoch"});
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitCode(), 0);
        const QList<QByteArray> warnings = process.readAllStandardError().trimmed().split('\n');
        for (const QByteArray& line : warnings) QVERIFY2(line.isEmpty() || line.startsWith("Running as user"), line);
        const QList<QByteArray> times = process.readAllStandardOutput().trimmed().split('\n');
        QCOMPARE(times.size(), 8);
        QCOMPARE(times.first(), QByteArray("1796641200.000000000"));
        QCOMPARE(times.last(), QByteArray("1796641205.500000000"));
    }

    // Python's csv module reads back the record's own fields in every row.
    void csv_round_trip() {
        const QString table = exported("kayit.csv");
        QVERIFY(!table.isEmpty());
        const QByteArray rows = run(QStringLiteral("python3"),
                                    {"-c",
                                     "import csv, sys\n"
                                     "with open(sys.argv[1], encoding='utf-8-sig', newline='') as f:\n"
                                     "    for r in csv.reader(f): print('\\t'.join([r[0], r[2], r[3], r[5], r[6]]))\n",
                                     table});
        QList<QByteArray> expected = QByteArray(kRecord).trimmed().split('\n');
        expected[0] = "Zaman\tOlay\tBaytlar\tCihaz\tAnlam";
        QCOMPARE(rows.trimmed().split('\n'), expected);
        QFile file(table);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readLine().startsWith("\xEF\xBB\xBFZaman,Yön,Olay,Baytlar,Baytlar (onaltılı),Cihaz,Anlam\r\n"));
        QCOMPARE(file.readLine(),
                 QByteArray("2026-12-07 14:00:00.000,,PORT,,,/dev/pts/3,\"açıldı: /dev/pts/3, 9600 baud, "
                            "UTC+03:00\"\r\n"));
        QCOMPARE(file.readLine(),
                 QByteArray("2026-12-07 14:00:01.250,giden,GÖNDERILEN,170 2 44 1 0 5 222,AA 02 2C 01 00 05 DE,"
                            "El Terminali 5,Sayı Gönder\r\n"));
    }

    // A record the reader refuses, a name without a known ending and a place
    // that is no file: nothing is written, and the reason is the reader's.
    void refused_data() {
        QTest::addColumn<QByteArray>("record");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("message");
        const QByteArray header = "Zaman\tOlay\tBaytlar\tCihaz\tAnlam\n";
        QTest::newRow("a bad line") << header + "2026-12-07 14:00:00.000\tGELEN\t256\t\t\n"
                                    << "a.pcapng"
                                    << "Kayıtta hatalı 1 satır var:\nsatır 2: 256 bir bayt değil";
        QTest::newRow("no header") << QByteArray("2026-12-07 14:00:00.000\tPORT\t\t\tkapandı\n") << "a.csv"
                                   << "Kayıt başlık satırıyla (Zaman, Olay, Baytlar, Cihaz, Anlam) başlamıyor; "
                                      "oturum kaydı değil.";
        QTest::newRow("unknown ending") << header << "a.txt"
                                        << "Dışa aktarılacak dosyanın adı .pcapng ya da .csv ile bitmeli.";
    }
    void refused() {
        QFETCH(QByteArray, record);
        QFETCH(QString, out);
        QFETCH(QString, message);
        const QString path = dir_.filePath(QStringLiteral("red.txt"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(record);
        file.close();
        const QString target = dir_.filePath(out);
        const auto result = export_record(path.toStdString(), target.toStdString());
        QVERIFY(!result);
        QCOMPARE(QString::fromStdString(result.message()), message);
        QVERIFY(!QFile::exists(target));
        QCOMPARE(QDir(dir_.path()).entryList(QDir::Files).filter(QStringLiteral("yaziliyor")), QStringList());
    }
};

QTEST_GUILESS_MAIN(RecordExportTest)
#include "tst_record_export.moc"
