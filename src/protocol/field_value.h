#pragma once
// How every numeric input field is read.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "protocol/result.h"

namespace vela {

// The whole number a field's text stands for: blanks, tabs and line feeds are
// ignored wherever they stand, an optional sign, digits, "." as the decimal
// point, reading stops at the first character that cannot continue the number,
// no number at all reads 0; rounded to the nearest whole number, an exact half
// to the even neighbour, decided on the decimal digits. nullopt: the number
// does not fit in 64 bits.
std::optional<std::int64_t> field_value(std::string_view utf8_text);

// Reads the fields of one click in order; the first refusal stands and the
// later reads of that click return 0. Captions are passed as the label shows
// them: a trailing colon and blanks are dropped for the message.
class FieldReader {
public:
    // 0..255, else "<caption> 0 ile 255 arasında olmalı!"
    std::uint8_t byte(std::string_view text, std::string_view caption);
    // 0..65535, else "<caption> 0 ile 65535 arasında olmalı!"
    std::uint16_t word(std::string_view text, std::string_view caption);
    // Minutes or seconds of the hand terminal's scroll time: above 255
    // "Dakika 256'dan büyük olamaz!", below 0 the range message of byte().
    std::uint8_t scroll_time(std::string_view text, std::string_view caption);

    bool ok() const { return message_.empty(); }
    const std::string& message() const { return message_; }

    // The value when every read so far succeeded, else the first refusal.
    template <class T>
    Result<T> result(T value) const {
        if (ok()) return Result<T>(std::move(value));
        return Result<T>(Refusal{message_});
    }

private:
    std::string message_;
};

}  // namespace vela
