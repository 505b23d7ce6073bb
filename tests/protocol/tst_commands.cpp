// The frames of every command button and of the dot-matrix text transfer.
#include <QTest>

#include "protocol/commands.h"

using namespace vela;
using std::chrono::milliseconds;

namespace {

QList<int> bytes(const Frame& frame) { return QList<int>(frame.begin(), frame.end()); }

QList<int> hex(const char* text) {
    QList<int> values;
    for (const QByteArray& part : QByteArray(text).split(' ')) values << part.toInt(nullptr, 16);
    return values;
}

}  // namespace

class CommandsTest : public QObject {
    Q_OBJECT
private slots:
    void checksum_data();
    void checksum();
    void two_byte_split_data();
    void two_byte_split();
    void shown_byte_text_data();
    void shown_byte_text();
    void frame_data();
    void frame();
    void text_transfer_of_ab();
    void text_transfer_of_empty_text();
    void text_transfer_pauses_data();
    void text_transfer_pauses();
    void text_transfer_of_255_characters();
    void text_transfer_refusals_data();
    void text_transfer_refusals();
};

void CommandsTest::checksum_data() {
    QTest::addColumn<QList<int>>("six");
    QTest::addColumn<int>("expected");
    QTest::newRow("global reset, 680") << QList<int>{170, 85, 170, 85, 170, 0} << 168;
    QTest::newRow("999 to terminal 1") << QList<int>{170, 2, 231, 3, 0, 1} << 151;
    QTest::newRow("sum 256") << QList<int>{170, 86, 0, 0, 0, 0} << 0;
    QTest::newRow("sum 255") << QList<int>{170, 85, 0, 0, 0, 0} << 255;
    QTest::newRow("largest sum") << QList<int>{255, 255, 255, 255, 255, 255} << 250;
}

void CommandsTest::checksum() {
    QFETCH(QList<int>, six);
    QFETCH(int, expected);
    const auto b = [&](int i) { return static_cast<Byte>(six[i]); };
    QCOMPARE(int(Kontrol_Toplami(b(0), b(1), b(2), b(3), b(4), b(5))), expected);
}

void CommandsTest::two_byte_split_data() {
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("low");
    QTest::addColumn<int>("high");
    QTest::newRow("255") << 255 << 255 << 0;
    QTest::newRow("256") << 256 << 0 << 1;
    QTest::newRow("300") << 300 << 44 << 1;
    QTest::newRow("999") << 999 << 231 << 3;
    QTest::newRow("65535") << 65535 << 255 << 255;
}

void CommandsTest::two_byte_split() {
    QFETCH(int, value);
    QFETCH(int, low);
    QFETCH(int, high);
    const TwoBytes split = split_two_bytes(static_cast<std::uint16_t>(value));
    QCOMPARE(int(split.low), low);
    QCOMPARE(int(split.high), high);
}

void CommandsTest::shown_byte_text_data() {
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("0") << 0 << " 0";
    QTest::newRow("170") << 170 << " 170";
}

void CommandsTest::shown_byte_text() {
    QFETCH(int, value);
    QFETCH(QString, text);
    QCOMPARE(QString::fromStdString(byte_text(static_cast<Byte>(value))), text);
}

