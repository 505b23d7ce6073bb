#include "sim/installation.h"

#include <algorithm>

#include "protocol/command_codes.h"
#include "sim/character_text.h"

namespace vela::sim {
namespace {

// A hand terminal after a reset: nothing shown, only the count of resets kept.
void reset(HandTerminalState& terminal) {
    const int resets = terminal.resets + 1;
    terminal = HandTerminalState{};
    terminal.resets = resets;
}

// One byte of a ticket line (institution or button name) at its slot and position.
template <std::size_t Lines>
void store_character(std::array<LineSlot, Lines>& lines, const ticket_machine::LineCharacter& c) {
    if (c.line >= Lines || c.position >= kSlotSize) return;
    lines[c.line][c.position] = c.code;
}

}  // namespace

std::string DotMatrixState::text() const {
    const int length = text_length.value_or(written_up_to);
    std::string shown;
    for (int i = 0; i < length; ++i) shown += utf8_of_byte(buffer[static_cast<std::size_t>(i)]);
    return shown;
}

void Installation::apply(const DecodedCommand& decoded) {
    using Display = HandTerminalState::Display;
    using ticket_machine::LineCharacter;
    // The state of the addressed device, made on its first command.
    const auto terminal = [&]() -> HandTerminalState& { return hand_terminals_[decoded.number]; };
    const auto machine = [&]() -> TicketMachineState& { return ticket_machines_[decoded.number]; };
    const auto display = [&]() -> DotMatrixState& { return dot_matrices_[decoded.number]; };
    const auto board = [&]() -> MainBoardState& { return main_boards_[decoded.number]; };
    std::visit(overloaded{
                   [&](const hand_terminal::Reset&) { reset(terminal()); },
                   [&](const hand_terminal::ShowNumber& c) { terminal().number = c.number; },
                   [&](const hand_terminal::WaitingCount& c) { terminal().waiting = c.waiting; },
                   [&](const hand_terminal::NobodyWaiting&) { terminal().waiting = 0; },
                   [&](const hand_terminal::FlashCount& c) { terminal().flash_count = c.count; },
                   [&](const hand_terminal::DisplayOff&) { terminal().display = Display::Off; },
                   [&](const hand_terminal::DisplayDashes&) { terminal().display = Display::Dashes; },
                   [&](const hand_terminal::DisplayOn&) { terminal().display = Display::On; },
                   [&](const hand_terminal::ScrollTime& c) {
                       terminal().scroll_seconds = c.seconds;
                       terminal().scroll_minutes = c.minutes;
                   },
                   [&](const ticket_machine::FirstTicket& c) { machine().first_ticket = c; },
                   [&](const ticket_machine::SecondTicket& c) { machine().second_ticket = c; },
                   [&](const ticket_machine::NoTicket&) { ++machine().no_ticket_count; },
                   [&](const ticket_machine::LoadTicketData& c) {
                       machine().data_loads[c.address] = {c.data, c.sequence};
                   },
                   [&](const ticket_machine::FontSlot& c) {
                       TicketMachineState& m = machine();
                       if (is_font_slot(c.slot)) m.fonts[static_cast<std::size_t>(c.slot - 1)] = c.value;
                   },
                   [&](const LineCharacter& c) {
                       TicketMachineState& m = machine();
                       if (c.element == TicketElement::InstitutionName) store_character(m.institution, c);
                       if (c.element == TicketElement::ButtonName) store_character(m.button, c);
                       m.layout_received = true;
                   },
                   [&](const dot_matrix::Character& c) {
                       DotMatrixState& d = display();
                       d.buffer[static_cast<std::size_t>(c.position - 1)] = c.code;
                       d.written_up_to = std::max(d.written_up_to, c.position);
                   },
                   [&](const dot_matrix::DisplayMode& c) { display().mode = static_cast<Byte>(c.mode); },
                   [&](const dot_matrix::DirectionArrow& c) { display().arrow = static_cast<Byte>(c.arrow); },
                   [&](const dot_matrix::BufferLength& c) { display().buffer_length = c.length; },
                   [&](const dot_matrix::Frequencies& c) {
                       display().static_frequency = c.static_text;
                       display().scrolling_frequency = c.scrolling_text;
                   },
                   [&](const dot_matrix::Brightness& c) { display().brightness = c.brightness; },
                   [&](const dot_matrix::TextLength& c) { display().text_length = c.length; },
                   [&](const main_board::Ku& c) {
                       MainBoardState& b = board();
                       if (c.state == code::main_board::kEnable || c.state == code::main_board::kDisable)
                           b.ku_enabled[c.ku] = c.state == code::main_board::kEnable;
                   },
                   [&](const main_board::KuArrow& c) { board().arrows[c.ku] = static_cast<Byte>(c.arrow); },
                   [&](const main_board::ScrollDelay& c) { board().scroll_delay = c.seconds; },
                   [&](const chime::Switch& c) {
                       if (c.state == code::chime::kOn || c.state == code::chime::kOff)
                           chime_on_ = c.state == code::chime::kOn;
                   },
                   [&](const general::LoadAddress& c) { loaded_address_ = c.address; },
                   [&](const general::GlobalReset&) {
                       ++global_resets_;
                       for (auto& [address, t] : hand_terminals_) reset(t);
                   },
                   [](const UnknownCommand&) {},
               },
               decoded.command);
}

}  // namespace vela::sim
