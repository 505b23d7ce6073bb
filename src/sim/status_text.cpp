// The "durum" printout of the installation.
#include <vector>

#include "protocol/cp1254.h"
#include "protocol/device_name.h"
#include "protocol/ticket.h"
#include "sim/character_text.h"
#include "sim/font_text.h"
#include "sim/frame_meaning.h"
#include "sim/installation.h"
#include "sim/joined.h"

namespace vela::sim {
namespace {

constexpr std::size_t kTicketColumn = 18;  // where the font of a ticket line starts

std::string n(int value) { return std::to_string(value); }

std::string hand_terminal_text(const HandTerminalState& t) {
    using Display = HandTerminalState::Display;
    std::vector<std::string> parts;
    if (t.number) parts.push_back("sayı " + n(*t.number));
    if (t.waiting) parts.push_back(*t.waiting == 0 ? "bekleyen yok" : "bekleyen " + n(*t.waiting));
    if (t.flash_count) parts.push_back("flash " + n(*t.flash_count));
    if (t.scroll_minutes) {
        parts.push_back("kaydırma " + n(*t.scroll_minutes) + " dk " + n(t.scroll_seconds.value_or(0)) + " sn");
    }
    if (t.display == Display::On) parts.emplace_back("display açık");
    if (t.display == Display::Off) parts.emplace_back("display kapalı");
    if (t.display == Display::Dashes) parts.emplace_back("display çizgi (---)");
    if (t.resets > 0) parts.push_back("reset " + n(t.resets) + " kez");
    return joined(parts);
}

// Characters 1..14 of a ticked line (one that ends in the line feed).
std::optional<std::string> printed_line(const LineSlot& slot) {
    if (slot.back() != kLineFeed) return std::nullopt;
    return text_of_bytes(std::vector<Byte>(slot.begin() + 1, slot.end() - 1));
}

// The line with the font of its element: ESC ! and GS ! are the element's two slots.
std::string ticket_line(const std::string& text, const TicketMachineState& m, TicketElement element) {
    const std::size_t esc_slot = 2 * static_cast<std::size_t>(element);
    const Byte esc_bang = m.fonts[esc_slot].value_or(0);
    const Byte gs_bang = m.fonts[esc_slot + 1].value_or(0);
    std::string line = "    " + text;
    const std::size_t width = utf8_characters(text).size();
    line.append(width < kTicketColumn ? kTicketColumn - width : 1, ' ');
    return line + line_font_text(esc_bang, gs_bang) + "\n";
}

std::string ticket_machine_text(const TicketMachineState& m) {
    std::string text;
    if (m.first_ticket) {
        text += "  1. komut: bilet numarası " + n(m.first_ticket->ticket_number) + ", kaçıncı bilet " +
                n(m.first_ticket->which_ticket) + "\n";
    }
    if (m.second_ticket) {
        text += "  2. komut: bekleyen kişi " + n(m.second_ticket->waiting) + ", tekrar " + n(m.second_ticket->repeats) +
                "\n";
    }
    if (m.no_ticket_count > 0) text += "  bilet yok: " + n(m.no_ticket_count) + " kez\n";
    for (const auto& [address, load] : m.data_loads) {
        text += "  bilet datası: adres " + n(address) + " = " + character_text(load.data) + ", sıra no " +
                n(load.sequence) + "\n";
    }
    if (!m.layout_received) return text + "  bilet düzeni alınmadı\n";
    text += "  Bilet:\n";
    for (const auto& slot : m.institution) {
        if (auto line = printed_line(slot)) text += ticket_line(*line, m, TicketElement::InstitutionName);
    }
    for (const auto& slot : m.button) {
        if (auto line = printed_line(slot)) text += ticket_line(*line, m, TicketElement::ButtonName);
    }
    const std::string number = m.first_ticket ? n(m.first_ticket->ticket_number) : "---";
    text += ticket_line("Bilet No: " + number, m, TicketElement::TicketNumber);
    text += ticket_line("GG.AA.YYYY SS:DD", m, TicketElement::DateTime);
    return text;
}

std::string dot_matrix_text(const DotMatrixState& d) {
    std::vector<std::string> parts{"metin \"" + d.text() + "\""};
    if (d.text_length) parts.push_back("uzunluk " + n(*d.text_length));
    if (d.mode) parts.push_back("mod " + display_mode_name(*d.mode));
    if (d.arrow) parts.push_back("ok " + arrow_name(*d.arrow));
    if (d.brightness) parts.push_back("parlaklık " + n(*d.brightness));
    if (d.static_frequency) {
        parts.push_back("frekans sabit " + n(*d.static_frequency) + " kayan " + n(*d.scrolling_frequency));
    }
    if (d.buffer_length) parts.push_back("buffer uzunluğu " + n(*d.buffer_length));
    return joined(parts);
}

std::string main_board_text(const MainBoardState& b) {
    std::vector<std::string> parts;
    for (const auto& [ku, enabled] : b.ku_enabled) {
        parts.push_back("KU " + n(ku) + (enabled ? " enable" : " disable"));
    }
    for (const auto& [ku, arrow] : b.arrows) parts.push_back("KU " + n(ku) + " " + arrow_name(arrow));
    if (b.scroll_delay) parts.push_back("kaydırma gecikmesi " + n(*b.scroll_delay) + " sn");
    return joined(parts);
}

}  // namespace

std::string Installation::status_text() const {
    std::string text = "DURUM\n";
    const std::size_t empty_size = text.size();
    for (const auto& [address, terminal] : hand_terminals_) {
        text += device_name(Device::HandTerminal, address) + ": " + hand_terminal_text(terminal) + "\n";
    }
    for (const auto& [address, machine] : ticket_machines_) {
        text += device_name(Device::TicketMachine, address) + ":\n" + ticket_machine_text(machine);
    }
    for (const auto& [address, display] : dot_matrices_) {
        text += device_name(Device::DotMatrix, address) + ": " + dot_matrix_text(display) + "\n";
    }
    for (const auto& [address, board] : main_boards_) {
        text += device_name(Device::MainBoard, address) + ": " + main_board_text(board) + "\n";
    }
    if (chime_on_) text += device_name(Device::Chime, 0) + ": " + (*chime_on_ ? "açık" : "kapalı") + "\n";
    if (global_resets_ > 0) text += "Global reset: " + n(global_resets_) + " kez\n";
    if (loaded_address_) text += "Yüklenen adres: " + n(*loaded_address_) + "\n";
    if (text.size() == empty_size) text += "Henüz hiçbir cihaza komut gelmedi.\n";
    return text;
}

}  // namespace vela::sim
