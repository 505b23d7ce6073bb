// The print preview and the transfer of the ticket layout.
#include <QTest>

#include "protocol/ticket.h"

using namespace vela;
using std::chrono::milliseconds;

namespace {

QList<int> bytes(const Frame& frame) { return QList<int>(frame.begin(), frame.end()); }

TicketLine line(const char* utf8_text, bool ticked = true) { return {ticked, utf8_text}; }

// The character bytes (DATA5) of one 16-position slot of a transfer.
QList<int> slot_bytes(const Sequence& steps, std::size_t first_frame) {
    QList<int> values;
    for (std::size_t p = 0; p < 16; ++p) values << steps[first_frame + p].frame[4];
    return values;
}

QList<int> slot_of(const QList<int>& characters) {
    QList<int> slot(16, 0);
    for (int i = 0; i < characters.size(); ++i) slot[i + 1] = characters[i];
    slot[15] = 10;
    return slot;
}

}  // namespace

class TicketTest : public QObject {
    Q_OBJECT

private slots:
    void preview_data() {
        QTest::addColumn<QList<int>>("ticked");  // indices 0..3 institution, 4..5 button
        QTest::addColumn<QString>("heading");
        QTest::addColumn<QString>("rest");
        QTest::newRow("nothing ticked") << QList<int>{} << "" << "\n";
        QTest::newRow("first of each") << QList<int>{0, 4} << "ABC\n" << "\nde\n";
        QTest::newRow("gaps skipped") << QList<int>{1, 3, 5} << "Şube\n123456789012345678901234567890\n"
                                      << "\nİkinci\n";
        QTest::newRow("button lines only") << QList<int>{4, 5} << "" << "\nde\nİkinci\n";
    }

    void preview() {
        QFETCH(QList<int>, ticked);
        QFETCH(QString, heading);
        QFETCH(QString, rest);
        TicketLayout layout;
        layout.institution = {line("ABC", false), line("Şube", false), line("x", false),
                              line("123456789012345678901234567890", false)};
        layout.button = {line("de", false), line("İkinci", false)};
        for (int i : ticked) (i < 4 ? layout.institution[size_t(i)] : layout.button[size_t(i - 4)]).ticked = true;
        const PreviewText text = preview_text(layout);
        QCOMPARE(QString::fromStdString(text.heading), heading);
        QCOMPARE(QString::fromStdString(text.rest), rest);
        QCOMPARE(QString::fromStdString(text.whole()), heading + rest);
    }

    void first_frames_of_a_transfer() {
        TicketLayout layout;
        layout.institution[0] = line("A");
        layout.fonts[0] = 8;
        layout.font_ticked[0] = true;
        const auto steps = ticket_transfer(129, layout);
        QVERIFY(steps.ok());
        QCOMPARE(bytes((*steps)[0].frame), (QList<int>{170, 31, 0, 0, 0, 129, 74}));
        QCOMPARE(bytes((*steps)[1].frame), (QList<int>{170, 31, 0, 1, 65, 129, 140}));
        QCOMPARE(bytes((*steps)[2].frame), (QList<int>{170, 31, 0, 2, 0, 129, 76}));
        QCOMPARE(bytes((*steps)[14].frame), (QList<int>{170, 31, 0, 14, 0, 129, 88}));
        QCOMPARE(bytes((*steps)[15].frame), (QList<int>{170, 31, 0, 15, 10, 129, 99}));
        QCOMPARE(bytes((*steps)[16].frame), (QList<int>{170, 31, 1, 0, 0, 129, 75}));
        QCOMPARE(bytes((*steps)[64].frame), (QList<int>{170, 30, 1, 8, 0, 129, 82}));
    }

    void frame_order_and_pauses_data() {
        QTest::addColumn<QList<int>>("ticked_fonts");  // font slots 1..8
        QTest::newRow("no font") << QList<int>{};
        QTest::newRow("every font") << QList<int>{1, 2, 3, 4, 5, 6, 7, 8};
        QTest::newRow("scattered") << QList<int>{2, 3, 8};
    }

