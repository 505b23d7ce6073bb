// The field-value reader on any text a field can hold: besides not crashing,
// blanks are ignored wherever they stand, a character that cannot continue a
// number changes nothing, and the checked reads stay in their ranges.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "protocol/field_value.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::optional<std::int64_t> value = vela::field_value(text);

    FUZZ_CHECK(vela::field_value(text + "x") == value);
    std::string spread;
    for (char c : text) {
        spread += c;
        spread += " \t\n"[static_cast<unsigned char>(c) % 3];
    }
    FUZZ_CHECK(vela::field_value(" " + spread) == value);

    vela::FieldReader byte;
    const std::uint8_t b = byte.byte(text, "Alan:");
    FUZZ_CHECK(byte.ok() == (value && *value >= 0 && *value <= 255));
    FUZZ_CHECK(byte.ok() ? *value == b : b == 0);

    vela::FieldReader word;
    const std::uint16_t w = word.word(text, "Alan:");
    FUZZ_CHECK(word.ok() == (value && *value >= 0 && *value <= 65535));
    FUZZ_CHECK(word.ok() ? *value == w : w == 0);

    vela::FieldReader scroll;
    const std::uint8_t s = scroll.scroll_time(text, "Dakika:");
    FUZZ_CHECK(scroll.ok() == byte.ok());
    FUZZ_CHECK(s == b);
    return 0;
}
