#include "protocol/field_value.h"

#include <limits>

namespace vela {
namespace {

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\n'; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

// A field's number, or which way it left the 64-bit range.
enum class Fit { Fits, TooLarge, TooSmall };
struct Reading {
    Fit fit = Fit::Fits;
    std::int64_t value = 0;
};

// The text without its blanks, tabs and line feeds: they may stand anywhere,
// even between the digits ("1 2" is 12, "- 5" is -5).
std::string without_blanks(std::string_view text) {
    std::string kept;
    for (char c : text) {
        if (!is_blank(c)) kept += c;
    }
    return kept;
}

// Reads the decimal number at the start of the text and rounds it half to
// even. The integer part is gathered exactly in 64 bits; only the fraction's
// digits decide the rounding, so no binary fraction ever comes in.
Reading read_number(std::string_view utf8_text) {
    const std::string text = without_blanks(utf8_text);
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // The magnitude may reach 2^63 for a negative number.
    const std::uint64_t limit = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()) +
                                (negative ? 1 : 0);
    const Fit overflow = negative ? Fit::TooSmall : Fit::TooLarge;

    std::uint64_t magnitude = 0;
    bool any_digit = false;
    for (; i < text.size() && is_digit(text[i]); ++i) {
        any_digit = true;
        const std::uint64_t digit = static_cast<std::uint64_t>(text[i] - '0');
        if (magnitude > (limit - digit) / 10) return {overflow, 0};
        magnitude = magnitude * 10 + digit;
    }

    // Fraction: compared against one half digit by digit.
    enum class Half { Below, Exactly, Above };
    Half fraction = Half::Below;
    if (i < text.size() && text[i] == '.') {
        ++i;
        bool first = true;
        for (; i < text.size() && is_digit(text[i]); ++i) {
            any_digit = true;
            const char d = text[i];
            if (first) {
                fraction = d > '5' ? Half::Above : d == '5' ? Half::Exactly : Half::Below;
                first = false;
            } else if (fraction == Half::Exactly && d != '0') {
                fraction = Half::Above;
            }
        }
    }
    if (!any_digit) return {};

    const bool round_up = fraction == Half::Above || (fraction == Half::Exactly && magnitude % 2 == 1);
    if (round_up) {
        if (magnitude == limit) return {overflow, 0};
        ++magnitude;
    }
    if (!negative) return {Fit::Fits, static_cast<std::int64_t>(magnitude)};
    if (magnitude == 0) return {};
    // -(magnitude - 1) - 1 stays inside int64 even for 2^63.
    return {Fit::Fits, -static_cast<std::int64_t>(magnitude - 1) - 1};
}

// The caption as the message names the field: "El Terminal No:" reads
// "El Terminal No".
std::string field_name(std::string_view caption) {
    while (!caption.empty() && (caption.back() == ':' || is_blank(caption.back()))) {
        caption.remove_suffix(1);
    }
    return std::string(caption);
}

std::string range_message(std::string_view caption, std::int64_t maximum) {
    return field_name(caption) + " 0 ile " + std::to_string(maximum) + " arasında olmalı!";
}

}  // namespace

std::optional<std::int64_t> field_value(std::string_view utf8_text) {
    const Reading reading = read_number(utf8_text);
    if (reading.fit != Fit::Fits) return std::nullopt;
    return reading.value;
}

std::uint8_t FieldReader::byte(std::string_view text, std::string_view caption) {
    if (!ok()) return 0;
    const std::optional<std::int64_t> value = field_value(text);
    if (!value || *value < 0 || *value > 255) {
        message_ = range_message(caption, 255);
        return 0;
    }
    return static_cast<std::uint8_t>(*value);
}

std::uint16_t FieldReader::word(std::string_view text, std::string_view caption) {
    if (!ok()) return 0;
    const std::optional<std::int64_t> value = field_value(text);
    if (!value || *value < 0 || *value > 65535) {
        message_ = range_message(caption, 65535);
        return 0;
    }
    return static_cast<std::uint16_t>(*value);
}

std::uint8_t FieldReader::scroll_time(std::string_view text, std::string_view caption) {
    if (!ok()) return 0;
    const Reading reading = read_number(text);
    if (reading.fit == Fit::TooLarge || (reading.fit == Fit::Fits && reading.value > 255)) {
        // The seconds field has no message of its own.
        message_ = "Dakika 256'dan büyük olamaz!";
        return 0;
    }
    if (reading.fit == Fit::TooSmall || reading.value < 0) {
        message_ = range_message(caption, 255);
        return 0;
    }
    return static_cast<std::uint8_t>(reading.value);
}

}  // namespace vela
