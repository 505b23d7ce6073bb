#pragma once
// The ticket layout: its text lines, the print preview and the transfer of the
// layout to one ticket machine.
#include <array>
#include <string>
#include <string_view>

#include "protocol/frame.h"
#include "protocol/result.h"

namespace vela {

// The layout on the line: every text line is one slot of 16 bytes (0, up to
// 14 characters, the line feed), and each of the four printed elements has
// two font slots, ESC ! (odd) then GS ! (even), counted from 1.
inline constexpr std::size_t kInstitutionLines = 4;
inline constexpr std::size_t kButtonLines = 2;
inline constexpr std::size_t kSlotSize = 16;
inline constexpr std::size_t kCharactersPerLine = 14;
inline constexpr Byte kLineFeed = 10;
inline constexpr std::size_t kFontSlots = 8;
using LineSlot = std::array<Byte, kSlotSize>;

constexpr bool is_font_slot(int slot) { return slot >= 1 && slot <= static_cast<int>(kFontSlots); }
constexpr bool is_esc_bang_slot(int slot) { return slot % 2 == 1; }

// The four printed elements, in the order of their font slots.
enum class TicketElement { InstitutionName, ButtonName, TicketNumber, DateTime };

// In the technician's words: "kurum ismi", "buton ismi", "bilet numarası", "tarih saat".
std::string_view element_name(TicketElement element);

// The element of font slot 1..8.
constexpr TicketElement font_element(int slot) { return static_cast<TicketElement>((slot - 1) / 2); }

struct TicketLine {
    bool ticked = false;
    std::string text;  // UTF-8
};

struct TicketLayout {
    std::array<TicketLine, kInstitutionLines> institution;  // "KURUM İSMİ" lines 1..4
    std::array<TicketLine, kButtonLines> button;            // "BUTON İSMİ" lines 1..2
    std::array<Byte, kFontSlots> fonts{};                   // font slots 1..8
    std::array<bool, kFontSlots> font_ticked{};             // their check boxes
};

// The preview: the ticked institution-name lines (the heading), one line feed
// as separator, the ticked button-name lines; every line ends in a line feed.
struct PreviewText {
    std::string heading;  // institution-name block, shown bold and centred
    std::string rest;     // separator and button-name block
    std::string whole() const { return heading + rest; }
};
PreviewText preview_text(const TicketLayout& layout);

// The transfer: 64 institution-name character frames (31), font slots 1-2,
// 32 button-name character frames (32), font slots 3-8 (30), with 1 ms pauses
// after every character frame and after the font frames of slots 1, 3, 5, 7.
// Refused when a character that would be sent has no Windows-1254 code.
Result<Sequence> ticket_transfer(Byte machine, const TicketLayout& layout);

// What a frame of the transfer carries, in the technician's words, e.g.
// "Bilet Bilgisi: kurum ismi 2. satır, karakter 5".
std::string ticket_step_name(const Frame& frame);

}  // namespace vela
