// The Windows-1254 encoder on any bytes, well-formed UTF-8 or not: one byte
// per character, and each byte stands for the character it was sent for.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz_check.h"
#include "protocol/cp1254.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::u32string characters = vela::utf8_characters(text);
    FUZZ_CHECK(characters.size() <= text.size());

    const auto encoded = vela::encode_cp1254(text);
    if (!encoded) {
        FUZZ_CHECK(!encoded.message().empty());
        return 0;
    }
    FUZZ_CHECK(encoded->size() == characters.size());
    for (std::size_t i = 0; i < characters.size(); ++i) {
        FUZZ_CHECK(vela::cp1254_character((*encoded)[i]) == characters[i]);
    }
    return 0;
}
