#pragma once
// Bytes of texts sent to devices, back to readable UTF-8.
#include <string>
#include <vector>

#include "protocol/frame.h"

namespace vela::sim {

// The UTF-8 text of one Windows-1254 byte; "?" for a byte without a character.
std::string utf8_of_byte(Byte code);

// A character as the log shows it: 'A' (65); a control byte only as its code
// and name where it has one: boş (0), satır sonu (10).
std::string character_text(Byte code);

// Bytes up to the first 0, as UTF-8.
std::string text_of_bytes(const std::vector<Byte>& bytes);

}  // namespace vela::sim