void CommandsTest::frame_data() {
    QTest::addColumn<QList<int>>("frame");
    QTest::addColumn<QList<int>>("expected");

    // Sending procedures of the main window.
    QTest::newRow("Karakter_Gonder 65, 1, 3")
        << bytes(Karakter_Cercevesi(65, 1, 3)) << QList<int>{170, 20, 0, 0, 65, 3, 2};
    QTest::newRow("Komut_Gonder")
        << bytes(Komut_Cercevesi(21, 4, 0, 0, 7)) << QList<int>{170, 21, 4, 0, 0, 7, 202};

    // Hand terminal.
    QTest::newRow("reset T5") << bytes(hand_terminal::reset(5)) << QList<int>{170, 85, 170, 85, 170, 5, 173};
    QTest::newRow("number 300 to T5")
        << bytes(hand_terminal::show_number(5, 300)) << QList<int>{170, 2, 44, 1, 0, 5, 222};
    QTest::newRow("number 999 to T1")
        << bytes(hand_terminal::show_number(1, 999)) << QList<int>{170, 2, 231, 3, 0, 1, 151};
    QTest::newRow("number 256 to T1")
        << bytes(hand_terminal::show_number(1, 256)) << QList<int>{170, 2, 0, 1, 0, 1, 174};
    QTest::newRow("nobody waiting T0")
        << bytes(hand_terminal::nobody_waiting(0)) << QList<int>{170, 9, 0, 0, 85, 0, 8};
    QTest::newRow("waiting 0 to T2")
        << bytes(hand_terminal::waiting_count(2, 0)) << QList<int>{170, 8, 0, 0, 0, 2, 180};
    QTest::newRow("waiting 999 to T2")
        << bytes(hand_terminal::waiting_count(2, 999)) << QList<int>{170, 8, 231, 3, 0, 2, 158};
    QTest::newRow("flash count 3 to T4")
        << bytes(hand_terminal::flash_count(4, 3)) << QList<int>{170, 31, 3, 0, 0, 4, 208};
    QTest::newRow("display off T1")
        << bytes(hand_terminal::display_off(1)) << QList<int>{170, 4, 0, 0, 0, 1, 175};
    QTest::newRow("display dashes T1")
        << bytes(hand_terminal::display_dashes(1)) << QList<int>{170, 5, 0, 0, 0, 1, 176};
    QTest::newRow("display on, all empty")
        << bytes(hand_terminal::display_on(0)) << QList<int>{170, 6, 0, 0, 0, 0, 176};
    QTest::newRow("scroll time 1 min 30 s to T3")
        << bytes(hand_terminal::scroll_time(3, 1, 30)) << QList<int>{170, 34, 30, 1, 0, 3, 238};
    QTest::newRow("scroll time 255 min 255 s")
        << bytes(hand_terminal::scroll_time(0, 255, 255)) << QList<int>{170, 34, 255, 255, 0, 0, 202};

    // Ticket machine and general commands.
    QTest::newRow("first ticket 130, 300, 1")
        << bytes(ticket_machine::first_ticket(130, 300, 1)) << hex("AA 0F 2C 01 01 82 69");
    QTest::newRow("second ticket 144, 999, 0")
        << bytes(ticket_machine::second_ticket(144, 999, 0)) << hex("AA 11 E7 03 00 90 35");
    QTest::newRow("second ticket repeats 200")
        << bytes(ticket_machine::second_ticket(0, 0, 200)) << QList<int>{170, 17, 0, 0, 200, 0, 131};
    QTest::newRow("no ticket 130") << bytes(ticket_machine::no_ticket(130)) << hex("AA 12 00 00 55 82 93");
    QTest::newRow("ticket data 130, 65, 10, 3")
        << bytes(ticket_machine::load_ticket_data(130, 65, 10, 3)) << hex("AA 17 41 0A 03 82 91");
    QTest::newRow("first ticket, all empty")
        << bytes(ticket_machine::first_ticket(0, 0, 0)) << hex("AA 0F 00 00 00 00 B9");
    QTest::newRow("second ticket, all empty")
        << bytes(ticket_machine::second_ticket(0, 0, 0)) << hex("AA 11 00 00 00 00 BB");
    QTest::newRow("no ticket, all empty") << bytes(ticket_machine::no_ticket(0)) << hex("AA 12 00 00 55 00 11");
    QTest::newRow("ticket data, all empty")
        << bytes(ticket_machine::load_ticket_data(0, 0, 0, 0)) << hex("AA 17 00 00 00 00 C1");
    QTest::newRow("first ticket number 255")
        << bytes(ticket_machine::first_ticket(0, 255, 0)) << QList<int>{170, 15, 255, 0, 0, 0, 184};
    QTest::newRow("first ticket number 256")
        << bytes(ticket_machine::first_ticket(0, 256, 0)) << QList<int>{170, 15, 0, 1, 0, 0, 186};
    QTest::newRow("global reset") << bytes(general::global_reset()) << hex("AA 55 AA 55 AA 00 A8");
    QTest::newRow("address load, empty") << bytes(general::load_address(0)) << hex("AA 24 55 AA 55 00 22");
    QTest::newRow("address load 130") << bytes(general::load_address(130)) << hex("AA 24 55 AA 55 82 A4");

    // Main board and chime.
    QTest::newRow("KU enable, empty") << bytes(main_board::ku_enable(0, 0)) << hex("AA 1B 00 01 00 00 C6");
    QTest::newRow("arrow off, empty")
        << bytes(main_board::arrow(0, 0, Arrow::Off)) << hex("AA 1C 00 05 00 00 CB");
    QTest::newRow("scroll delay, empty") << bytes(main_board::scroll_delay(0, 0)) << hex("AA 22 00 00 00 00 CC");
    QTest::newRow("scroll delay 255 to 201")
        << bytes(main_board::scroll_delay(201, 255)) << hex("AA 22 FF 00 00 C9 94");
    QTest::newRow("scroll delay 10 to 244")
        << bytes(main_board::scroll_delay(244, 10)) << hex("AA 22 0A 00 00 F4 CA");
    QTest::newRow("KU enable 201/5") << bytes(main_board::ku_enable(201, 5)) << hex("AA 1B 05 01 00 C9 94");
    QTest::newRow("KU disable 201/5") << bytes(main_board::ku_disable(201, 5)) << hex("AA 1B 05 00 00 C9 93");
    QTest::newRow("arrow up 201/5")
        << bytes(main_board::arrow(201, 5, Arrow::Up)) << hex("AA 1C 05 01 00 C9 95");
    QTest::newRow("arrow down 201/5")
        << bytes(main_board::arrow(201, 5, Arrow::Down)) << hex("AA 1C 05 02 00 C9 96");
    QTest::newRow("arrow right 201/5")
        << bytes(main_board::arrow(201, 5, Arrow::Right)) << hex("AA 1C 05 03 00 C9 97");
    QTest::newRow("arrow left 201/5")
        << bytes(main_board::arrow(201, 5, Arrow::Left)) << hex("AA 1C 05 04 00 C9 98");
    QTest::newRow("arrow off 201/5")
        << bytes(main_board::arrow(201, 5, Arrow::Off)) << hex("AA 1C 05 05 00 C9 99");
    QTest::newRow("chime on") << bytes(chime::on()) << hex("AA 1D 01 00 00 00 C8");
    QTest::newRow("chime off") << bytes(chime::off()) << hex("AA 1D 02 00 00 00 C9");

    // Dot-matrix display.
    using dot_matrix::Mode;
    const std::pair<Mode, int> modes[] = {
        {Mode::FlashOnChimeOn, 1},           {Mode::FlashOnChimeOff, 2},
        {Mode::FlashOffChimeOn, 3},          {Mode::DisplayOn, 4},
        {Mode::DisplayOff, 5},               {Mode::StaticTextAfterAWhile, 6},
        {Mode::ScrollingTextAfterAWhile, 7}, {Mode::StaticTextContinuously, 8},
        {Mode::ScrollingTextContinuously, 9},
    };
    for (const auto& [mode, selector] : modes) {
        QTest::addRow("dot-matrix mode %d to 7", selector)
            << bytes(dot_matrix::mode(7, mode)) << QList<int>{170, 21, selector, 0, 0, 7, 198 + selector};
    }
    QTest::newRow("dot-matrix display off, empty ID")
        << bytes(dot_matrix::mode(0, Mode::DisplayOff)) << QList<int>{170, 21, 5, 0, 0, 0, 196};
    const std::pair<Arrow, int> arrows[] = {
        {Arrow::Up, 1}, {Arrow::Down, 2}, {Arrow::Right, 3}, {Arrow::Left, 4}, {Arrow::Off, 5}};
    for (const auto& [arrow, code] : arrows) {
        QTest::addRow("dot-matrix arrow %d to 48", code)
            << bytes(dot_matrix::arrow(48, arrow)) << QList<int>{170, 26, code, 0, 0, 48, 244 + code};
    }
    QTest::newRow("buffer length 255 to 1")
        << bytes(dot_matrix::buffer_length(1, 255)) << QList<int>{170, 37, 255, 0, 0, 1, 207};
    QTest::newRow("frequencies 10/20 to 3")
        << bytes(dot_matrix::frequencies(3, 10, 20)) << QList<int>{170, 38, 10, 20, 0, 3, 241};
    QTest::newRow("brightness 100 to 2")
        << bytes(dot_matrix::brightness(2, 100)) << QList<int>{170, 39, 100, 0, 0, 2, 55};
}

