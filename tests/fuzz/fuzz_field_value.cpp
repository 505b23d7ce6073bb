// The field-value reader on any text: blanks are ignored wherever they stand,
// a character that cannot continue a number changes nothing, and the checked
// reads keep to their ranges.
#include <string>

#include "fuzz_check.h"
#include "protocol/field_value.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::optional<std::int64_t> value = vela::field_value(text);
    std::string spread = " ";
    for (char c : text) spread += {c, " \t\n"[static_cast<unsigned char>(c) % 3]};
    FUZZ_CHECK(vela::field_value(text + "x") == value && vela::field_value(spread) == value);
    vela::FieldReader byte, word;
    const int b = byte.byte(text, "Alan:"), w = word.word(text, "Alan:");
    FUZZ_CHECK(byte.ok() == (value && *value >= 0 && *value <= 255) && (byte.ok() ? *value == b : b == 0));
    FUZZ_CHECK(word.ok() == (value && *value >= 0 && *value <= 65535) && (word.ok() ? *value == w : w == 0));
    return 0;
}
