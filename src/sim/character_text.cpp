#include "sim/character_text.h"

#include <optional>

#include "protocol/cp1254.h"

namespace vela::sim {

std::string utf8_of_byte(Byte code) {
    const std::optional<char32_t> character = cp1254_character(code);
    return character ? utf8_text(*character) : "?";
}

// Built by appending: GCC 12 warns falsely (-Wrestrict) about a literal plus
// a temporary string when it inlines the concatenation.
std::string character_text(Byte code) {
    std::string text;
    if (code == 0) {
        text = "boş ";
    } else if (code == 10) {
        text = "satır sonu ";
    } else if (code >= 32 && code != 127 && cp1254_character(code)) {
        text = "'";
        text += utf8_of_byte(code);
        text += "' ";
    }
    text += "(";
    text += std::to_string(code);
    return text += ")";
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