void CommandsTest::frame() {
    QFETCH(QList<int>, frame);
    QFETCH(QList<int>, expected);
    QCOMPARE(frame, expected);
}

void CommandsTest::text_transfer_of_ab() {
    const auto steps = dot_matrix::text_transfer(5, "AB");
    QVERIFY(steps.ok());
    const Sequence expected = {
        {{170, 21, 5, 0, 0, 5, 201}, milliseconds(200)},
        {{170, 20, 0, 0, 65, 5, 4}, milliseconds(20)},
        {{170, 20, 0, 1, 66, 5, 6}, milliseconds(220)},
        {{170, 21, 4, 0, 0, 5, 200}, milliseconds(20)},
        {{170, 41, 0, 2, 0, 5, 218}, milliseconds(0)},
    };
    QVERIFY(*steps == expected);
}

void CommandsTest::text_transfer_of_empty_text() {
    const auto steps = dot_matrix::text_transfer(9, "");
    QVERIFY(steps.ok());
    const Sequence expected = {
        {{170, 21, 5, 0, 0, 9, 205}, milliseconds(400)},
        {{170, 21, 4, 0, 0, 9, 204}, milliseconds(20)},
        {{170, 41, 0, 0, 0, 9, 220}, milliseconds(0)},
    };
    QVERIFY(*steps == expected);
}

