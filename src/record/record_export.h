#pragma once
// A saved session record exported for other tools: a capture for Wireshark
// (.pcapng) or a table for a spreadsheet (.csv), chosen by the name of the
// file written. The record is read with the record's one reader, in pieces,
// twice: once to refuse it as a whole with the reader's line-numbered reasons
// before anything is written, once to write. What is written goes to a new
// file beside the target, which takes the target's name only when it is
// whole: a refused record or a failed write leaves nothing behind.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "protocol/result.h"

namespace vela {

enum class ExportFormat { Pcapng, Csv };

// By the name's ending, ".pcapng" or ".csv" in any case.
std::optional<ExportFormat> export_format_of(std::string_view path);

// Writes the record at `record` to `target`; the number of packets or rows
// written, or why nothing was.
Result<std::uint64_t> export_record(const std::string& record, const std::string& target);

}  // namespace vela
