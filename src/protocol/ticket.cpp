#include "protocol/ticket.h"

#include <algorithm>
#include <span>

#include "protocol/command_codes.h"
#include "protocol/cp1254.h"

namespace vela {
namespace {

using std::chrono::milliseconds;
constexpr milliseconds kPause{1};

// A line's slot is all 0 when its box is cleared. Only the characters that
// go out are encoded, so a character past the fourteenth never causes a
// refusal.
Result<LineSlot> line_slot(const TicketLine& line) {
    LineSlot slot{};
    if (!line.ticked) return slot;
    std::u32string characters = utf8_characters(line.text);
    characters.resize(std::min(characters.size(), kCharactersPerLine));
    const Result<std::vector<Byte>> codes = encode_cp1254_characters(characters);
    if (!codes) return Refusal{codes.message()};
    std::copy(codes->begin(), codes->end(), slot.begin() + 1);
    slot.back() = kLineFeed;
    return slot;
}

// The character frames of one block of lines, slot by slot, position by
// position, each followed by the pause.
std::optional<Refusal> append_lines(Sequence& steps, Byte code, Byte machine, std::span<const TicketLine> lines) {
    for (std::size_t s = 0; s < lines.size(); ++s) {
        const Result<LineSlot> slot = line_slot(lines[s]);
        if (!slot) return Refusal{slot.message()};
        for (std::size_t p = 0; p < kSlotSize; ++p) {
            steps.push_back(
                {Komut_Cercevesi(code, static_cast<Byte>(s), static_cast<Byte>(p), (*slot)[p], machine), kPause});
        }
    }
    return std::nullopt;
}

// Font slot n (1..8) when its box is ticked; the ESC ! slots (odd) are
// followed by the pause, the GS ! slots (even) are not.
void append_font(Sequence& steps, Byte machine, const TicketLayout& layout, std::size_t slot) {
    const std::size_t index = slot - 1;
    if (!layout.font_ticked[index]) return;
    const milliseconds pause = is_esc_bang_slot(static_cast<int>(slot)) ? kPause : milliseconds{0};
    steps.push_back(
        {Komut_Cercevesi(code::ticket_transfer::kFont, static_cast<Byte>(slot), layout.fonts[index], 0, machine),
         pause});
}

}  // namespace

std::string_view element_name(TicketElement element) {
    static constexpr std::array<std::string_view, 4> kNames = {"kurum ismi", "buton ismi", "bilet numarası",
                                                               "tarih saat"};
    return kNames[static_cast<std::size_t>(element)];
}

PreviewText preview_text(const TicketLayout& layout) {
    PreviewText preview;
    for (const TicketLine& line : layout.institution) {
        if (line.ticked) preview.heading += line.text + '\n';
    }
    preview.rest += '\n';  // the separator, also when no heading line is ticked
    for (const TicketLine& line : layout.button) {
        if (line.ticked) preview.rest += line.text + '\n';
    }
    return preview;
}

Result<Sequence> ticket_transfer(Byte machine, const TicketLayout& layout) {
    Sequence steps;
    if (auto refusal = append_lines(steps, code::ticket_transfer::kInstitutionCharacter, machine, layout.institution))
        return *refusal;
    append_font(steps, machine, layout, 1);
    append_font(steps, machine, layout, 2);
    if (auto refusal = append_lines(steps, code::ticket_transfer::kButtonCharacter, machine, layout.button))
        return *refusal;
    for (std::size_t slot = 3; slot <= kFontSlots; ++slot) append_font(steps, machine, layout, slot);
    return steps;
}

std::string ticket_step_name(const Frame& frame) {
    const std::string prefix = "Bilet Bilgisi: ";
    const int slot = frame[2];
    const auto character = [&](TicketElement element) {
        return prefix + std::string(element_name(element)) + " " + std::to_string(slot + 1) + ". satır, karakter " +
               std::to_string(frame[3]);
    };
    switch (frame[1]) {
    case code::ticket_transfer::kInstitutionCharacter: return character(TicketElement::InstitutionName);
    case code::ticket_transfer::kButtonCharacter: return character(TicketElement::ButtonName);
    case code::ticket_transfer::kFont:
        if (is_font_slot(slot))
            return prefix + std::string(element_name(font_element(slot))) + " fontu" +
                   (is_esc_bang_slot(slot) ? " (ESC !)" : " (GS !)");
        break;
    }
    return prefix + "bilinmeyen çerçeve";
}

}  // namespace vela
