#pragma once
// Plain decimal numbers as they appear in options, prompts, line settings and
// lock files: ASCII digits only, no sign, no blanks, no point.
#include <cstdint>
#include <optional>
#include <string_view>

namespace vela {

// The value of `text` when it is one or more digits and at most `largest`;
// nothing otherwise (also for a number too long for 64 bits).
std::optional<std::uint64_t> decimal_number(std::string_view text, std::uint64_t largest = UINT64_MAX);

}  // namespace vela
