// The record reader on any text a person may have edited: a byte-order mark
// and CRLF line ends change nothing, every line is either read or refused,
// a line read is written back to the same line, and what replay and sending
// again take from a record is what they promise, also from a text in pieces.
#include <algorithm>
#include <string>

#include "fuzz_check.h"
#include "record/record_reader.h"

namespace {

template <class Items>
std::vector<std::size_t> lines_of(const Items& items) {
    std::vector<std::size_t> lines;
    for (const auto& item : items) lines.push_back(item.line);
    return lines;
}

bool same(const vela::ReadRecord& a, const vela::ReadRecord& b) {
    return a.has_header == b.has_header && lines_of(a.entries) == lines_of(b.entries) &&
           lines_of(a.problems) == lines_of(b.problems);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const vela::ReadRecord read = vela::read_record(text);
    if (!text.starts_with("\xEF\xBB\xBF")) FUZZ_CHECK(same(read, vela::read_record("\xEF\xBB\xBF" + text)));
    if (text.find('\r') == std::string::npos) {
        std::string crlf;
        for (const char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
        FUZZ_CHECK(same(read, vela::read_record(crlf)));
    }

    std::vector<std::size_t> lines = lines_of(read.entries);
    const std::vector<std::size_t> problems = lines_of(read.problems);
    lines.insert(lines.end(), problems.begin(), problems.end());
    std::sort(lines.begin(), lines.end());
    const auto line_count = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1;
    FUZZ_CHECK(std::adjacent_find(lines.begin(), lines.end()) == lines.end());
    FUZZ_CHECK(lines.empty() || (lines.front() >= 1 && lines.back() <= line_count));

    for (const vela::RecordEntry& entry : read.entries) {
        const std::string line = vela::record_line(std::nullopt, entry.event, entry.bytes, entry.device, entry.meaning);
        const vela::ReadRecord again = vela::read_record(line);
        FUZZ_CHECK(again.problems.empty() && again.entries.size() == 1 && again.entries[0].event == entry.event &&
                   again.entries[0].bytes == entry.bytes && !again.entries[0].at_ms);
    }

    const std::string message = vela::problems_message(read.problems);
    const auto listed = std::min<std::size_t>(read.problems.size(), 10) + (read.problems.size() > 10 ? 1 : 0);
    FUZZ_CHECK(static_cast<std::size_t>(std::count(message.begin(), message.end(), '\n')) + 1 ==
               std::max<std::size_t>(listed, 1));

    if (const auto deliveries = vela::replay_deliveries(read)) {
        FUZZ_CHECK(read.has_header && read.problems.empty() && !deliveries->empty());
    }
    // Cut anywhere, the text gives the same frames or the same refusal, and
    // only a record whose every line was read is sent.
    std::vector<std::size_t> whole, cut_up;
    vela::SentFramesReader at_once([&whole](vela::RecordedFrame&& frame) { whole.push_back(frame.line); });
    vela::SentFramesReader pieces([&cut_up](vela::RecordedFrame&& frame) {
        const vela::Frame& f = frame.frame;
        FUZZ_CHECK(f[0] == vela::kStartByte && f[6] == vela::Kontrol_Toplami(f[0], f[1], f[2], f[3], f[4], f[5]));
        cut_up.push_back(frame.line);
    });
    const std::size_t cut = size == 0 ? 0 : data[0] % (size + 1);
    at_once.add(text);
    pieces.add(std::string_view(text).substr(0, cut));
    pieces.add(std::string_view(text).substr(cut));
    const std::optional<vela::Refusal> refused = pieces.finish(), refused_whole = at_once.finish();
    FUZZ_CHECK(whole == cut_up && refused.has_value() == refused_whole.has_value());
    FUZZ_CHECK(!refused || refused->message == refused_whole->message);
    FUZZ_CHECK(refused || (read.has_header && read.problems.empty() && !cut_up.empty()));
    return 0;
}
