#include "sim/character_text.h"

#include <optional>

#include "protocol/cp1254.h"

namespace vela::sim {
namespace {

std::string utf8_of(char32_t c) {
    std::string out;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        // Windows-1254 has nothing beyond the Basic Multilingual Plane.
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

}  // namespace

std::string utf8_of_byte(Byte code) {
    const std::optional<char32_t> character = cp1254_character(code);
    return character ? utf8_of(*character) : "?";
}

std::string character_text(Byte code) {
    const std::string number = "(" + std::to_string(code) + ")";
    if (code == 0) return "boş " + number;
    if (code == 10) return "satır sonu " + number;
    if (code < 32 || code == 127 || !cp1254_character(code)) return number;
    return "'" + utf8_of_byte(code) + "' " + number;
}

std::string text_of_bytes(const std::vector<Byte>& bytes) {
    std::string text;
    for (Byte b : bytes) {
        if (b == 0) break;
        text += utf8_of_byte(b);
    }
    return text;
}

}  // namespace vela::sim
