#include "protocol/cp1254.h"

#include <array>

namespace vela {
namespace {

// The characters of bytes 0x80 to 0xFF; 0 marks a byte without a character.
// Bytes 0x00 to 0x7F are ASCII. Eight bytes a row, as code page tables print
// them.
// clang-format off
constexpr std::array<char32_t, 128> kUpperHalf = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0,      0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0,      0x0178,
    0x00A0, 0x00A1, 0x00A2, 0x00A3, 0x00A4, 0x00A5, 0x00A6, 0x00A7,
    0x00A8, 0x00A9, 0x00AA, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x00AF,
    0x00B0, 0x00B1, 0x00B2, 0x00B3, 0x00B4, 0x00B5, 0x00B6, 0x00B7,
    0x00B8, 0x00B9, 0x00BA, 0x00BB, 0x00BC, 0x00BD, 0x00BE, 0x00BF,
    0x00C0, 0x00C1, 0x00C2, 0x00C3, 0x00C4, 0x00C5, 0x00C6, 0x00C7,
    0x00C8, 0x00C9, 0x00CA, 0x00CB, 0x00CC, 0x00CD, 0x00CE, 0x00CF,
    0x011E, 0x00D1, 0x00D2, 0x00D3, 0x00D4, 0x00D5, 0x00D6, 0x00D7,
    0x00D8, 0x00D9, 0x00DA, 0x00DB, 0x00DC, 0x0130, 0x015E, 0x00DF,
    0x00E0, 0x00E1, 0x00E2, 0x00E3, 0x00E4, 0x00E5, 0x00E6, 0x00E7,
    0x00E8, 0x00E9, 0x00EA, 0x00EB, 0x00EC, 0x00ED, 0x00EE, 0x00EF,
    0x011F, 0x00F1, 0x00F2, 0x00F3, 0x00F4, 0x00F5, 0x00F6, 0x00F7,
    0x00F8, 0x00F9, 0x00FA, 0x00FB, 0x00FC, 0x0131, 0x015F, 0x00FF,
};
// clang-format on

constexpr char32_t kReplacement = 0xFFFD;

bool is_continuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// The code point of a well-formed sequence starting at text[i] and its length;
// a malformed one (stray continuation, overlong form, surrogate, beyond
// U+10FFFF, cut short) is one replacement character for its first byte.
std::pair<char32_t, std::size_t> decode_one(std::string_view text, std::size_t i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t length = 0;
    char32_t code = 0;
    char32_t smallest = 0;
    if (lead < 0x80) return {lead, 1};
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        code = lead & 0x1F;
        smallest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        code = lead & 0x0F;
        smallest = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        code = lead & 0x07;
        smallest = 0x10000;
    } else {
        return {kReplacement, 1};
    }
    if (i + length > text.size()) return {kReplacement, 1};
    for (std::size_t k = 1; k < length; ++k) {
        const auto c = static_cast<unsigned char>(text[i + k]);
        if (!is_continuation(c)) return {kReplacement, 1};
        code = (code << 6) | (c & 0x3F);
    }
    if (code < smallest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        return {kReplacement, 1};
    }
    return {code, length};
}

}  // namespace

std::string utf8_text(char32_t c) {
    std::string out;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

std::optional<std::uint8_t> cp1254_byte(char32_t character) {
    if (character < 0x80) return static_cast<std::uint8_t>(character);
    for (std::size_t i = 0; i < kUpperHalf.size(); ++i) {
        if (kUpperHalf[i] == character) return static_cast<std::uint8_t>(0x80 + i);
    }
    return std::nullopt;
}

std::optional<char32_t> cp1254_character(std::uint8_t byte) {
    if (byte < 0x80) return byte;
    const char32_t character = kUpperHalf[byte - 0x80];
    if (character == 0) return std::nullopt;
    return character;
}

std::u32string utf8_characters(std::string_view utf8_text) {
    std::u32string characters;
    for (std::size_t i = 0; i < utf8_text.size();) {
        const auto [code, length] = decode_one(utf8_text, i);
        characters += code;
        i += length;
    }
    return characters;
}

namespace {

// Built by appending: GCC 12 warns falsely (-Wrestrict) about a literal plus
// a temporary string when it inlines the concatenation.
Refusal refusal_of(char32_t character) {
    std::string message = "'";
    message += utf8_text(character);
    message += "' karakteri gönderilemez!";
    return Refusal{message};
}

}  // namespace

Result<std::vector<std::uint8_t>> encode_cp1254_characters(std::u32string_view characters) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(characters.size());
    for (char32_t c : characters) {
        const std::optional<std::uint8_t> byte = cp1254_byte(c);
        if (!byte) return refusal_of(c);
        bytes.push_back(*byte);
    }
    return bytes;
}

Result<std::vector<std::uint8_t>> encode_cp1254(std::string_view utf8_text) {
    return encode_cp1254_characters(utf8_characters(utf8_text));
}

}  // namespace vela
