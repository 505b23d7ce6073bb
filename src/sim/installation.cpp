#include "sim/installation.h"

#include <algorithm>

#include "protocol/command_codes.h"
#include "sim/character_text.h"
#include "sim/frame_meaning.h"

namespace vela::sim {
namespace {

// A hand terminal after a reset: nothing shown, only the count of resets kept.
void reset(HandTerminalState& terminal) {
    const int resets = terminal.resets + 1;
    terminal = HandTerminalState{};
    terminal.resets = resets;
}

// One character of a ticket line (institution or button name): DATA3 the line slot,
// DATA4 the position, DATA5 the byte.
template <std::size_t Lines>
void store_character(std::array<LineSlot, Lines>& lines, const Frame& f) {
    if (f[2] >= Lines || f[3] >= kSlotSize) return;
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
        if (frame[2] == code::chime::kOn || frame[2] == code::chime::kOff) {
            chime_on_ = frame[2] == code::chime::kOn;
        }
        break;
    case Device::Everyone: apply_general(frame); break;
    case Device::Unknown: break;
    }
}

void Installation::apply_hand_terminal(HandTerminalState& t, const Frame& f) {
    using Display = HandTerminalState::Display;
    namespace terminal = code::hand_terminal;
    switch (f[1]) {
    case terminal::kReset: reset(t); break;
    case terminal::kShowNumber: t.number = join_two_bytes(f[2], f[3]); break;
    case terminal::kWaitingCount: t.waiting = join_two_bytes(f[2], f[3]); break;
    case terminal::kNobodyWaiting: t.waiting = 0; break;
    case terminal::kFlashCount: t.flash_count = f[2]; break;
    case terminal::kDisplayOff: t.display = Display::Off; break;
    case terminal::kDisplayDashes: t.display = Display::Dashes; break;
    case terminal::kDisplayOn: t.display = Display::On; break;
    case terminal::kScrollTime:
        t.scroll_seconds = f[2];
        t.scroll_minutes = f[3];
        break;
    default: break;
    }
}

void Installation::apply_ticket_machine(TicketMachineState& m, const Frame& f) {
    namespace ticket = code::ticket_machine;
    namespace transfer = code::ticket_transfer;
    switch (f[1]) {
    case ticket::kFirstTicket: m.first_ticket = {join_two_bytes(f[2], f[3]), f[4]}; break;
    case ticket::kSecondTicket: m.second_ticket = {join_two_bytes(f[2], f[3]), f[4]}; break;
    case ticket::kNoTicket: ++m.no_ticket_count; break;
    case ticket::kLoadTicketData: m.data_loads[f[3]] = {f[2], f[4]}; break;
    case transfer::kFont:
        if (is_font_slot(f[2])) m.fonts[static_cast<std::size_t>(f[2] - 1)] = f[3];
        break;
    case transfer::kInstitutionCharacter:
        store_character(m.institution, f);
        m.layout_received = true;
        break;
    case transfer::kButtonCharacter:
        store_character(m.button, f);
        m.layout_received = true;
        break;
    default: break;
    }
}

void Installation::apply_dot_matrix(DotMatrixState& d, const Frame& f) {
    namespace matrix = code::dot_matrix;
    switch (f[1]) {
    case matrix::kCharacter:
        d.buffer[f[3]] = f[4];
        d.written_up_to = std::max(d.written_up_to, f[3] + 1);
        break;
    case matrix::kMode: d.mode = f[2]; break;
    case matrix::kArrow: d.arrow = f[2]; break;
    case matrix::kBufferLength: d.buffer_length = f[2]; break;
    case matrix::kFrequencies:
        d.static_frequency = f[2];
        d.scrolling_frequency = f[3];
        break;
    case matrix::kBrightness: d.brightness = f[2]; break;
    case matrix::kTextLength: d.text_length = f[3]; break;
    default: break;
    }
}

void Installation::apply_main_board(MainBoardState& b, const Frame& f) {
    namespace board = code::main_board;
    switch (f[1]) {
    case board::kKu:
        if (f[3] == board::kEnable || f[3] == board::kDisable) b.ku_enabled[f[2]] = f[3] == board::kEnable;
        break;
    case board::kArrow: b.arrows[f[2]] = f[3]; break;
    case board::kScrollDelay: b.scroll_delay = f[2]; break;
    default: break;
    }
}

void Installation::apply_general(const Frame& f) {
    if (f[1] == code::general::kLoadAddress) {
        loaded_address_ = f[5];
        return;
    }
    ++global_resets_;
    for (auto& [address, terminal] : hand_terminals_) reset(terminal);
}

}  // namespace vela::sim
