// The Windows-1254 encoder on any bytes, well-formed UTF-8 or not: one byte
// per character, each standing for the character it was sent for.
#include "fuzz_check.h"
#include "protocol/cp1254.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::u32string characters = vela::utf8_characters(text);
    const auto encoded = vela::encode_cp1254(text);
    FUZZ_CHECK(characters.size() <= text.size() && (encoded || !encoded.message().empty()));
    for (std::size_t i = 0; encoded && i < characters.size(); ++i) {
        FUZZ_CHECK(encoded->size() == characters.size() && vela::cp1254_character((*encoded)[i]) == characters[i]);
    }
    return 0;
}
