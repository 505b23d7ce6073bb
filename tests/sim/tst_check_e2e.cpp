// "vela-test --check" as a test station runs it, with no display: a record
// the console made on vela-sim's acknowledging devices is checked against
// fresh simulators, one answering like the first, one with a silent number,
// one with a garbled number and one too slow. The TAP output is read back by
// a small TAP reader, the JUnit file by an XML reader.
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include "support/sim_console.h"

using namespace vela;

namespace {

struct Checked {
    int exit = -1;
    QString out, err;
};

// The console's executable with no display server and no platform chosen.
Checked check(const QStringList& arguments) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) environment.remove(name);
    process.setProcessEnvironment(environment);
    process.start(VELA_TEST_PATH, QStringList{"--check"} + arguments);
    if (!process.waitForFinished(60000)) process.kill();
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}

// What a TAP 14 consumer takes from the output; `problem` names the first
// line it could not take.
struct Tap {
    int planned = -1, passed = 0, failed = 0;
    QStringList messages;  // of the failed points' YAML blocks, each with got and expect
    QString problem;
};

Tap readTap(const QString& text) {
    Tap tap;
    QStringList lines = text.split(u'\n');
    if (lines.value(0) != "TAP version 14") return tap.problem = "no version line", tap;
    const QRegularExpression plan(R"(^1\.\.(\d+)( # .*)?$)"), point(R"(^(not )?ok (\d+) - \S)");
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QString& line = lines[i];
        if (line.isEmpty() || line.startsWith("# ")) continue;
        if (const auto m = plan.match(line); m.hasMatch() && tap.planned < 0) {
            tap.planned = m.captured(1).toInt();
        } else if (const auto p = point.match(line); p.hasMatch()) {
            if (p.captured(2).toInt() != tap.passed + tap.failed + 1) return tap.problem = line, tap;
            ++(p.captured(1).isEmpty() ? tap.passed : tap.failed);
        } else if (line == "  ---") {
            QStringList block;
            while (++i < lines.size() && lines[i] != "  ...") block << lines[i];
            if (i == lines.size() || !block.contains("  got:") || !block.contains("  expect:"))
                return tap.problem = "YAML block without got and expect", tap;
            tap.messages << block.filter("  message: ").value(0).section("'", 1, 1);
        } else {
            return tap.problem = line, tap;
        }
    }
    if (tap.planned != tap.passed + tap.failed) tap.problem = "plan and points differ";
    return tap;
}

// The XML's elements: "testsuite 3 1" with its counts, "property port",
// "testcase", "failure"; "invalid" after an error.
QStringList readJUnit(const QString& path) {
    QFile file(path);
    QStringList elements;
    if (!file.open(QIODevice::ReadOnly)) return {"invalid"};
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) continue;
        const auto attribute = [&](const char* name) { return xml.attributes().value(name).toString(); };
        if (xml.name() == u"testsuite")
            elements << "testsuite " + attribute("tests") + " " + attribute("failures");
        else if (xml.name() == u"property")
            elements << "property " + attribute("name");
        else
            elements << xml.name().toString();
    }
    return xml.hasError() ? QStringList{"invalid"} : elements;
}

}  // namespace

class CheckEndToEndTest : public QObject {
    Q_OBJECT
private slots:
    // Three hand terminals, 600 ms apart, sent by the console's own check onto
    // `--ack 30`: its session record holds each frame and its ALINDI.
    void initTestCase() {
        QVERIFY(dir_.isValid());
        const QString seed = test::written(
            dir_.filePath("tohum.txt"),
            "Zaman\tOlay\tBaytlar\tCihaz\tAnlam\n"
            "2026-12-07 10:00:00.000\tGÖNDERILEN\t170 2 0 0 0 5 177\tEl Terminali 5\tA\n"
            "2026-12-07 10:00:00.600\tGÖNDERILEN\t170 2 0 0 0 6 178\tEl Terminali 6\tB\n"
            "2026-12-07 10:00:01.200\tGÖNDERILEN\t170 2 0 0 0 7 179\tEl Terminali 7\tC\n");
        test::Simulator site({"--ack", "30"});
        QVERIFY(!seed.isEmpty() && !site.path.isEmpty());
        const Checked made = check({seed, "--port", site.path, "--record", made_});
        QCOMPARE(made.exit, 1);  // the answers are unexpected to a record that has none
        QVERIFY2(made.out.contains("# 3 fark: 3 beklenmeyen"), qPrintable(made.out));
        QFile record(made_);
        QVERIFY(record.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(record.readAll()).count("\tÇERÇEVE\t170 16 0 0 0 "), 3);
    }

