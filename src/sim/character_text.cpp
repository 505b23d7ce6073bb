#include "sim/character_text.h"

#include <optional>

#include "protocol/cp1254.h"

namespace vela::sim {

std::string utf8_of_byte(Byte code) {
    const std::optional<char32_t> character = cp1254_character(code);
    return character ? utf8_text(*character) : "?";
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
