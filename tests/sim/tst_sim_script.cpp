// The real vela-sim executable replaying a script on a line, as a separate
// process: what it sends, what it decodes, and a log that diffs cleanly.
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "support/pty.h"

using Bytes = std::vector<std::uint8_t>;

const QByteArray kExpectedLog =
    "Zaman\tOlay\tBaytlar\tCihaz\tAnlam\n"
    "\tGÖNDERILEN\t170 2 44 1 0 5 222\tEl Terminali 5\tSAYI GÖNDER 300\n"
    "\tGÖNDERILEN\t170 0 170\t\tçerçeve oluşturmayan 3 bayt\n"
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

class SimScriptTest : public QObject {
    Q_OBJECT
private slots:
    // The devices answer the console; their frames go out byte by byte, 15 ms apart.
    void replays_a_session() {
        vela::test::Pty pty;
        QTemporaryDir dir;
        QFile script(dir.filePath("session.txt"));
        QVERIFY(pty.valid() && script.open(QIODevice::WriteOnly));
        // The first wait leaves room for the console's frames.
        script.write(
            "# a hand terminal and a ticket machine answer\nbekle 800\ntus 5 ilerlet\nbilet 130\n"
            "tus 5 zipla\nbayt 170 1\nbekle 300\ncerceve 3 9 9 9 5\n");
        script.close();
        const QString device = QString::fromStdString(pty.slavePath()), log = dir.filePath("session.log");
        QProcess sim;
        sim.start(VELA_SIM_PATH, {"--device", device, "--script", script.fileName(), "--log", log, "--no-time",
                                  "--byte-gap", "15", "--path-file", dir.filePath("hat")});
        QTRY_VERIFY_WITH_TIMEOUT(sim.canReadLine(), 5000);
        QCOMPARE(sim.readLine(), "Hat açık: " + device.toUtf8() + ", 9600 baud\n");

        // The console's side: a whole frame, garbage with start bytes, the
        // dot-matrix text "AB" cut at odd places, and a frame that never ends.
        QVERIFY(pty.write({170, 2, 44, 1, 0, 5, 222, 170, 0, 170}));
        const Bytes text = {170, 21, 5, 0,   0,  5, 201, 170, 20, 0,   0,   65, 5, 4, 170, 20, 0,  1,
                            66,  5,  6, 170, 21, 4, 0,   0,   5,  200, 170, 41, 0, 2, 0,   5,  218};
        for (std::size_t i = 0; i < text.size(); i += 5, QTest::qWait(10)) {
            QVERIFY(pty.write(Bytes(text.begin() + long(i), text.begin() + long(std::min(i + 5, text.size())))));
        }
        QVERIFY(pty.write({170, 29, 1}));

        const Bytes devices = {170, 1, 0, 0, 0, 5, 176, 170, 14, 0, 0, 0, 130, 58, 170, 1, 170, 3, 9, 9, 9, 5, 205};
        const auto sent = pty.readTimed(devices.size(), std::chrono::milliseconds(5000));
        Bytes values;
        for (const auto& b : sent) values.push_back(b.value);
        QCOMPARE(values, devices);
        QVERIFY(sent[6].at - sent[0].at >= std::chrono::milliseconds(6 * 15));

        QVERIFY(sim.waitForFinished(10000));
        QCOMPARE(sim.exitCode(), 1);  // one line of the script was refused
        QVERIFY(sim.readAllStandardOutput().contains("Betik satır 5: Bilinmeyen tuş 'zipla'."));
        QFile logged(log), path(dir.filePath("hat"));
        QVERIFY(logged.open(QIODevice::ReadOnly) && path.open(QIODevice::ReadOnly));
        QCOMPARE(logged.readAll(), kExpectedLog);
        QCOMPARE(path.readAll(), device.toUtf8() + "\n");
    }
};

QTEST_GUILESS_MAIN(SimScriptTest)
#include "tst_sim_script.moc"