void CommandsTest::text_transfer_pauses_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("characters");
    QTest::newRow("one character") << QByteArray("x") << 1;
    QTest::newRow("Turkish letters, one frame each") << QByteArray("Şığ İ") << 5;
    QTest::newRow("ten characters") << QByteArray("0123456789") << 10;
}

// n + 3 frames, and 420 + 20 n ms of waiting in all.
void CommandsTest::text_transfer_pauses() {
    QFETCH(QByteArray, text);
    QFETCH(int, characters);
    const auto steps = dot_matrix::text_transfer(1, std::string_view(text.constData(), size_t(text.size())));
    QVERIFY(steps.ok());
    QCOMPARE(int(steps->size()), characters + 3);
    milliseconds total{0};
    for (const Step& step : *steps) total += step.pause_after;
    QCOMPARE(total.count(), 420 + 20 * characters);
    QCOMPARE(int(steps->back().frame[3]), characters);
}

void CommandsTest::text_transfer_of_255_characters() {
    const auto steps = dot_matrix::text_transfer(2, std::string(255, 'Z'));
    QVERIFY(steps.ok());
    QCOMPARE(int(steps->size()), 258);
    for (int k = 0; k < 255; ++k) {
        QCOMPARE(bytes((*steps)[size_t(k) + 1].frame), bytes(Karakter_Cercevesi('Z', k + 1, 2)));
    }
    QCOMPARE(int(steps->back().frame[3]), 255);
}

void CommandsTest::text_transfer_refusals_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("message");
    const QString too_long = QStringLiteral("Metin 255 karakterden uzun olamaz!");
    QTest::newRow("256 characters") << QByteArray(256, 'a') << too_long;
    QTest::newRow("255 two-byte letters are 255 characters")
        << QByteArray("ş").repeated(255) + "ş" << too_long;
    QTest::newRow("length is checked first") << QByteArray("✓").repeated(256) << too_long;
    QTest::newRow("character without a code")
        << QByteArray("AB✓C") << QStringLiteral("'✓' karakteri gönderilemez!");
}

void CommandsTest::text_transfer_refusals() {
    QFETCH(QByteArray, text);
    QFETCH(QString, message);
    const auto steps = dot_matrix::text_transfer(1, std::string_view(text.constData(), size_t(text.size())));
    QVERIFY(!steps.ok());
    QCOMPARE(QString::fromStdString(steps.message()), message);
}

QTEST_APPLESS_MAIN(CommandsTest)
#include "tst_commands.moc"
