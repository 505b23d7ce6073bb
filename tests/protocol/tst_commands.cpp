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

void row(const char* name, const Frame& frame, const QList<int>& expected) {
    QTest::newRow(name) << bytes(frame) << expected;
}

Result<Sequence> transfer(Byte id, const QByteArray& text) {
    return dot_matrix::text_transfer(id, std::string_view(text.constData(), size_t(text.size())));
}

}  // namespace

class CommandsTest : public QObject {
    Q_OBJECT
private slots:
    void checksum_data() {
        QTest::addColumn<QList<int>>("six");
        QTest::addColumn<int>("expected");
        QTest::newRow("global reset, 680") << QList<int>{170, 85, 170, 85, 170, 0} << 168;
        QTest::newRow("sum 256") << QList<int>{170, 86, 0, 0, 0, 0} << 0;
        QTest::newRow("sum 255") << QList<int>{170, 85, 0, 0, 0, 0} << 255;
        QTest::newRow("largest sum") << QList<int>{255, 255, 255, 255, 255, 255} << 250;
    }

    void checksum() {
        QFETCH(QList<int>, six);
        QFETCH(int, expected);
        const auto b = [&](int i) { return static_cast<Byte>(six[i]); };
        QCOMPARE(int(Kontrol_Toplami(b(0), b(1), b(2), b(3), b(4), b(5))), expected);
    }

