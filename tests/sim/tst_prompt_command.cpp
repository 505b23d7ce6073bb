// The prompt's commands: the bytes they send and the lines they refuse.
#include <QTest>

#include "sim/prompt_command.h"

using namespace vela;
using namespace vela::sim;

namespace {

QList<int> sent_bytes(const PromptCommand& command) {
    const auto& send = std::get<SendBytes>(command);
    return QList<int>(send.bytes.begin(), send.bytes.end());
}

}  // namespace

class PromptCommandTest : public QObject {
    Q_OBJECT
private slots:
    void frames_data();
    void frames();
    void raw_bytes_are_not_a_frame();
    void other_commands();
    void refusals_data();
    void refusals();
};

void PromptCommandTest::frames_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QList<int>>("bytes");
    QTest::newRow("ilerlet") << "tus 5 ilerlet" << QList<int>{170, 1, 0, 0, 0, 5, 176};
    QTest::newRow("tekrar") << "tus 5 tekrar" << QList<int>{170, 3, 0, 0, 0, 5, 178};
    QTest::newRow("kapat") << "tus 0 kapat" << QList<int>{170, 4, 0, 0, 0, 0, 174};
    QTest::newRow("cizgi") << "tus 1 cizgi" << QList<int>{170, 5, 0, 0, 0, 1, 176};
    QTest::newRow("ac") << "tus 1 ac" << QList<int>{170, 6, 0, 0, 0, 1, 177};
    QTest::newRow("bekleyen") << "tus 32 bekleyen" << QList<int>{170, 7, 0, 0, 0, 32, 209};
    QTest::newRow("grup-ogren") << "tus 3 grup-ogren" << QList<int>{170, 10, 0, 0, 0, 3, 183};
    QTest::newRow("grup-degistir") << "tus 3 grup-degistir" << QList<int>{170, 12, 0, 0, 0, 3, 185};
    QTest::newRow("bilet") << "bilet 130" << QList<int>{170, 14, 0, 0, 0, 130, 58};
    QTest::newRow("alindi") << "alindi 255" << QList<int>{170, 16, 0, 0, 0, 255, 185};
    QTest::newRow("cerceve, checksum wraps") << "cerceve 3 9 9 9 5" << QList<int>{170, 3, 9, 9, 9, 5, 205};
    QTest::newRow("extra blanks and tabs") << "  tus\t5   ilerlet  " << QList<int>{170, 1, 0, 0, 0, 5, 176};
    QTest::newRow("leading zeros") << "bilet 007" << QList<int>{170, 14, 0, 0, 0, 7, 191};
}

void PromptCommandTest::frames() {
    QFETCH(QString, line);
    QFETCH(QList<int>, bytes);
    const Result<PromptCommand> command = parse_prompt_line(line.toStdString());
    QVERIFY2(command.ok(), command.ok() ? "" : command.message().c_str());
    QCOMPARE(sent_bytes(*command), bytes);
    QVERIFY(std::get<SendBytes>(*command).is_frame);
}

void PromptCommandTest::raw_bytes_are_not_a_frame() {
    const Result<PromptCommand> command = parse_prompt_line("bayt 170 1 0 255");
    QVERIFY(command.ok());
    QCOMPARE(sent_bytes(*command), (QList<int>{170, 1, 0, 255}));
    QVERIFY(!std::get<SendBytes>(*command).is_frame);
}

void PromptCommandTest::other_commands() {
    QVERIFY(std::holds_alternative<ShowStatus>(*parse_prompt_line("durum")));
    QVERIFY(std::holds_alternative<ShowHelp>(*parse_prompt_line("yardim")));
    QVERIFY(std::holds_alternative<Quit>(*parse_prompt_line("cikis")));
    QVERIFY(std::holds_alternative<NoCommand>(*parse_prompt_line("   ")));
    QVERIFY(std::holds_alternative<NoCommand>(*parse_prompt_line("# a comment: tus 5 ilerlet")));
    const Result<PromptCommand> wait = parse_prompt_line("bekle 1500");
    QCOMPARE(std::get<Wait>(*wait).duration, std::chrono::milliseconds(1500));
}

void PromptCommandTest::refusals_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("message");
    const QString key_usage =
        "Kullanım: tus T TUS (TUS: ilerlet, tekrar, kapat, cizgi, ac, bekleyen, grup-ogren, grup-degistir)";
    QTest::newRow("unknown command") << "zipla 5" << "Bilinmeyen komut 'zipla'. Komutlar için: yardim";
    QTest::newRow("upper case word") << "DURUM" << "Bilinmeyen komut 'DURUM'. Komutlar için: yardim";
    QTest::newRow("256") << "bilet 256" << "'256' 0 ile 255 arasında bir sayı değil.";
    QTest::newRow("negative") << "alindi -1" << "'-1' 0 ile 255 arasında bir sayı değil.";
    QTest::newRow("decimal point") << "bilet 1.5" << "'1.5' 0 ile 255 arasında bir sayı değil.";
    QTest::newRow("hexadecimal") << "bayt 0xAA" << "'0xAA' 0 ile 255 arasında bir sayı değil.";
    QTest::newRow("huge number") << "bayt 99999999999999999999"
                                 << "'99999999999999999999' 0 ile 255 arasında bir sayı değil.";
    QTest::newRow("bad byte after good ones") << "bayt 1 2 x" << "'x' 0 ile 255 arasında bir sayı değil.";
    QTest::newRow("unknown key") << "tus 5 zipla" << "Bilinmeyen tuş 'zipla'. " + key_usage;
    QTest::newRow("key missing") << "tus 5" << key_usage;
    QTest::newRow("bilet without machine") << "bilet" << "Kullanım: bilet M";
    QTest::newRow("alindi with two numbers") << "alindi 1 2" << "Kullanım: alindi D";
    QTest::newRow("cerceve short") << "cerceve 1 2 3 4" << "Kullanım: cerceve D2 D3 D4 D5 D6";
    QTest::newRow("bayt alone") << "bayt" << "Kullanım: bayt B …";
    QTest::newRow("durum with argument") << "durum 5" << "Kullanım: durum";
    QTest::newRow("wait too long") << "bekle 60001" << "'60001' 0 ile 60000 arasında bir milisaniye değil.";
}

void PromptCommandTest::refusals() {
    QFETCH(QString, line);
    QFETCH(QString, message);
    const Result<PromptCommand> command = parse_prompt_line(line.toStdString());
    QVERIFY(!command.ok());
    QCOMPARE(QString::fromStdString(command.message()), message);
    QVERIFY(!command.message().empty() && command.message().find('\n') == std::string::npos);
}

QTEST_APPLESS_MAIN(PromptCommandTest)
#include "tst_prompt_command.moc"