    void against_the_simulator_data() {
        QTest::addColumn<QStringList>("simulator");
        QTest::addColumn<int>("exit");
        QTest::addColumn<int>("failed");  // test points, of 3
        QTest::addColumn<QString>("message");
        QTest::newRow("fresh") << QStringList{"--ack", "30"} << 0 << 0 << "";
        QTest::newRow("silent number") << QStringList{"--ack", "30", "--silent", "6"} << 1 << 1 << "eksik";
        QTest::newRow("garbled number") << QStringList{"--ack", "30", "--garble", "6"} << 1 << 1 << "eksik";
        QTest::newRow("too slow") << QStringList{"--ack", "400"} << 1 << 3 << "geç";
    }
    void against_the_simulator() {
        QFETCH(QStringList, simulator);
        QFETCH(int, exit);
        QFETCH(int, failed);
        QFETCH(QString, message);
        test::Simulator bench(simulator);
        QVERIFY(!bench.path.isEmpty());
        const QString junitPath = dir_.filePath("junit.xml");
        const Checked run = check({made_, "--port", bench.path, "--junit", junitPath});
        QVERIFY2(run.exit == exit, qPrintable(run.out + run.err));
        const Tap tap = readTap(run.out);
        QVERIFY2(tap.problem.isEmpty(), qPrintable(tap.problem + "\n" + run.out));
        QCOMPARE(tap.planned, 3);
        QCOMPARE(tap.failed, failed);
        QCOMPARE(tap.messages, failed ? QStringList(failed, message) : QStringList{});
        const QStringList junit = readJUnit(junitPath);
        QCOMPARE(
            junit.filter(QRegularExpression("^(testsuite|property)")),
            QStringList({QString("testsuite 3 %1").arg(failed), "property port", "property baud", "property record"}));
        QCOMPARE(QList<qsizetype>({junit.count("testcase"), junit.count("failure")}), QList<qsizetype>({3, failed}));
    }

    void refused_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exit");
        QTest::addColumn<QString>("told");
        QTest::newRow("no such port") << QStringList{"--port", "/dev/yok-boyle-port"} << 2 << "açılamadı";
        QTest::newRow("record refused") << QStringList{"--com", "1"} << 3 << "satır 2: ";
        QTest::newRow("no port given") << QStringList{} << 4 << "--port ya da --com verilmeli (yalnız biri)";
        QTest::newRow("baud") << QStringList{"--com", "1", "--baud", "4800"} << 4 << "--baud";
        QTest::newRow("tolerance") << QStringList{"--com", "1", "--tolerance", "-5"} << 4 << "--tolerance";
    }
    void refused() {
        QFETCH(QStringList, arguments);
        QFETCH(int, exit);
        QFETCH(QString, told);
        // Only the refused record's row reads a bad one; the others would send this one.
        const QString record = QTest::currentDataTag() == QByteArray("record refused")
                                   ? test::written(dir_.filePath("bozuk.txt"),
                                                   "Zaman\tOlay\tBaytlar\tCihaz\tAnlam\nbozuk\n")
                                   : made_;
        const Checked run = check(QStringList{record} + arguments);
        QCOMPARE(run.exit, exit);
        QVERIFY2(run.err.contains(told), qPrintable(run.err));
    }

private:
    QTemporaryDir dir_;
    const QString made_ = dir_.filePath("kurulum.txt");
};

QTEST_MAIN(CheckEndToEndTest)
#include "tst_check_e2e.moc"
