#include "protocol/ticket.h"

#include <algorithm>
#include <span>

#include "protocol/command_codes.h"
#include "protocol/cp1254.h"

namespace vela {
namespace {

using std::chrono::milliseconds;
constexpr milliseconds kPause{1};

// Slot of one line: 0 at position 0, characters 1 to 14, the line feed at
// position 15; all 0 for a line whose box is cleared.
constexpr std::size_t kSlotSize = 16;
constexpr std::size_t kCharactersPerLine = 14;
constexpr Byte kLineFeed = 10;

using Slot = std::array<Byte, kSlotSize>;

// Only the characters that go out are encoded, so a character past the
// fourteenth never causes a refusal.
Result<Slot> line_slot(const TicketLine& line) {
    Slot slot{};
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
std::optional<Refusal> append_lines(Sequence& steps, Byte code, Byte machine,
                                    std::span<const TicketLine> lines) {
    for (std::size_t s = 0; s < lines.size(); ++s) {
        const Result<Slot> slot = line_slot(lines[s]);
        if (!slot) return Refusal{slot.message()};
        for (std::size_t p = 0; p < kSlotSize; ++p) {
            steps.push_back({Komut_Cercevesi(code, static_cast<Byte>(s), static_cast<Byte>(p),
                                             (*slot)[p], machine),
                             kPause});
        }
    }
    return std::nullopt;
}

// Font slot n (1..8) when its box is ticked; the ESC ! slots (odd) are
// followed by the pause, the GS ! slots (even) are not.
void append_font(Sequence& steps, Byte machine, const TicketLayout& layout, std::size_t slot) {
    const std::size_t index = slot - 1;
    if (!layout.font_ticked[index]) return;
    const milliseconds pause = slot % 2 == 1 ? kPause : milliseconds{0};
    steps.push_back(
        {Komut_Cercevesi(code::ticket_transfer::kFont, static_cast<Byte>(slot), layout.fonts[index], 0, machine), pause});
}

}  // namespace

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
    if (auto refusal = append_lines(steps, code::ticket_transfer::kInstitutionCharacter, machine, layout.institution)) return *refusal;
    append_font(steps, machine, layout, 1);
    append_font(steps, machine, layout, 2);
    if (auto refusal = append_lines(steps, code::ticket_transfer::kButtonCharacter, machine, layout.button)) return *refusal;
    for (std::size_t slot = 3; slot <= 8; ++slot) append_font(steps, machine, layout, slot);
    return steps;
}

std::string ticket_step_name(const Frame& frame) {
    static constexpr std::array<const char*, 4> kElements = {"kurum ismi", "buton ismi", "bilet numarası",
                                                             "tarih saat"};
    const std::string prefix = "Bilet Bilgisi: ";
    const int slot = frame[2];
    switch (frame[1]) {
    case code::ticket_transfer::kInstitutionCharacter:
    case code::ticket_transfer::kButtonCharacter:
        return prefix + (frame[1] == code::ticket_transfer::kInstitutionCharacter ? "kurum ismi " : "buton ismi ") + std::to_string(slot + 1) +
               ". satır, karakter " + std::to_string(frame[3]);
    case code::ticket_transfer::kFont:
        if (slot >= 1 && slot <= 8)
            return prefix + kElements[static_cast<std::size_t>((slot - 1) / 2)] + " fontu" +
                   (slot % 2 == 1 ? " (ESC !)" : " (GS !)");
        break;
    }
    return prefix + "bilinmeyen çerçeve";
}

}  // namespace vela
