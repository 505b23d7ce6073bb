// "vela-test --check" as a test station runs it, with no display: a record the
// console made on vela-sim's acknowledging devices, checked against fresh,
// silent, garbling and slow ones; TAP and JUnit read back by small readers.
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

// What a TAP 14 consumer takes from the output: the plan, "ok" or "not ok"
// for each point in order, and each YAML block's message (the block must hold
// got and expect); "invalid: " and the first line it cannot take.
QStringList readTap(const QString& text) {
    const QStringList lines = text.split(u'\n');
    if (lines.value(0) != "TAP version 14") return {"invalid: no version"};
    const QRegularExpression plan(R"(^1\.\.(\d+)( # .*)?$)"), point(R"(^(not )?ok (\d+) - \S)");
    QStringList read;
    for (qsizetype i = 1, points = 0; i < lines.size(); ++i) {
        const auto p = point.match(lines[i]);
        if (p.hasMatch() && p.captured(2).toInt() == ++points) {
            read << p.captured(1) + "ok";
        } else if (const auto m = plan.match(lines[i]); m.hasMatch() && read.isEmpty()) {
            read << "plan " + m.captured(1);
        } else if (lines[i] == "  ---") {
            const qsizetype end = lines.indexOf("  ...", i);
            const QStringList block = lines.mid(i + 1, end - i - 1);
            if (end < 0 || !block.contains("  got:") || !block.contains("  expect:")) return {"invalid: " + lines[i]};
            read << block.filter("  message: ").value(0).section(u'\'', 1, 1);
            i = end;
        } else if (!lines[i].isEmpty() && !lines[i].startsWith("# ")) {
            return {"invalid: " + lines[i]};
        }
    }
    return read;
}

// The XML's elements ("testsuite 3 1" with its counts, "property port"), or "invalid".
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
    // `--ack 30`: its session record holds each frame and its ALINDI, as the
    // fresh simulator's three passed points show.
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
    }

    void against_the_simulator_data() {
        QTest::addColumn<QStringList>("simulator");
        QTest::addColumn<int>("exit");
        QTest::addColumn<QStringList>("tap");
        const QStringList sixMissing{"plan 3", "ok", "not ok", "eksik", "ok"};
        QTest::newRow("fresh") << QStringList{"--ack", "30"} << 0 << QStringList{"plan 3", "ok", "ok", "ok"};
        QTest::newRow("silent number") << QStringList{"--ack", "30", "--silent", "6"} << 1 << sixMissing;
        QTest::newRow("garbled number") << QStringList{"--ack", "30", "--garble", "6"} << 1 << sixMissing;
        QTest::newRow("too slow") << QStringList{"--ack", "400"} << 1
                                  << QStringList{"plan 3", "not ok", "geç", "not ok", "geç", "not ok", "geç"};
    }
    void against_the_simulator() {
        QFETCH(QStringList, simulator);
        QFETCH(int, exit);
        QFETCH(QStringList, tap);
        test::Simulator bench(simulator);
        QVERIFY(!bench.path.isEmpty());
        const QString junitPath = dir_.filePath("junit.xml");
        const Checked run = check({made_, "--port", bench.path, "--junit", junitPath});
        QVERIFY2(run.exit == exit, qPrintable(run.out + run.err));
        QCOMPARE(readTap(run.out), tap);
        const qsizetype failed = tap.count("not ok");
        const QStringList junit = readJUnit(junitPath);
        QCOMPARE(
            junit.filter(QRegularExpression("^(testsuite|property) ")),
            QStringList({QString("testsuite 3 %1").arg(failed), "property port", "property baud", "property record"}));
        QCOMPARE(QList<qsizetype>({junit.count("testcase"), junit.count("failure")}), QList<qsizetype>({3, failed}));
    }

    void refused_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exit");
        QTest::addColumn<QString>("told");
        const QString bad = test::written(dir_.filePath("bozuk.txt"), "Zaman\tOlay\tBaytlar\tCihaz\tAnlam\nbozuk\n");
        QTest::newRow("no such port") << QStringList{made_, "--port", "/dev/yok-boyle-port"} << 2 << "açılamadı";
        QTest::newRow("record refused") << QStringList{bad, "--com", "1"} << 3 << "satır 2: ";
        QTest::newRow("no port given") << QStringList{made_} << 4 << "--port ya da --com verilmeli (yalnız biri)";
        QTest::newRow("baud") << QStringList{made_, "--com", "1", "--baud", "4800"} << 4 << "--baud";
        QTest::newRow("tolerance") << QStringList{made_, "--com", "1", "--tolerance", "-5"} << 4 << "--tolerance";
    }
    void refused() {
        QFETCH(QStringList, arguments);
        QFETCH(int, exit);
        QFETCH(QString, told);
        const Checked run = check(arguments);
        QCOMPARE(run.exit, exit);
        QVERIFY2(run.err.contains(told), qPrintable(run.err));
    }

private:
    QTemporaryDir dir_;
    const QString made_ = dir_.filePath("kurulum.txt");
};

QTEST_MAIN(CheckEndToEndTest)
#include "tst_check_e2e.moc"
