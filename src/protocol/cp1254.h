#pragma once
// Windows-1254 (Turkish), the single-byte code page of every text the console
// sends to a device.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "protocol/result.h"

namespace vela {

// The byte of one Unicode character, nullopt when the code page lacks it.
std::optional<std::uint8_t> cp1254_byte(char32_t character);

// The Unicode character of one byte, nullopt for a byte without one.
std::optional<char32_t> cp1254_character(std::uint8_t byte);

// Every character of a UTF-8 text to its byte, or the refusal
// "'X' karakteri gönderilemez!" naming the first character without a code.
Result<std::vector<std::uint8_t>> encode_cp1254(std::string_view utf8_text);

// The same for characters already decoded, for callers that send only a part
// of a text.
Result<std::vector<std::uint8_t>> encode_cp1254_characters(std::u32string_view characters);

// One character as UTF-8 text.
std::string utf8_text(char32_t character);

// The characters of a UTF-8 text (code points); the count the devices see.
// A malformed byte is one U+FFFD, which has no code and so is refused.
std::u32string utf8_characters(std::string_view utf8_text);

}  // namespace vela
