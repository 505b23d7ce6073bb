// The real vela-sim executable replaying a script on a line, as a separate
// process: what it sends, what it decodes, and a log that diffs cleanly. Its
// own pseudo-terminal and --path-file are used by tst_end_to_end.
#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "protocol/commands.h"
#include "support/pty.h"

using namespace vela;
using std::chrono::milliseconds;

namespace {

using Bytes = std::vector<Byte>;

Bytes bytes_of(const Frame& f) { return Bytes(f.begin(), f.end()); }

QString simulator_path() { return QCoreApplication::applicationDirPath() + "/../vela-sim"; }

// The devices' side of the session; the first wait leaves room for the
// console's frames, which the test writes as soon as the line is open.
const QByteArray kScript =
    "# a hand terminal and a ticket machine answer\n"
    "bekle 800\n"
    "tus 5 ilerlet\n"
    "bilet 130\n"
    "tus 5 zipla\n"
    "bayt 170 1\n"
    "bekle 300\n"
    "cerceve 3 9 9 9 5\n";

const QByteArray kExpectedLog =
    "Zaman\tOlay\tBaytlar\tCihaz\tAnlam\n"
    "\tGÖNDERILEN\t170 2 44 1 0 5 222\tEl Terminali 5\tSAYI GÖNDER 300\n"
    "\tGÖNDERILEN\t1 2 3\t\tçerçeve oluşturmayan 3 bayt\n"
    "\tGÖNDERILEN\t170 21 5 0 0 5 201\tDot Matrix Display 5\tDisplay Kapatma Komutu\n"
    "\tGÖNDERILEN\t170 20 0 0 65 5 4\tDot Matrix Display 5\tKARAKTER, pozisyon 0: 'A' (65)\n"
    "\tGÖNDERILEN\t170 20 0 1 66 5 6\tDot Matrix Display 5\tKARAKTER, pozisyon 1: 'B' (66)\n"
    "\tGÖNDERILEN\t170 21 4 0 0 5 200\tDot Matrix Display 5\tDisplay Açma Komutu\n"
    "\tGÖNDERILEN\t170 41 0 2 0 5 218\tDot Matrix Display 5\tMETİN UZUNLUĞU 2\n"
    "\tGÖNDERILEN\t170 29 1\t\tçerçeve oluşturmayan 3 bayt\n"
    "\tGELEN\t170 1 0 0 0 5 176\t\t\n"
    "\tÇERÇEVE\t170 1 0 0 0 5 176\t\tEl Terminalinden gelen İLERTLETME KOMUTU\n"
    "\tGELEN\t170 14 0 0 0 130 58\t\t\n"
    "\tÇERÇEVE\t170 14 0 0 0 130 58\t\tBilet Makinesinden gelen BİLET TALEP KOMUTU\n"
    "\tGELEN\t170 1\t\t\n"
    "\tGELEN\t170 3 9 9 9 5 205\t\t\n"
    "\tÇERÇEVE\t170 3 9 9 9 5 205\t\tEl Terminalinden gelen SAYI TEKRARLATMA KOMUTU\n";

const Bytes kSentByDevices = {170, 1, 0, 0, 0, 5, 176, 170, 14, 0, 0, 0, 130, 58,
                              170, 1, 170, 3, 9, 9, 9, 5, 205};

}  // namespace

class SimScriptTest : public QObject {
    Q_OBJECT
private slots:
    void replays_a_session_data();
    void replays_a_session();
};

void SimScriptTest::replays_a_session_data() {
    QTest::addColumn<int>("byte_gap");
    QTest::newRow("frames in one write") << 0;
    QTest::newRow("frames byte by byte") << 15;
}

void SimScriptTest::replays_a_session() {
    QFETCH(int, byte_gap);
    test::Pty pty;
    QVERIFY(pty.valid());
    QTemporaryDir dir;
    QFile script(dir.filePath("session.txt"));
    QVERIFY(script.open(QIODevice::WriteOnly) && script.write(kScript) == kScript.size());
    script.close();
    QFile log(dir.filePath("session.log"));

    QProcess sim;
    sim.start(simulator_path(), {"--device", QString::fromStdString(pty.slavePath()), "--script", script.fileName(),
                                 "--log", log.fileName(), "--no-time", "--byte-gap", QString::number(byte_gap)});
    QVERIFY2(sim.waitForStarted(), qPrintable(sim.errorString()));
    QTRY_VERIFY_WITH_TIMEOUT(sim.canReadLine(), 5000);
    QCOMPARE(sim.readLine().trimmed(),
             QString("Hat açık: %1, 9600 baud").arg(QString::fromStdString(pty.slavePath())).toUtf8());

    // The console's side: a whole frame, garbage, the text "AB" cut at odd
    // places, and the start of a frame that never ends.
    QVERIFY(pty.write(bytes_of(hand_terminal::show_number(5, 300))));
    QVERIFY(pty.write({1, 2, 3}));
    const Result<Sequence> transfer = dot_matrix::text_transfer(5, "AB");
    Bytes text;
    for (const Step& step : *transfer) text.insert(text.end(), step.frame.begin(), step.frame.end());
    for (std::size_t i = 0; i < text.size(); i += 5) {
        QVERIFY(pty.write(Bytes(text.begin() + long(i), text.begin() + long(std::min(i + 5, text.size())))));
        QTest::qWait(10);
    }
    QVERIFY(pty.write({170, 29, 1}));

    const auto sent = pty.readTimed(kSentByDevices.size(), milliseconds(5000));
    Bytes values;
    for (const auto& b : sent) values.push_back(b.value);
    QCOMPARE(values, kSentByDevices);
    if (byte_gap > 0) {
        // The seven bytes of the first frame come one at a time with the gap.
        QVERIFY(sent[6].at - sent[0].at >= milliseconds(6 * byte_gap));
    }

    QVERIFY(sim.waitForFinished(10000));
    QCOMPARE(sim.exitCode(), 1);  // one line of the script was refused
    const QByteArray out = sim.readAllStandardOutput();
    QVERIFY(out.contains("Betik satır 5: Bilinmeyen tuş 'zipla'."));
    QVERIFY(log.open(QIODevice::ReadOnly));
    QCOMPARE(log.readAll(), kExpectedLog);
}

QTEST_GUILESS_MAIN(SimScriptTest)
#include "tst_sim_script.moc"
