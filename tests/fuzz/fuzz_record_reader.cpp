// The record reader on any text a person may have edited: a byte-order mark
// and CRLF line ends change nothing, every line is either read or refused,
// a line read is written back to the same line, what replay and sending
// again take from a record is what they promise, and a record read in pieces
// reads as a whole.
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
    if (const auto frames = vela::sent_frames(read)) {
        for (const vela::RecordedFrame& sent : *frames) {
            const vela::Frame& f = sent.frame;
            FUZZ_CHECK(f[0] == vela::kStartByte && f[6] == vela::Kontrol_Toplami(f[0], f[1], f[2], f[3], f[4], f[5]));
        }
        FUZZ_CHECK(read.has_header && read.problems.empty() && !frames->empty());
    }

    // Given in two pieces cut anywhere, the reader of big records says the same.
    std::vector<std::size_t> taken;
    vela::SentFramesReader pieces([&taken](vela::RecordedFrame&& frame) { taken.push_back(frame.line); });
    const std::size_t cut = size == 0 ? 0 : data[0] % (size + 1);
    pieces.add(std::string_view(text).substr(0, cut));
    pieces.add(std::string_view(text).substr(cut));
    const std::optional<vela::Refusal> refused = pieces.finish();
    const auto frames = vela::sent_frames(read);
    FUZZ_CHECK(refused ? !frames && refused->message == frames.message() : frames && lines_of(*frames) == taken);
    return 0;
}
