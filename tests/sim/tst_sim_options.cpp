// vela-sim's command line: the test bench's answer options, read and refused.
#include <QTest>

#include "sim/sim_options.h"

class SimOptionsTest : public QObject {
    Q_OBJECT
private slots:
    void answers_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("expected");  // "ack MS silent N.. garbled N.." or the refusal
        const QString badList = " virgülle ayrılmış 0-255 cihaz numaraları olmalı.";
        QTest::newRow("lists, repeated and merged")
            << QStringList{"--ack", "0", "--silent", "5,130", "--garble", "255", "--silent", "5,0"}
            << "ack 0 silent 0 5 130 garbled 255";
        QTest::newRow("longest ack") << QStringList{"--ack", "10000"} << "ack 10000 silent garbled";
        QTest::newRow("ack too long") << QStringList{"--ack", "10001"}
                                      << "--ack 0 ile 10000 arasında milisaniye olmalı.";
        QTest::newRow("number 256") << QStringList{"--ack", "5", "--silent", "256"} << "--silent" + badList;
        QTest::newRow("empty item") << QStringList{"--ack", "5", "--garble", "5,,6"} << "--garble" + badList;
        QTest::newRow("silent without ack")
            << QStringList{"--silent", "5"} << "--silent ve --garble yalnız --ack ile kullanılır.";
    }
    void answers() {
        QFETCH(QStringList, arguments);
        std::vector<std::string> words;
        for (const QString& argument : arguments) words.push_back(argument.toStdString());
        const auto parsed = vela::sim::parse_sim_options(words);
        QString got = parsed ? "" : QString::fromStdString(parsed.message());
        if (parsed) {
            const auto& model = parsed->answers;
            got = "ack " + (model.ack ? QString::number(model.ack->count()) : "-") + " silent";
            for (auto n : model.silent) got += " " + QString::number(n);
            got += " garbled";
            for (auto n : model.garbled) got += " " + QString::number(n);
        }
        QTEST(got, "expected");
    }
};

QTEST_GUILESS_MAIN(SimOptionsTest)
#include "tst_sim_options.moc"
