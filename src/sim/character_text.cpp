#include "sim/character_text.h"

#include <optional>

#include "protocol/cp1254.h"

namespace vela::sim {

std::string utf8_of_byte(Byte code) {
    const std::optional<char32_t> character = cp1254_character(code);
    return character ? utf8_text(*character) : "?";
}

namespace {

// What the log shows before the code. Strings are built by construction and
// appending: GCC 12 warns falsely (-Wrestrict) about a literal plus a
// temporary string, or a literal assigned to one, when it inlines them.
std::string name_of(Byte code) {
    if (code == 0) return "boş ";
    if (code == 10) return "satır sonu ";
    if (code < 32 || code == 127 || !cp1254_character(code)) return {};
    std::string quoted = "'";
    quoted += utf8_of_byte(code);
    return quoted += "' ";
}

}  // namespace

std::string character_text(Byte code) {
    std::string text = name_of(code);
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