    void frame_data() {
        QTest::addColumn<QList<int>>("frame");
        QTest::addColumn<QList<int>>("expected");

        // Sending procedures of the main window.
        row("Karakter_Gonder 65, 1, 3", Karakter_Cercevesi(65, 1, 3), {170, 20, 0, 0, 65, 3, 2});
        row("Komut_Gonder", Komut_Cercevesi(21, 4, 0, 0, 7), {170, 21, 4, 0, 0, 7, 202});

        // Hand terminal.
        row("reset T5", hand_terminal::reset(5), {170, 85, 170, 85, 170, 5, 173});
        row("number 300 to T5", hand_terminal::show_number(5, 300), {170, 2, 44, 1, 0, 5, 222});
        row("number 999 to T1", hand_terminal::show_number(1, 999), {170, 2, 231, 3, 0, 1, 151});
        row("number 256 to T1", hand_terminal::show_number(1, 256), {170, 2, 0, 1, 0, 1, 174});
        row("number 65535 to T0", hand_terminal::show_number(0, 65535), {170, 2, 255, 255, 0, 0, 170});
        row("nobody waiting T0", hand_terminal::nobody_waiting(0), {170, 9, 0, 0, 85, 0, 8});
        row("waiting 0 to T2", hand_terminal::waiting_count(2, 0), {170, 8, 0, 0, 0, 2, 180});
        row("waiting 999 to T2", hand_terminal::waiting_count(2, 999), {170, 8, 231, 3, 0, 2, 158});
        row("flash count 3 to T4", hand_terminal::flash_count(4, 3), {170, 31, 3, 0, 0, 4, 208});
        row("display off T1", hand_terminal::display_off(1), {170, 4, 0, 0, 0, 1, 175});
        row("display dashes T1", hand_terminal::display_dashes(1), {170, 5, 0, 0, 0, 1, 176});
        row("display on, all empty", hand_terminal::display_on(0), {170, 6, 0, 0, 0, 0, 176});
        row("scroll time 1 min 30 s to T3", hand_terminal::scroll_time(3, 1, 30), {170, 34, 30, 1, 0, 3, 238});
        row("scroll time 255 min 255 s", hand_terminal::scroll_time(0, 255, 255), {170, 34, 255, 255, 0, 0, 202});

        // Ticket machine and general commands.
        row("first ticket 130, 300, 1", ticket_machine::first_ticket(130, 300, 1), hex("AA 0F 2C 01 01 82 69"));
        row("second ticket 144, 999, 0", ticket_machine::second_ticket(144, 999, 0), hex("AA 11 E7 03 00 90 35"));
        row("second ticket repeats 200", ticket_machine::second_ticket(0, 0, 200), {170, 17, 0, 0, 200, 0, 131});
        row("no ticket 130", ticket_machine::no_ticket(130), hex("AA 12 00 00 55 82 93"));
        row("ticket data 130, 65, 10, 3", ticket_machine::load_ticket_data(130, 65, 10, 3), hex("AA 17 41 0A 03 82 91"));
        row("first ticket, all empty", ticket_machine::first_ticket(0, 0, 0), hex("AA 0F 00 00 00 00 B9"));
        row("second ticket, all empty", ticket_machine::second_ticket(0, 0, 0), hex("AA 11 00 00 00 00 BB"));
        row("no ticket, all empty", ticket_machine::no_ticket(0), hex("AA 12 00 00 55 00 11"));
        row("ticket data, all empty", ticket_machine::load_ticket_data(0, 0, 0, 0), hex("AA 17 00 00 00 00 C1"));
        row("first ticket number 255", ticket_machine::first_ticket(0, 255, 0), {170, 15, 255, 0, 0, 0, 184});
        row("first ticket number 256", ticket_machine::first_ticket(0, 256, 0), {170, 15, 0, 1, 0, 0, 186});
        row("global reset", general::global_reset(), hex("AA 55 AA 55 AA 00 A8"));
        row("address load, empty", general::load_address(0), hex("AA 24 55 AA 55 00 22"));
        row("address load 130", general::load_address(130), hex("AA 24 55 AA 55 82 A4"));

        // Main board and chime.
        row("KU enable, empty", main_board::ku_enable(0, 0), hex("AA 1B 00 01 00 00 C6"));
        row("arrow off, empty", main_board::arrow(0, 0, Arrow::Off), hex("AA 1C 00 05 00 00 CB"));
        row("scroll delay, empty", main_board::scroll_delay(0, 0), hex("AA 22 00 00 00 00 CC"));
        row("scroll delay 255 to 201", main_board::scroll_delay(201, 255), hex("AA 22 FF 00 00 C9 94"));
        row("scroll delay 10 to 244", main_board::scroll_delay(244, 10), hex("AA 22 0A 00 00 F4 CA"));
        row("KU enable 201/5", main_board::ku_enable(201, 5), hex("AA 1B 05 01 00 C9 94"));
        row("KU disable 201/5", main_board::ku_disable(201, 5), hex("AA 1B 05 00 00 C9 93"));
        row("arrow up 201/5", main_board::arrow(201, 5, Arrow::Up), hex("AA 1C 05 01 00 C9 95"));
        row("arrow down 201/5", main_board::arrow(201, 5, Arrow::Down), hex("AA 1C 05 02 00 C9 96"));
        row("arrow right 201/5", main_board::arrow(201, 5, Arrow::Right), hex("AA 1C 05 03 00 C9 97"));
        row("arrow left 201/5", main_board::arrow(201, 5, Arrow::Left), hex("AA 1C 05 04 00 C9 98"));
        row("arrow off 201/5", main_board::arrow(201, 5, Arrow::Off), hex("AA 1C 05 05 00 C9 99"));
        row("chime on", chime::on(), hex("AA 1D 01 00 00 00 C8"));
        row("chime off", chime::off(), hex("AA 1D 02 00 00 00 C9"));

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
        row("dot-matrix display off, empty ID", dot_matrix::mode(0, Mode::DisplayOff), {170, 21, 5, 0, 0, 0, 196});
        const std::pair<Arrow, int> arrows[] = {
            {Arrow::Up, 1}, {Arrow::Down, 2}, {Arrow::Right, 3}, {Arrow::Left, 4}, {Arrow::Off, 5}};
        for (const auto& [arrow, code] : arrows) {
            QTest::addRow("dot-matrix arrow %d to 48", code)
                << bytes(dot_matrix::arrow(48, arrow)) << QList<int>{170, 26, code, 0, 0, 48, 244 + code};
        }
        row("buffer length 255 to 1", dot_matrix::buffer_length(1, 255), {170, 37, 255, 0, 0, 1, 207});
        row("frequencies 10/20 to 3", dot_matrix::frequencies(3, 10, 20), {170, 38, 10, 20, 0, 3, 241});
        row("brightness 100 to 2", dot_matrix::brightness(2, 100), {170, 39, 100, 0, 0, 2, 55});
    }

