#include "sim/installation.h"

#include <algorithm>

#include "sim/character_text.h"
#include "sim/frame_meaning.h"

namespace vela::sim {
namespace {

int two_byte_number(Byte low, Byte high) { return low + 256 * high; }

// A hand terminal after a reset: nothing shown, only the count of resets kept.
void reset(HandTerminalState& terminal) {
    const int resets = terminal.resets + 1;
    terminal = HandTerminalState{};
    terminal.resets = resets;
}

// One character of a ticket line (codes 31 and 32): DATA3 the line slot,
// DATA4 the position, DATA5 the byte.
template <std::size_t Lines>
void store_character(std::array<TicketMachineState::LineSlot, Lines>& lines, const Frame& f) {
    if (f[2] >= Lines || f[3] >= TicketMachineState::kSlotSize) return;
    lines[f[2]][f[3]] = f[4];
}

}  // namespace

std::string DotMatrixState::text() const {
    const int length = text_length.value_or(written_up_to);
    std::string shown;
    for (int i = 0; i < length; ++i) shown += utf8_of_byte(buffer[static_cast<std::size_t>(i)]);
    return shown;
}

void Installation::apply(const Frame& frame) {
    const Addressee to = addressee_of(frame);
    switch (to.device) {
    case Device::HandTerminal: apply_hand_terminal(hand_terminals_[to.address], frame); break;
    case Device::TicketMachine: apply_ticket_machine(ticket_machines_[to.address], frame); break;
    case Device::DotMatrix: apply_dot_matrix(dot_matrices_[to.address], frame); break;
    case Device::MainBoard: apply_main_board(main_boards_[to.address], frame); break;
    case Device::Chime:
        if (frame[2] == 1 || frame[2] == 2) chime_on_ = frame[2] == 1;
        break;
    case Device::Everyone: apply_general(frame); break;
    case Device::Unknown: break;
    }
}

void Installation::apply_hand_terminal(HandTerminalState& t, const Frame& f) {
    using Display = HandTerminalState::Display;
    switch (f[1]) {
    case 85: reset(t); break;
    case 2: t.number = two_byte_number(f[2], f[3]); break;
    case 8: t.waiting = two_byte_number(f[2], f[3]); break;
    case 9: t.waiting = 0; break;
    case 31: t.flash_count = f[2]; break;
    case 4: t.display = Display::Off; break;
    case 5: t.display = Display::Dashes; break;
    case 6: t.display = Display::On; break;
    case 34:
        t.scroll_seconds = f[2];
        t.scroll_minutes = f[3];
        break;
    default: break;
    }
}

void Installation::apply_ticket_machine(TicketMachineState& m, const Frame& f) {
    switch (f[1]) {
    case 15: m.first_ticket = {two_byte_number(f[2], f[3]), f[4]}; break;
    case 17: m.second_ticket = {two_byte_number(f[2], f[3]), f[4]}; break;
    case 18: ++m.no_ticket_count; break;
    case 23: m.data_loads[f[3]] = {f[2], f[4]}; break;
    case 30:
        if (f[2] >= 1 && f[2] <= 8) m.fonts[static_cast<std::size_t>(f[2] - 1)] = f[3];
        break;
    case 31:
        store_character(m.institution, f);
        m.layout_received = true;
        break;
    case 32:
        store_character(m.button, f);
        m.layout_received = true;
        break;
    default: break;
    }
}

void Installation::apply_dot_matrix(DotMatrixState& d, const Frame& f) {
    switch (f[1]) {
    case 20:
        d.buffer[f[3]] = f[4];
        d.written_up_to = std::max(d.written_up_to, f[3] + 1);
        break;
    case 21: d.mode = f[2]; break;
    case 26: d.arrow = f[2]; break;
    case 37: d.buffer_length = f[2]; break;
    case 38:
        d.static_frequency = f[2];
        d.scrolling_frequency = f[3];
        break;
    case 39: d.brightness = f[2]; break;
    case 41: d.text_length = f[3]; break;
    default: break;
    }
}

void Installation::apply_main_board(MainBoardState& b, const Frame& f) {
    switch (f[1]) {
    case 27:
        if (f[3] <= 1) b.ku_enabled[f[2]] = f[3] == 1;
        break;
    case 28: b.arrows[f[2]] = f[3]; break;
    case 34: b.scroll_delay = f[2]; break;
    default: break;
    }
}

void Installation::apply_general(const Frame& f) {
    if (f[1] == 36) {
        loaded_address_ = f[5];
        return;
    }
    ++global_resets_;
    for (auto& [address, terminal] : hand_terminals_) reset(terminal);
}

}  // namespace vela::sim
