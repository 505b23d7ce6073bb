#include "record/printable_text.h"

#include <algorithm>
#include <cstdint>

namespace vela {
namespace {

// The length of the valid UTF-8 sequence at the start of `text`, 0 when
// there is none: no overlong forms, no surrogates, nothing above U+10FFFF.
std::size_t sequence_length(std::string_view text) {
    const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(text[i]); };
    const std::uint8_t lead = byte(0);
    std::size_t length = 0;
    std::uint8_t low = 0x80, high = 0xBF;  // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    }
    if (length == 0 || text.size() < length || byte(1) < low || byte(1) > high) return 0;
    for (std::size_t i = 2; i < length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xBF) return 0;
    }
    return length;
}

void append_code(std::string& text, std::uint8_t byte) {
    constexpr char kDigits[] = "0123456789abcdef";
    text += "\\x";
    text += kDigits[byte >> 4];
    text += kDigits[byte & 0x0F];
}

}  // namespace

std::string printable_text(std::string_view text) {
    std::string shown;
    shown.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const auto lead = static_cast<std::uint8_t>(text[at]);
        const std::size_t length = lead < 0x80 ? 1 : sequence_length(text.substr(at));
        // C0 but the line feed, DEL, and C1 (U+0080 to U+009F, written C2 80 to C2 9F).
        const bool control = (lead < 0x20 && lead != '\n') || lead == 0x7F ||
                             (lead == 0xC2 && length == 2 && static_cast<std::uint8_t>(text[at + 1]) < 0xA0);
        if (length == 0 || control) {
            for (std::size_t i = 0; i < std::max<std::size_t>(length, 1); ++i)
                append_code(shown, static_cast<std::uint8_t>(text[at + i]));
        } else {
            shown.append(text.substr(at, length));
        }
        at += std::max<std::size_t>(length, 1);
    }
    return shown;
}

}  // namespace vela
