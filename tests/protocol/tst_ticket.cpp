// The ticket layout: printer font values and the pauses of the transfer.
#include <QTest>

#include "protocol/printer_font.h"
#include "protocol/ticket.h"

using namespace vela;

class TicketTest : public QObject {
    Q_OBJECT
private slots:
    // ESC ! both ways, every mode read back.
    void esc_bang_data() {
        QTest::addColumn<QList<bool>>("modes");  // font B, emphasized, double height, double width, underline
        QTest::addColumn<int>("value");
        QTest::newRow("none") << QList<bool>(5, false) << 0;
        QTest::newRow("all") << QList<bool>(5, true) << 185;
        QTest::newRow("font B, double height, underline") << QList<bool>{true, false, true, false, true} << 145;
    }
    void esc_bang() {
        QFETCH(QList<bool>, modes);
        QFETCH(int, value);
        QCOMPARE(esc_bang_value({modes[0], modes[1], modes[2], modes[3], modes[4]}), value);
        const PrintModes m = print_modes(value);
        QCOMPARE((QList<bool>{m.font_b, m.emphasized, m.double_height, m.double_width, m.underline}), modes);
    }

    // GS ! read back: the height in bits 0-2, the width in bits 4-6, bits 3 and 7 in neither.
    void character_size_data() {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("width");
        for (const auto& [value, height, width] :
             QList<std::tuple<int, int, int>>{{0, 0, 0}, {35, 3, 2}, {119, 7, 7}, {136, 0, 0}, {255, 7, 7}})
            QTest::addRow("%d", value) << value << height << width;
    }
    void character_size() {
        QFETCH(int, value);
        QTEST(vela::character_size(value).height, "height");
        QTEST(vela::character_size(value).width, "width");
    }

    // The frames themselves are written out where the window sends them; here
    // the pauses: 1 ms after every frame but the GS ! fonts (even slots).
    void transfer_pauses() {
        TicketLayout layout;
        layout.institution[0] = {true, "A"};
        layout.fonts = {8, 0, 0, 0, 0, 0, 0, 3};
        layout.font_ticked = {true, false, false, false, false, false, false, true};
        const auto steps = ticket_transfer(129, layout);
        QCOMPARE(steps->size(), 98u);
        for (const Step& step : *steps)
            QCOMPARE(step.pause_after.count(), step.frame[1] == 30 && step.frame[2] == 8 ? 0 : 1);
    }
};

QTEST_APPLESS_MAIN(TicketTest)
#include "tst_ticket.moc"
