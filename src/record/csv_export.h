#pragma once
// A session record as a table for a spreadsheet: CSV as RFC 4180 writes it
// (comma-separated, CRLF line ends, fields quoted where they hold a comma, a
// quote or a line break), in UTF-8 with a byte-order mark so that a
// spreadsheet takes the Turkish letters as they are. One row per event line,
// under a header row: the time to the millisecond, the direction, the event,
// the bytes in decimal and in hexadecimal, the device and the meaning.
#include <cstdint>
#include <ostream>

#include <string>

#include "record/record_reader.h"

namespace vela {

inline constexpr char kCsvHeader[] = "Zaman,Yön,Olay,Baytlar,Baytlar (onaltılı),Cihaz,Anlam";

class CsvWriter {
public:
    // Writes the byte-order mark and the header row.
    explicit CsvWriter(std::ostream& out);
    // One row for each of the record's entries, in their order.
    void take(const RecordEntry& entry);
    // The number of rows under the header.
    std::uint64_t finish();

private:
    std::ostream& out_;
    std::string row_;
    std::uint64_t rows_ = 0;
};

}  // namespace vela
