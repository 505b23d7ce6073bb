#include "record/csv_export.h"

#include <string>
#include <string_view>

#include "record/session_record.h"

namespace vela {
namespace {

constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";
constexpr char kLineEnd[] = "\r\n";

// Appends one field; every field but the first follows a comma.
void field(std::string& row, std::string_view text, bool first = false) {
    if (!first) row += ',';
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        row += text;
        return;
    }
    row += '"';
    for (const char c : text) {
        if (c == '"') row += '"';
        row += c;
    }
    row += '"';
}

std::string_view direction(RecordEvent event) {
    switch (event) {
    case RecordEvent::Sent: return "giden";
    case RecordEvent::Received:
    case RecordEvent::Recognised: return "gelen";
    default: return "";
    }
}

std::string hexadecimal(const std::vector<Byte>& bytes) {
    constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (const Byte b : bytes) {
        if (!text.empty()) text += ' ';
        text += kDigits[b >> 4];
        text += kDigits[b & 0xF];
    }
    return text;
}

}  // namespace

CsvWriter::CsvWriter(std::ostream& out) : out_(out) { out_ << kByteOrderMark << kCsvHeader << kLineEnd; }

void CsvWriter::take(const RecordEntry& entry) {
    row_.clear();
    field(row_, entry.at_ms ? record_time_text(*entry.at_ms) : std::string{}, true);
    field(row_, direction(entry.event));
    field(row_, kEventWords[static_cast<std::size_t>(entry.event)]);
    field(row_, bytes_text(entry.bytes));
    field(row_, hexadecimal(entry.bytes));
    field(row_, entry.device);
    field(row_, entry.meaning);
    row_ += kLineEnd;
    out_ << row_;
    ++rows_;
}

std::uint64_t CsvWriter::finish() {
    out_.flush();
    return rows_;
}

}  // namespace vela
