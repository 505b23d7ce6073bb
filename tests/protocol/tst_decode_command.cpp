// Command frames read back: every builder's frame decodes to the device, its
// number and the values that built it; the device type follows the code and
// the number together.
#include <QTest>

#include "protocol/decoded_command.h"

using namespace vela;
using Decoded = std::optional<DecodedCommand>;

namespace {

Decoded in_range(Device device, Byte number, Command command) { return DecodedCommand{device, number, true, command}; }
Decoded out_of_range(Device device, Byte number, Command command) {
    return DecodedCommand{device, number, false, command};
}

// Institution line 2 "AB", button lines cleared, font slots 1 and 4 ticked:
// 64 institution frames (slot by slot, position by position), slot 1, 32
// button frames, slot 4.
Sequence ticket_steps() {
    TicketLayout layout;
    layout.institution[1] = {true, "AB"};
    layout.fonts[0] = 185;
    layout.fonts[3] = 119;
    layout.font_ticked[0] = layout.font_ticked[3] = true;
    return *ticket_transfer(130, layout);
}

}  // namespace

class DecodeCommandTest : public QObject {
    Q_OBJECT
private slots:
    void round_trip_data() {
        QTest::addColumn<Frame>("frame");
        QTest::addColumn<Decoded>("decoded");
        using enum Device;
        using dot_matrix::Mode;
        namespace t = hand_terminal;
        namespace m = ticket_machine;
        namespace b = main_board;
        namespace d = dot_matrix;
        const auto row = [](const char* name, const Frame& frame, const Decoded& decoded) {
            QTest::newRow(name) << frame << decoded;
        };
        row("reset", t::reset(5), in_range(HandTerminal, 5, t::Reset{}));
        row("show number", t::show_number(5, 300), in_range(HandTerminal, 5, t::ShowNumber{300}));
        row("nobody waiting", t::nobody_waiting(0), in_range(HandTerminal, 0, t::NobodyWaiting{}));
        row("waiting count", t::waiting_count(32, 65535), in_range(HandTerminal, 32, t::WaitingCount{65535}));
        row("flash count", t::flash_count(4, 3), in_range(HandTerminal, 4, t::FlashCount{3}));
        row("display off", t::display_off(1), in_range(HandTerminal, 1, t::DisplayOff{}));
        row("display dashes", t::display_dashes(1), in_range(HandTerminal, 1, t::DisplayDashes{}));
        row("display on", t::display_on(0), in_range(HandTerminal, 0, t::DisplayOn{}));
        row("scroll time", t::scroll_time(3, 1, 30), in_range(HandTerminal, 3, t::ScrollTime{1, 30}));
        row("first ticket", m::first_ticket(130, 300, 1), in_range(TicketMachine, 130, m::FirstTicket{300, 1}));
        row("second ticket", m::second_ticket(144, 999, 200), in_range(TicketMachine, 144, m::SecondTicket{999, 200}));
        row("no ticket", m::no_ticket(129), in_range(TicketMachine, 129, m::NoTicket{}));
        row("ticket data", m::load_ticket_data(130, 65, 10, 3),
            in_range(TicketMachine, 130, m::LoadTicketData{65, 10, 3}));
        const Sequence ticket = ticket_steps();
        row("institution character", ticket[17].frame,
            in_range(TicketMachine, 130, m::LineCharacter{TicketElement::InstitutionName, 1, 1, 'A'}));
        row("font slot 1", ticket[64].frame, in_range(TicketMachine, 130, m::FontSlot{1, 185}));
        row("button character", ticket[96].frame,
            in_range(TicketMachine, 130, m::LineCharacter{TicketElement::ButtonName, 1, 15, 0}));
        row("font slot 4", ticket[97].frame, in_range(TicketMachine, 130, m::FontSlot{4, 119}));
        row("global reset", general::global_reset(), in_range(Everyone, 0, general::GlobalReset{}));
        row("load address", general::load_address(130), in_range(Everyone, 130, general::LoadAddress{130}));
        row("ku enable", b::ku_enable(201, 5), in_range(MainBoard, 201, b::Ku{5, 1}));
        row("ku disable", b::ku_disable(244, 0), in_range(MainBoard, 244, b::Ku{0, 0}));
        row("board arrow", b::arrow(201, 5, Arrow::Left), in_range(MainBoard, 201, b::KuArrow{5, Arrow::Left}));
        row("scroll delay", b::scroll_delay(201, 255), in_range(MainBoard, 201, b::ScrollDelay{255}));
        row("chime on", chime::on(), in_range(Chime, 0, chime::Switch{1}));
        row("chime off", chime::off(), in_range(Chime, 0, chime::Switch{2}));
        row("mode", d::mode(7, Mode::ScrollingTextContinuously),
            in_range(DotMatrix, 7, d::DisplayMode{Mode::ScrollingTextContinuously}));
        row("matrix arrow", d::arrow(48, Arrow::Off), in_range(DotMatrix, 48, d::DirectionArrow{Arrow::Off}));
        row("buffer length", d::buffer_length(1, 255), in_range(DotMatrix, 1, d::BufferLength{255}));
        row("frequencies", d::frequencies(3, 10, 20), in_range(DotMatrix, 3, d::Frequencies{10, 20}));
        row("brightness", d::brightness(2, 100), in_range(DotMatrix, 2, d::Brightness{100}));
        row("last character", Karakter_Cercevesi(221, 256, 48), in_range(DotMatrix, 48, d::Character{256, 221}));
        const Sequence text = *d::text_transfer(5, "AB");
        row("text: first character", text[1].frame, in_range(DotMatrix, 5, d::Character{1, 'A'}));
        row("text: length", text[4].frame, in_range(DotMatrix, 5, d::TextLength{2}));

        // Edges: the same code on other types, numbers no range holds, codes
        // no type reads, bytes that are no frame.
        const auto f = Komut_Cercevesi;
        row("31 on a ticket machine", f(31, 3, 2, 221, 129),
            in_range(TicketMachine, 129, m::LineCharacter{TicketElement::InstitutionName, 3, 2, 221}));
        row("34 out of every range", f(34, 0, 0, 0, 100), out_of_range(HandTerminal, 100, t::ScrollTime{0, 0}));
        row("reset pattern to 100", f(85, 170, 85, 170, 100), out_of_range(HandTerminal, 100, t::Reset{}));
        row("85 without the pattern", f(85, 0, 0, 0, 1), out_of_range(Unknown, 1, UnknownCommand{85}));
        row("unknown code", f(99, 1, 2, 3, 5), out_of_range(Unknown, 5, UnknownCommand{99}));
        row("chime with a number", f(29, 7, 0, 0, 3), out_of_range(Chime, 3, chime::Switch{7}));
        row("bad check byte", Frame{170, 2, 44, 1, 0, 5, 223}, std::nullopt);
    }
    void round_trip() {
        QFETCH(Frame, frame);
        QFETCH(Decoded, decoded);
        QVERIFY(decode_command(frame) == decoded);
    }
};

QTEST_APPLESS_MAIN(DecodeCommandTest)
#include "tst_decode_command.moc"
