#pragma once
// The file --script runs, read whole before the line opens.
#include <string>

#include "protocol/result.h"

namespace vela::sim {

// The longest script read: far beyond any written by hand, and a device or a
// wrong file of gigabytes is refused instead of read.
constexpr std::size_t kLongestScript = 1 << 20;

// The text of the script at `path`, or why it is not run: it cannot be
// opened, is a folder, a device or a FIFO (opened without waiting for a
// writer), or is longer than kLongestScript.
Result<std::string> read_script_file(const std::string& path);

}  // namespace vela::sim