    // 64 institution-name frames, fonts 1-2, 32 button-name frames, fonts 3-8;
    // 1 ms after every character frame and after the ESC ! fonts.
    void frame_order_and_pauses() {
        QFETCH(QList<int>, ticked_fonts);
        TicketLayout layout;
        for (int slot = 1; slot <= 8; ++slot) layout.fonts[size_t(slot - 1)] = static_cast<Byte>(100 + slot);
        for (int slot : ticked_fonts) layout.font_ticked[size_t(slot - 1)] = true;
        const auto steps = ticket_transfer(7, layout);
        QVERIFY(steps.ok());
        QCOMPARE(int(steps->size()), 96 + ticked_fonts.size());

        QList<int> expected_order;  // DATA2 * 1000 + DATA3 * 100 + DATA4
        for (int s = 0; s < 4; ++s)
            for (int p = 0; p < 16; ++p) expected_order << 31000 + s * 100 + p;
        for (int slot : ticked_fonts)
            if (slot <= 2) expected_order << 30000 + slot * 100 + 100 + slot;
        for (int s = 0; s < 2; ++s)
            for (int p = 0; p < 16; ++p) expected_order << 32000 + s * 100 + p;
        for (int slot : ticked_fonts)
            if (slot > 2) expected_order << 30000 + slot * 100 + 100 + slot;

        QList<int> order;
        for (const Step& step : *steps) {
            const Frame& f = step.frame;
            order << f[1] * 1000 + f[2] * 100 + f[3];
            QCOMPARE(int(f[4]), 0);  // no line ticked, and DATA5 of a font frame is 0
            QCOMPARE(int(f[5]), 7);
            const bool gs_font = f[1] == 30 && f[2] % 2 == 0;
            QCOMPARE(step.pause_after, gs_font ? milliseconds(0) : milliseconds(1));
        }
        QCOMPARE(order, expected_order);
    }

    void line_slots_data() {
        QTest::addColumn<bool>("button");
        QTest::addColumn<int>("slot");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QList<int>>("expected");
        QTest::newRow("ticked empty line") << false << 2 << QByteArray() << slot_of({});
        QTest::newRow("Turkish letters") << false << 3 << QByteArray("İŞğı") << slot_of({221, 222, 240, 253});
        QTest::newRow("14 characters") << true << 0 << QByteArray("ABCDEFGHIJKLMN")
                                       << slot_of({65, 66, 67, 68, 69, 70, 71, 72, 73, 74, 75, 76, 77, 78});
        QTest::newRow("15 characters, the 15th overwritten")
            << true << 1 << QByteArray("ABCDEFGHIJKLMNO")
            << slot_of({65, 66, 67, 68, 69, 70, 71, 72, 73, 74, 75, 76, 77, 78});
        QTest::newRow("30 characters cut") << false << 0 << QByteArray("ççççççççççççççççççççççççççççç")
                                           << slot_of(QList<int>(14, 231));
    }

    void line_slots() {
        QFETCH(bool, button);
        QFETCH(int, slot);
        QFETCH(QByteArray, text);
        QFETCH(QList<int>, expected);
        TicketLayout layout;
        TicketLine& target = button ? layout.button[size_t(slot)] : layout.institution[size_t(slot)];
        target = {true, text.toStdString()};
        const auto steps = ticket_transfer(0, layout);
        QVERIFY(steps.ok());
        const std::size_t first = (button ? 64 : 0) + 16 * size_t(slot);
        QCOMPARE(slot_bytes(*steps, first), expected);
        int ticked_slots = 0;
        for (std::size_t s = 0; s < 6; ++s) {
            if (slot_bytes(*steps, (s < 4 ? 0 : 64) + 16 * (s % 4)) != QList<int>(16, 0)) ++ticked_slots;
        }
        QCOMPARE(ticked_slots, 1);
    }

    void refusals_data() {
        QTest::addColumn<bool>("button");
        QTest::addColumn<bool>("ticked");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("message");
        const QString check_mark = QStringLiteral("'✓' karakteri gönderilemez!");
        QTest::newRow("in an institution line") << false << true << QByteArray("AB✓") << check_mark;
        QTest::newRow("in a button line") << true << true << QByteArray("✓") << check_mark;
        QTest::newRow("as the 14th character") << false << true << QByteArray("ABCDEFGHIJKLM✓") << check_mark;
        QTest::newRow("as the 15th character, not sent")
            << false << true << QByteArray("ABCDEFGHIJKLMN✓") << QString();
        QTest::newRow("in a cleared line, not sent") << false << false << QByteArray("✓") << QString();
    }

    void refusals() {
        QFETCH(bool, button);
        QFETCH(bool, ticked);
        QFETCH(QByteArray, text);
        QFETCH(QString, message);
        TicketLayout layout;
        (button ? layout.button[1] : layout.institution[1]) = {ticked, text.toStdString()};
        const auto steps = ticket_transfer(130, layout);
        QCOMPARE(steps.ok(), message.isEmpty());
        if (!steps.ok()) QCOMPARE(QString::fromStdString(steps.message()), message);
    }
};

QTEST_APPLESS_MAIN(TicketTest)
#include "tst_ticket.moc"
