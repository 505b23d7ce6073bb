// The ticket layout: printer font values, the print preview and the transfer.
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

    void preview() {
        TicketLayout layout;
        QCOMPARE(preview_text(layout).whole(), "\n");
        layout.institution = {{{true, "ABC"}, {false, "x"}, {false, "y"}, {false, "123456789012345678901234567890"}}};
        layout.button = {{{true, "de"}, {false, "z"}}};
        QCOMPARE(preview_text(layout).whole(), "ABC\n\nde\n");
        layout.institution[3].ticked = true;  // 30 characters, all shown
        QCOMPARE(preview_text(layout).heading, "ABC\n123456789012345678901234567890\n");
    }

    // Machine 129; institution line 1 "A", line 2 empty, line 3 cleared (all 0), button line 2
    // with 15 characters and a character without a code that is never sent; font slots 1 and 8.
    void transfer() {
        TicketLayout layout;
        layout.institution[0] = {true, "A"};
        layout.institution[1] = {true, ""};
        layout.button[1] = {true, "ABCDEFGHIJKLMNO✓"};
        layout.fonts = {8, 0, 0, 0, 0, 0, 0, 3};
        layout.font_ticked = {true, false, false, false, false, false, false, true};
        const auto steps = ticket_transfer(129, layout);
        QCOMPARE(steps->size(), 98u);
        const QList<std::pair<int, QList<int>>> expected = {
            {0, {170, 31, 0, 0, 0, 129, 74}},     {1, {170, 31, 0, 1, 65, 129, 140}},
            {2, {170, 31, 0, 2, 0, 129, 76}},     {14, {170, 31, 0, 14, 0, 129, 88}},
            {15, {170, 31, 0, 15, 10, 129, 99}},  {16, {170, 31, 1, 0, 0, 129, 75}},
            {30, {170, 31, 1, 14, 0, 129, 89}},   {31, {170, 31, 1, 15, 10, 129, 100}},
            {47, {170, 31, 2, 15, 0, 129, 91}},   {64, {170, 30, 1, 8, 0, 129, 82}},
            {65, {170, 32, 0, 0, 0, 129, 75}},    {95, {170, 32, 1, 14, 78, 129, 168}},
            {96, {170, 32, 1, 15, 10, 129, 101}}, {97, {170, 30, 8, 3, 0, 129, 84}}};
        for (const auto& [index, frame] : expected) {
            const Frame& f = (*steps)[size_t(index)].frame;
            QCOMPARE(QList<int>(f.begin(), f.end()), frame);
        }
        // 1 ms after every frame but the GS ! fonts (even slots).
        for (const Step& step : *steps)
            QCOMPARE(step.pause_after.count(), step.frame[1] == 30 && step.frame[2] == 8 ? 0 : 1);
        layout.button[0] = {true, "ABCDEFGHIJKLM✓"};
        QCOMPARE(ticket_transfer(0, layout).message(), "'✓' karakteri gönderilemez!");
    }
};

QTEST_APPLESS_MAIN(TicketTest)
#include "tst_ticket.moc"
