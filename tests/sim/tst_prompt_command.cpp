// The frames the prompt's commands send, and two refused numbers.
#include <QTest>

#include "sim/prompt_command.h"

class PromptCommandTest : public QObject {
    Q_OBJECT
private slots:
    void sends_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QList<int>>("bytes");
        const QList<std::pair<const char*, QList<int>>> rows = {
            {"tus 5 ilerlet", {170, 1, 0, 0, 0, 5, 176}},     {"tus 5 tekrar", {170, 3, 0, 0, 0, 5, 178}},
            {"tus 0 kapat", {170, 4, 0, 0, 0, 0, 174}},       {"tus 1 cizgi", {170, 5, 0, 0, 0, 1, 176}},
            {"tus 1 ac", {170, 6, 0, 0, 0, 1, 177}},          {"tus 32 bekleyen", {170, 7, 0, 0, 0, 32, 209}},
            {"tus 3 grup-ogren", {170, 10, 0, 0, 0, 3, 183}}, {"tus 3 grup-degistir", {170, 12, 0, 0, 0, 3, 185}},
            {"bilet 007", {170, 14, 0, 0, 0, 7, 191}},        {"  alindi\t255 ", {170, 16, 0, 0, 0, 255, 185}}};
        for (const auto& [line, bytes] : rows) QTest::addRow("%s", line) << QString(line) << bytes;
    }
    void sends() {
        QFETCH(QString, line);
        const vela::Result<vela::sim::PromptCommand> command = vela::sim::parse_prompt_line(line.toStdString());
        const auto& sent = std::get<vela::sim::SendBytes>(*command).bytes;
        QTEST(QList<int>(sent.begin(), sent.end()), "bytes");
    }

    void refuses() {
        QCOMPARE(vela::sim::parse_prompt_line("bilet 256").message(), "'256' 0 ile 255 arasında bir sayı değil.");
        QCOMPARE(vela::sim::parse_prompt_line("bekle 60001").message(),
                 "'60001' 0 ile 60000 arasında bir milisaniye değil.");
    }
};

QTEST_APPLESS_MAIN(PromptCommandTest)
#include "tst_prompt_command.moc"
