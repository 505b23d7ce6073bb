// The edges of the frames, the dot-matrix text transfer, and the received
// frames recognised and decoded.
#include <QTest>

#include "protocol/commands.h"
#include "protocol/monitor.h"

using namespace vela;
using ms = std::chrono::milliseconds;

Q_DECLARE_METATYPE(vela::Frame)
Q_DECLARE_METATYPE(vela::Sequence)

namespace {
QList<int> bytes(const Frame& frame) { return QList<int>(frame.begin(), frame.end()); }
}  // namespace

class CommandsTest : public QObject {
    Q_OBJECT
private slots:
    // The edges a button's frame does not reach (tst_ana_menu pins every
    // button's frame): the checksum wrapping to 0 and reaching 255, a number
    // whose low byte is 0.
    void frames_data() {
        QTest::addColumn<Frame>("frame");
        QTest::addColumn<QList<int>>("expected");
        QTest::newRow("checksum 0") << Komut_Cercevesi(86, 0, 0, 0, 0) << QList<int>{170, 86, 0, 0, 0, 0, 0};
        QTest::newRow("checksum 255") << Komut_Cercevesi(85, 0, 0, 0, 0) << QList<int>{170, 85, 0, 0, 0, 0, 255};
        QTest::newRow("number 256") << hand_terminal::show_number(1, 256) << QList<int>{170, 2, 0, 1, 0, 1, 174};
    }
    void frames() {
        QFETCH(Frame, frame);
        QTEST(bytes(frame), "expected");
    }

    // The frames and pauses, or the refusal.
    void text_transfer_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<Sequence>("expected");
        QTest::addColumn<QString>("refusal");
        const QString too_long = QStringLiteral("Metin 255 karakterden uzun olamaz!");
        // clang-format off
        QTest::newRow("two letters") << QByteArray("AB")
            << Sequence{{{170, 21, 5, 0, 0, 5, 201}, ms(200)}, {{170, 20, 0, 0, 65, 5, 4}, ms(20)},
                        {{170, 20, 0, 1, 66, 5, 6}, ms(220)}, {{170, 21, 4, 0, 0, 5, 200}, ms(20)},
                        {{170, 41, 0, 2, 0, 5, 218}, ms(0)}} << QString();
        QTest::newRow("empty") << QByteArray()
            << Sequence{{{170, 21, 5, 0, 0, 5, 201}, ms(400)}, {{170, 21, 4, 0, 0, 5, 200}, ms(20)},
                        {{170, 41, 0, 0, 0, 5, 216}, ms(0)}} << QString();
        QTest::newRow("256 characters without a code") << QByteArray("✓").repeated(256) << Sequence{} << too_long;
        QTest::newRow("no code") << QByteArray("AB✓C") << Sequence{} << QStringLiteral("'✓' karakteri gönderilemez!");
        // clang-format on
    }
    void text_transfer() {
        QFETCH(QByteArray, text);
        QFETCH(Sequence, expected);
        const auto steps = dot_matrix::text_transfer(5, text.toStdString());
        QTEST(QString::fromStdString(steps ? std::string() : steps.message()), "refusal");
        QVERIFY(!steps || *steps == expected);
    }

    // 255 Turkish letters: positions 0 to 254, a text length of 255.
    void longest_text() {
        const auto steps = dot_matrix::text_transfer(1, QByteArray("ş").repeated(255).toStdString());
        QCOMPARE(steps->size(), 258u);
        QCOMPARE(bytes((*steps)[255].frame), (QList<int>{170, 20, 0, 254, 254, 1, 187}));
        QCOMPARE(bytes(steps->back().frame), (QList<int>{170, 41, 0, 255, 0, 1, 211}));
    }

    // The bytes one at a time: the indices of those that complete a frame
    // (a frame and a wrong checksum are rows of tst_ana_menu's receives).
    void window_data() {
        QTest::addColumn<QList<int>>("received");
        QTest::addColumn<QList<int>>("valid_after");
        QTest::newRow("start bytes only") << QList<int>{170, 170, 170, 170, 170, 170} << QList<int>{};
        QTest::newRow("after noise, then again")
            << QList<int>{9, 170, 4, 0, 0, 0, 1, 175, 170, 6, 0, 0, 0, 1, 177} << QList<int>{7, 14};
        QTest::newRow("checksum wrap") << QList<int>{170, 255, 255, 255, 255, 255, 165} << QList<int>{6};
        QTest::newRow("a frame cut short") << QList<int>{170, 1, 0, 170, 1, 0, 0, 0, 5, 176} << QList<int>{9};
        QTest::newRow("all zero, not again a byte later") << QList<int>{170, 0, 0, 0, 0, 0, 170, 0} << QList<int>{6};
    }
    void window() {
        QFETCH(QList<int>, received);
        ReceiveWindow window;
        QList<int> recognised;
        for (int i = 0; i < received.size(); ++i) {
            if (const std::optional<Frame> frame = window.push(static_cast<Byte>(received[i]))) {
                recognised << i;
                QCOMPARE(QList<int>(frame->begin(), frame->end()), received.mid(i - 6, 7));
            }
        }
        QTEST(recognised, "valid_after");
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
