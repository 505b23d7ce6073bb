// The ticket layout: printer font values and the pauses of the transfer.
#include <QTest>

#include "protocol/printer_font.h"
#include "protocol/ticket.h"

using namespace vela;

class TicketTest : public QObject {
    Q_OBJECT
private slots:
    // ESC ! and GS ! both ways, GS ! from the selected option indices (0 "Normal"),
    // and the labels with their reserved sign position.
    void font_values() {
        for (const auto& [modes, value] : QList<std::pair<PrintModes, int>>{
                 {{}, 0}, {{true, true, true, true, true}, 185}, {{true, false, true, false, true}, 145}}) {
            QCOMPARE(esc_bang_value(modes), value);
            const PrintModes m = print_modes(value);
            QCOMPARE(esc_bang_value(m), value);
            QCOMPARE(m.emphasized, modes.emphasized);
        }
        const auto selected = [](std::initializer_list<int> indices) {
            std::array<bool, 8> options{};
            for (int i : indices) options[size_t(i)] = true;
            return options;
        };
        QCOMPARE(gs_bang_value(selected({}), selected({})), 0);
        QCOMPARE(gs_bang_value(selected({2}), selected({0})), 2);
        QCOMPARE(gs_bang_value(selected({0}), selected({2})), 32);
        QCOMPARE(gs_bang_value(selected({0, 7, 3}), selected({6, 4})), 3 + 16 * 4);
        // GS ! read back: the height in bits 0-2, the width in bits 4-6, bits 3 and 7 in neither.
        for (const auto& [value, height, width] :
             QList<std::tuple<int, int, int>>{{0, 0, 0}, {35, 3, 2}, {119, 7, 7}, {136, 0, 0}, {255, 7, 7}}) {
            QCOMPARE(character_size(value).height, height);
            QCOMPARE(character_size(value).width, width);
        }
        QCOMPARE(esc_bang_text(0) + "|" + esc_bang_text(185) + "|" + esc_bang_text(-5) + "|" + gs_bang_text(119),
                 "27, 33,  0|27, 33,  185|27, 33, -5|29, 33,  119");
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