    void frame() {
        QFETCH(QList<int>, frame);
        QFETCH(QList<int>, expected);
        QCOMPARE(frame, expected);
    }

    void text_transfer_data() {
        QTest::addColumn<int>("id");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<Sequence>("expected");
        QTest::newRow("AB to 5") << 5 << QByteArray("AB")
                                 << Sequence{{{170, 21, 5, 0, 0, 5, 201}, milliseconds(200)},
                                             {{170, 20, 0, 0, 65, 5, 4}, milliseconds(20)},
                                             {{170, 20, 0, 1, 66, 5, 6}, milliseconds(220)},
                                             {{170, 21, 4, 0, 0, 5, 200}, milliseconds(20)},
                                             {{170, 41, 0, 2, 0, 5, 218}, milliseconds(0)}};
        QTest::newRow("empty text to 9") << 9 << QByteArray()
                                         << Sequence{{{170, 21, 5, 0, 0, 9, 205}, milliseconds(400)},
                                                     {{170, 21, 4, 0, 0, 9, 204}, milliseconds(20)},
                                                     {{170, 41, 0, 0, 0, 9, 220}, milliseconds(0)}};
    }

    void text_transfer() {
        QFETCH(int, id);
        QFETCH(QByteArray, text);
        QFETCH(Sequence, expected);
        const auto steps = transfer(Byte(id), text);
        QVERIFY(steps.ok());
        QVERIFY(*steps == expected);
    }

    void text_transfer_pauses_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("codes");
        QTest::newRow("one character") << QByteArray("x") << QByteArray("x");
        QTest::newRow("Turkish letters, one frame each") << QByteArray("Şığ İ") << QByteArray("\xDE\xFD\xF0 \xDD");
        QTest::newRow("255 characters") << QByteArray(255, 'Z') << QByteArray(255, 'Z');
    }

    // n + 3 frames, the character codes at positions 1..n, and 420 + 20 n ms
    // of waiting in all.
    void text_transfer_pauses() {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, codes);
        const int characters = int(codes.size());
        const auto steps = transfer(2, text);
        QVERIFY(steps.ok());
        QCOMPARE(int(steps->size()), characters + 3);
        milliseconds total{0};
        for (const Step& step : *steps) total += step.pause_after;
        QCOMPARE(total.count(), 420 + 20 * characters);
        for (int k = 0; k < characters; ++k) {
            QCOMPARE(bytes((*steps)[size_t(k) + 1].frame), bytes(Karakter_Cercevesi(Byte(codes[k]), Byte(k + 1), 2)));
        }
        QCOMPARE(int(steps->back().frame[3]), characters);
    }

    void text_transfer_refusals_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("message");
        const QString too_long = QStringLiteral("Metin 255 karakterden uzun olamaz!");
        QTest::newRow("256 characters") << QByteArray(256, 'a') << too_long;
        QTest::newRow("255 two-byte letters are 255 characters") << QByteArray("ş").repeated(255) + "ş" << too_long;
        QTest::newRow("length is checked first") << QByteArray("✓").repeated(256) << too_long;
        QTest::newRow("character without a code") << QByteArray("AB✓C") << QStringLiteral("'✓' karakteri gönderilemez!");
    }

    void text_transfer_refusals() {
        QFETCH(QByteArray, text);
        QFETCH(QString, message);
        const auto steps = transfer(1, text);
        QVERIFY(!steps.ok());
        QCOMPARE(QString::fromStdString(steps.message()), message);
    }
};

QTEST_APPLESS_MAIN(CommandsTest)
#include "tst_commands.moc"
