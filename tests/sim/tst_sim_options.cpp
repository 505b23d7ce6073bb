// vela-sim's command line: the test bench's answer options, read and refused.
#include <QTest>

#include "sim/sim_options.h"

using vela::sim::parse_sim_options;

class SimOptionsTest : public QObject {
    Q_OBJECT
private slots:
    void answers_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("expected");  // "ack MS silent N.. garbled N.." or the refusal
        const auto row = [](const char* name, const QStringList& arguments, const QString& expected) {
            QTest::newRow(name) << arguments << expected;
        };
        row("none", {}, "ack - silent  garbled ");
        row("ack alone", {"--ack", "30"}, "ack 30 silent  garbled ");
        row("lists, repeated and merged", {"--ack", "0", "--silent", "5,130", "--garble", "255", "--silent", "5,0"},
            "ack 0 silent 0 5 130 garbled 255");
        row("longest ack", {"--ack", "10000"}, "ack 10000 silent  garbled ");
        row("ack too long", {"--ack", "10001"}, "--ack 0 ile 10000 arasında milisaniye olmalı.");
        row("ack negative", {"--ack", "-1"}, "--ack 0 ile 10000 arasında milisaniye olmalı.");
        const QString badList = " virgülle ayrılmış 0-255 cihaz numaraları olmalı.";
        row("number 256", {"--ack", "5", "--silent", "256"}, "--silent" + badList);
        row("empty item", {"--ack", "5", "--garble", "5,,6"}, "--garble" + badList);
        row("trailing comma", {"--ack", "5", "--garble", "5,"}, "--garble" + badList);
        row("silent without ack", {"--silent", "5"}, "--silent ve --garble yalnız --ack ile kullanılır.");
    }
    void answers() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, expected);
        std::vector<std::string> words;
        for (const QString& argument : arguments) words.push_back(argument.toStdString());
        const auto parsed = parse_sim_options(words);
        if (!parsed) {
            QCOMPARE(QString::fromStdString(parsed.message()), expected);
            return;
        }
        const auto& model = parsed->answers;
        QString got = "ack " + (model.ack ? QString::number(model.ack->count()) : "-") + " silent";
        for (auto n : model.silent) got += " " + QString::number(n);
        got += " garbled";
        for (auto n : model.garbled) got += " " + QString::number(n);
        QCOMPARE(got.simplified(), expected.simplified());
    }
};

QTEST_GUILESS_MAIN(SimOptionsTest)
#include "tst_sim_options.moc"
