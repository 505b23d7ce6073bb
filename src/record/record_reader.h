#pragma once
// Reading a saved session record back: the one reader of the record's format,
// for the simulator's replay and for the console's send-again. A record may
// have passed through a text editor or a spreadsheet, so the reader takes
// what those write back (a byte-order mark, CRLF line ends, a "T" between
// date and time, times without milliseconds or with fewer digits) and refuses
// anything it cannot read with the line's number and the reason, in Turkish,
// instead of dropping it.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "protocol/frame.h"
#include "protocol/result.h"
#include "record/session_record.h"

namespace vela {

// One event line of a record as it was read.
struct RecordEntry {
    std::size_t line = 0;               // counted from 1, the header included
    std::optional<std::int64_t> at_ms;  // on a scale only gaps are taken from; none when the time field is empty
    RecordEvent event = RecordEvent::Port;
    std::vector<Byte> bytes;
    std::string device;
    std::string meaning;
};

// A line that could not be read: its number and why ("256 bir bayt değil").
struct RecordProblem {
    std::size_t line = 0;
    std::string reason;
};

struct ReadRecord {
    bool has_header = false;
    std::vector<RecordEntry> entries;
    std::vector<RecordProblem> problems;  // in line order
};

// Every line of `text`. Empty lines (also those of tabs only) are skipped; a
// line that is not the header nor a well-formed event line is a problem. The
// record has its header when it is the first line that is not empty; a later
// header (records joined one after another) is skipped.
ReadRecord read_record(std::string_view text);

// One message for a refused record: up to ten problems, one a line
// ("satır 12: 256 bir bayt değil"), then how many more there are.
std::string problems_message(const std::vector<RecordProblem>& problems);

// A received delivery, for replay.
struct RecordedDelivery {
    std::size_t line = 0;  // for what replay says about the gap before it
    std::optional<std::int64_t> at_ms;
    std::vector<Byte> bytes;
};

// The received side of a record, for replay: every GELEN line, or a refusal
// when the record is empty ("Kayıt boş."), has no header, has problems
// ("Kayıtta hatalı 12 satır var:" and the problems_message) or no GELEN line.
Result<std::vector<RecordedDelivery>> replay_deliveries(const ReadRecord& record);

// A frame the console sent, for sending again.
struct RecordedFrame {
    std::size_t line = 0;
    std::optional<std::int64_t> at_ms;
    Frame frame{};
    std::string device;
    std::string meaning;
};

// A record read from its text given in pieces cut anywhere: each event line
// goes through the record's one line reader and is handed on as it is read.
// Only the first problems are held, so a big record is never held whole.
class RecordStream {
public:
    using Take = std::function<void(RecordEntry&& entry)>;
    explicit RecordStream(Take take) : take_(std::move(take)) {}

    // The next bytes of the text, cut anywhere.
    void add(std::string_view bytes);
    // A problem the taker finds in the entry it was just handed.
    void problem(std::size_t line, std::string reason);
    // Once every byte is added: why the record is refused as a whole (empty,
    // no header, lines that could not be read, in line order), or nothing.
    // The entries handed on are then not to be used.
    std::optional<Refusal> finish();

private:
    void read_line(std::string_view line);

    ReadRecord record_;  // the header seen, and the line being read
    std::string tail_;   // a line not yet ended
    std::size_t lines_ = 0;
    bool has_lines_ = false;
    std::size_t problem_count_ = 0;
    std::vector<RecordProblem> listed_;
    Take take_;
};

// The sent side of a record, for sending again, from its text given in
// pieces cut anywhere: every GÖNDERILEN line that is a valid frame (seven
// bytes, the start byte, the right check byte) is handed on as it is read.
// finish() refuses the record for the lines that are not ("satır 7: kontrol
// baytı 176 olmalı, 177 yazılmış") and those the reader could not read, in
// line order, or for having no GÖNDERILEN line.
class SentFramesReader {
public:
    using Take = std::function<void(RecordedFrame&& frame)>;
    explicit SentFramesReader(Take take);

    // Also every ÇERÇEVE line that is a valid frame, in line order with the
    // frames sent: the answers a check compares with.
    using TakeRecognised = std::function<void(std::optional<std::int64_t> at_ms, const Frame& frame)>;
    void alsoRecognised(TakeRecognised take) { take_recognised_ = std::move(take); }

    void add(std::string_view bytes) { stream_.add(bytes); }
    std::optional<Refusal> finish();

private:
    std::size_t frames_ = 0;
    Take take_;
    TakeRecognised take_recognised_;
    RecordStream stream_;
};

}  // namespace vela
