#pragma once
// The ticket layout: its text lines, the print preview and the transfer of the
// layout to one ticket machine.
#include <array>
#include <string>

#include "protocol/frame.h"
#include "protocol/result.h"

namespace vela {

struct TicketLine {
    bool ticked = false;
    std::string text;  // UTF-8
};

struct TicketLayout {
    std::array<TicketLine, 4> institution;  // "KURUM İSMİ" lines 1..4
    std::array<TicketLine, 2> button;       // "BUTON İSMİ" lines 1..2
    std::array<Byte, 8> fonts{};            // font slots 1..8: ESC !, GS ! per element
    std::array<bool, 8> font_ticked{};      // their check boxes
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
