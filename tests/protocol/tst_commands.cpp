// The frames of every command button and of the dot-matrix text transfer,
// and the received frames recognised and decoded.
#include <QTest>

#include "protocol/commands.h"
#include "protocol/monitor.h"

using namespace vela;
using ms = std::chrono::milliseconds;

namespace {
QList<int> bytes(const Frame& frame) { return QList<int>(frame.begin(), frame.end()); }
}  // namespace

class CommandsTest : public QObject {
    Q_OBJECT
private slots:
    void frames() {
        using dot_matrix::Mode;
        namespace t = hand_terminal;
        namespace m = ticket_machine;
        namespace b = main_board;
        namespace d = dot_matrix;
        // clang-format off
        const QList<std::pair<Frame, QList<int>>> rows = {
            {Komut_Cercevesi(86, 0, 0, 0, 0), {170, 86, 0, 0, 0, 0, 0}},
            {Karakter_Cercevesi(65, 1, 3), {170, 20, 0, 0, 65, 3, 2}},
            {Komut_Cercevesi(85, 0, 0, 0, 0), {170, 85, 0, 0, 0, 0, 255}}, {t::reset(5), {170, 85, 170, 85, 170, 5, 173}},
            {t::show_number(5, 300), {170, 2, 44, 1, 0, 5, 222}}, {t::show_number(1, 999), {170, 2, 231, 3, 0, 1, 151}},
            {t::show_number(1, 256), {170, 2, 0, 1, 0, 1, 174}}, {t::nobody_waiting(0), {170, 9, 0, 0, 85, 0, 8}},
            {t::waiting_count(2, 0), {170, 8, 0, 0, 0, 2, 180}}, {t::flash_count(4, 3), {170, 31, 3, 0, 0, 4, 208}},
            {t::display_off(1), {170, 4, 0, 0, 0, 1, 175}}, {t::display_dashes(1), {170, 5, 0, 0, 0, 1, 176}},
            {t::display_on(0), {170, 6, 0, 0, 0, 0, 176}}, {t::scroll_time(3, 1, 30), {170, 34, 30, 1, 0, 3, 238}},
            {m::first_ticket(0, 0, 0), {170, 15, 0, 0, 0, 0, 185}},
            {m::second_ticket(0, 0, 0), {170, 17, 0, 0, 0, 0, 187}}, {m::no_ticket(0), {170, 18, 0, 0, 85, 0, 17}},
            {m::load_ticket_data(0, 0, 0, 0), {170, 23, 0, 0, 0, 0, 193}},
            {m::first_ticket(130, 255, 1), {170, 15, 255, 0, 1, 130, 59}},
            {m::second_ticket(144, 999, 200), {170, 17, 231, 3, 200, 144, 253}},
            {m::load_ticket_data(130, 65, 10, 3), {170, 23, 65, 10, 3, 130, 145}},
            {general::global_reset(), {170, 85, 170, 85, 170, 0, 168}},
            {general::load_address(130), {170, 36, 85, 170, 85, 130, 164}},
            {b::ku_enable(0, 0), {170, 27, 0, 1, 0, 0, 198}}, {b::ku_disable(201, 5), {170, 27, 5, 0, 0, 201, 147}},
            {b::arrow(0, 0, Arrow::Off), {170, 28, 0, 5, 0, 0, 203}},
            {b::arrow(201, 5, Arrow::Left), {170, 28, 5, 4, 0, 201, 152}},
            {b::scroll_delay(0, 0), {170, 34, 0, 0, 0, 0, 204}},
            {b::scroll_delay(201, 255), {170, 34, 255, 0, 0, 201, 148}}, {chime::on(), {170, 29, 1, 0, 0, 0, 200}},
            {chime::off(), {170, 29, 2, 0, 0, 0, 201}}, {d::mode(0, Mode::DisplayOff), {170, 21, 5, 0, 0, 0, 196}},
            {d::mode(7, Mode::ScrollingTextContinuously), {170, 21, 9, 0, 0, 7, 207}},
            {d::arrow(48, Arrow::Off), {170, 26, 5, 0, 0, 48, 249}},
            {d::buffer_length(1, 255), {170, 37, 255, 0, 0, 1, 207}},
            {d::frequencies(3, 10, 20), {170, 38, 10, 20, 0, 3, 241}},
            {d::brightness(2, 100), {170, 39, 100, 0, 0, 2, 55}}};
        // clang-format on
        for (const auto& [frame, expected] : rows) QCOMPARE(bytes(frame), expected);
    }

    // The frames and pauses, or the refusal.
    void text_transfer() {
        const QString too_long = QStringLiteral("Metin 255 karakterden uzun olamaz!");
        // clang-format off
        const QList<std::tuple<QByteArray, Sequence, QString>> rows = {
            {"AB", {{{170, 21, 5, 0, 0, 5, 201}, ms(200)}, {{170, 20, 0, 0, 65, 5, 4}, ms(20)},
                    {{170, 20, 0, 1, 66, 5, 6}, ms(220)}, {{170, 21, 4, 0, 0, 5, 200}, ms(20)},
                    {{170, 41, 0, 2, 0, 5, 218}, ms(0)}}, {}},
            {"", {{{170, 21, 5, 0, 0, 5, 201}, ms(400)}, {{170, 21, 4, 0, 0, 5, 200}, ms(20)},
                  {{170, 41, 0, 0, 0, 5, 216}, ms(0)}}, {}},
            {QByteArray("ş").repeated(256), {}, too_long}, {QByteArray("✓").repeated(256), {}, too_long},
            {"AB✓C", {}, QStringLiteral("'✓' karakteri gönderilemez!")}};
        // clang-format on
        for (const auto& [text, expected, refusal] : rows) {
            const auto steps = dot_matrix::text_transfer(5, text.toStdString());
            QCOMPARE(QString::fromStdString(steps ? std::string() : steps.message()), refusal);
            QVERIFY(!steps || *steps == expected);
        }
    }

    // 255 Turkish letters: positions 0 to 254, a text length of 255.
    void longest_text() {
        const auto steps = dot_matrix::text_transfer(1, QByteArray("ş").repeated(255).toStdString());
        QCOMPARE(steps->size(), 258u);
        QCOMPARE(bytes((*steps)[255].frame), (QList<int>{170, 20, 0, 254, 254, 1, 187}));
        QCOMPARE(bytes(steps->back().frame), (QList<int>{170, 41, 0, 255, 0, 1, 211}));
    }

    // The bytes one at a time: the indices of those that complete a frame.
    void window() {
        // clang-format off
        const QList<std::pair<QList<int>, QList<int>>> rows = {
            {{170, 1, 0, 0, 0, 5, 176}, {6}}, {{170, 1, 0, 0, 0, 5, 177}, {}}, {{170, 170, 170, 170, 170, 170}, {}},
            {{9, 170, 4, 0, 0, 0, 1, 175, 170, 6, 0, 0, 0, 1, 177}, {7, 14}},  // after noise, then again
            {{170, 255, 255, 255, 255, 255, 165}, {6}},                        // checksum wrap
            {{170, 1, 0, 170, 1, 0, 0, 0, 5, 176}, {9}},                       // a frame cut short
            {{170, 0, 0, 0, 0, 0, 170, 0}, {6}}};                              // all zero, not again a byte later
        // clang-format on
        for (const auto& [received, valid_after] : rows) {
            ReceiveWindow window;
            QList<int> recognised;
            for (int i = 0; i < received.size(); ++i) {
                if (const std::optional<Frame> frame = window.push(static_cast<Byte>(received[i]))) {
                    recognised << i;
                    QCOMPARE(QList<int>(frame->begin(), frame->end()), received.mid(i - 6, 7));
                }
            }
            QCOMPARE(recognised, valid_after);
        }
    }

    // Valid frames and their sentences, each row named by DATA2..DATA6;
    // DATA6 and DATA7 are never looked at.
    void decode_data() {
        QTest::addColumn<Frame>("frame");
        QTest::addColumn<QString>("sentence");
        // clang-format off
        const QList<std::pair<Frame, const char*>> rows = {
            {{170, 1, 0, 0, 0, 5, 176}, "El Terminalinden gelen İLERTLETME KOMUTU"}, {{170, 1, 0, 0, 1, 5, 177}, ""},
            {{170, 2, 0, 0, 0, 5, 177}, ""}, {{170, 3, 9, 9, 9, 5, 205}, "El Terminalinden gelen SAYI TEKRARLATMA KOMUTU"},
            {{170, 4, 0, 0, 0, 1, 175}, "El Terminalinden gelen DISPLAY KAPATMA KOMUTU"}, {{170, 4, 0, 1, 0, 1, 176}, ""},
            {{170, 5, 0, 0, 0, 1, 176}, "El Terminalinden gelen DISPLAY '---' ÇİZGİ YAPMA KOMUTU"},
            {{170, 6, 0, 0, 0, 1, 177}, "El Terminalinden gelen DISPLAY AÇMA KOMUTU"},
            {{170, 7, 0, 0, 0, 1, 178}, "El Terminalinden gelen BEKLEYEN TALEP KOMUTU"}, {{170, 7, 0, 0, 3, 1, 181}, ""},
            {{170, 14, 0, 0, 2, 130, 60}, "Bilet Makinesinden gelen BİLET TALEP KOMUTU"}, {{170, 14, 0, 2, 0, 130, 60}, ""},
            {{170, 10, 0, 0, 7, 1, 188}, "El Terminalinden gelen GRUP NO ÖĞRENME KOMUTU"},
            {{170, 12, 0, 0, 7, 1, 190}, "El Terminalinden gelen GRUP NO DEĞİŞTİRME KOMUTU"}, {{170, 12, 7, 0, 0, 1, 190}, ""},
            {{170, 16, 0, 0, 255, 0, 185}, "ALINDI (ACK) BİLGİSİ geldi"}, {{170, 85, 170, 85, 170, 0, 168}, ""}};
        // clang-format on
        for (const auto& [frame, sentence] : rows)
            QTest::addRow("%d %d %d %d %d", frame[1], frame[2], frame[3], frame[4], frame[5])
                << frame << QString::fromUtf8(sentence);
    }
    // Each frame after two stray bytes, cut over two deliveries: found once,
    // in the second, numbered by its last byte.
    void decode() {
        QFETCH(Frame, frame);
        QFETCH(QString, sentence);
        ReceiveMonitor monitor;
        const Byte head[] = {9, 170, frame[0], frame[1], frame[2]};
        QVERIFY(monitor.take(head).empty());
        const std::vector<RecognisedFrame> found = monitor.take(std::span(frame).subspan(3));
        QCOMPARE(found.size(), 1u);
        QCOMPARE(found[0].byte_number, 9u);
        QCOMPARE(bytes(found[0].frame), bytes(frame));
        QCOMPARE(QString::fromUtf8(std::string(found[0].sentence)), sentence);
    }
};

QTEST_APPLESS_MAIN(CommandsTest)
#include "tst_commands.moc"
