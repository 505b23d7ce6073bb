#include "record/record_reader.h"

#include <algorithm>
#include <chrono>
#include <span>
#include <variant>

#include "protocol/decimal.h"
#include "record/printable_text.h"

namespace vela {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::size_t kFieldCount = 5;
constexpr std::size_t kListedProblems = 10;
constexpr char kNoSentFrame[] = "Kayıtta gönderilmiş çerçeve (GÖNDERILEN satırı) yok.";

std::vector<std::string_view> split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    for (std::size_t start = 0;;) {
        const std::size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end - start));
        if (end == std::string_view::npos) return parts;
        start = end + 1;
    }
}

std::string_view word_of(RecordEvent event) { return kEventWords[static_cast<std::size_t>(event)]; }

std::optional<RecordEvent> event_of(std::string_view word) {
    const auto found = std::find(kEventWords.begin(), kEventWords.end(), word);
    if (found == kEventWords.end()) return std::nullopt;
    return static_cast<RecordEvent>(found - kEventWords.begin());
}

// The number in text[at, at + digits), within 0..largest.
std::optional<int> number_at(std::string_view text, std::size_t at, std::size_t digits, int largest) {
    const auto value = decimal_number(text.substr(at, digits), static_cast<std::uint64_t>(largest));
    return value ? std::optional<int>(static_cast<int>(*value)) : std::nullopt;
}

// "2026-03-07 14:32:05.127" as the record writes it, and what a spreadsheet
// writes back: "T" for the blank, no fraction or one of one or two digits, a
// decimal comma. Leap seconds are refused: the record's clock never shows one.
std::optional<std::int64_t> time_ms(std::string_view text) {
    constexpr std::size_t kSecondsEnd = 19;
    if (text.size() < kSecondsEnd || text[4] != '-' || text[7] != '-' || (text[10] != ' ' && text[10] != 'T') ||
        text[13] != ':' || text[16] != ':') {
        return std::nullopt;
    }
    int milli = 0;
    if (text.size() > kSecondsEnd) {
        const std::string_view fraction = text.substr(kSecondsEnd + 1);
        if ((text[kSecondsEnd] != '.' && text[kSecondsEnd] != ',') || fraction.empty() || fraction.size() > 3)
            return std::nullopt;
        const auto value = decimal_number(fraction, 999);
        if (!value) return std::nullopt;
        milli = static_cast<int>(*value);
        for (std::size_t digits = fraction.size(); digits < 3; ++digits) milli *= 10;
    }
    const auto year = number_at(text, 0, 4, 9999);
    const auto month = number_at(text, 5, 2, 12);
    const auto day = number_at(text, 8, 2, 31);
    const auto hour = number_at(text, 11, 2, 23);
    const auto minute = number_at(text, 14, 2, 59);
    const auto second = number_at(text, 17, 2, 59);
    if (!year || !month || !day || !hour || !minute || !second) return std::nullopt;
    using namespace std::chrono;
    const year_month_day date{std::chrono::year{*year}, std::chrono::month{static_cast<unsigned>(*month)},
                              std::chrono::day{static_cast<unsigned>(*day)}};
    if (!date.ok()) return std::nullopt;
    const auto at = sys_days{date} + hours{*hour} + minutes{*minute} + seconds{*second} + milliseconds{milli};
    return duration_cast<milliseconds>(at.time_since_epoch()).count();
}

bool needs_bytes(RecordEvent event) {
    return event == RecordEvent::Sent || event == RecordEvent::Received || event == RecordEvent::Recognised;
}

// The entry of an event line, or why it is not one.
std::variant<RecordEntry, std::string> read_entry(std::string_view line) {
    const std::vector<std::string_view> fields = split(line, '\t');
    if (fields.size() != kFieldCount) {
        return std::to_string(kFieldCount) + " alan olmalı, " + std::to_string(fields.size()) + " var";
    }
    RecordEntry entry;
    if (!fields[0].empty()) {
        entry.at_ms = time_ms(fields[0]);
        if (!entry.at_ms) return "zaman okunamadı: " + printable_text(fields[0]);
    }
    const std::optional<RecordEvent> event = event_of(fields[1]);
    if (!event) return "bilinmeyen olay: " + printable_text(fields[1]);
    entry.event = *event;
    if (fields[2].empty()) {
        if (needs_bytes(*event)) return std::string(word_of(*event)) + " satırında bayt yok";
    } else {
        for (const std::string_view number : split(fields[2], ' ')) {
            if (number.empty()) return "baytlar tek boşlukla ayrılmalı";
            const auto value = decimal_number(number, 255);
            if (!value) return printable_text(number) + " bir bayt değil";
            entry.bytes.push_back(static_cast<Byte>(*value));
        }
    }
    entry.device = fields[3];
    entry.meaning = fields[4];
    return entry;
}

// "satır 12: 256 bir bayt değil" for the first problems listed, then how
// many of `total` are not.
std::string listed_problems(std::span<const RecordProblem> problems, std::size_t total) {
    std::string message;
    for (std::size_t i = 0; i < problems.size() && i < kListedProblems; ++i) {
        if (i > 0) message += '\n';
        message += "satır " + std::to_string(problems[i].line) + ": " + problems[i].reason;
    }
    if (total > kListedProblems) message += "\n… ve " + std::to_string(total - kListedProblems) + " satır daha";
    return message;
}

// Why a record is not one to use: nothing in it, no header, or lines that
// could not be read (the first of them in line order, and how many).
std::optional<Refusal> refusal_of(bool has_header, bool has_lines, std::span<const RecordProblem> problems,
                                  std::size_t total) {
    if (!has_header && !has_lines) return Refusal{"Kayıt boş."};
    if (!has_header) {
        return Refusal{"Kayıt başlık satırıyla (Zaman, Olay, Baytlar, Cihaz, Anlam) başlamıyor; oturum kaydı değil."};
    }
    if (total == 0) return std::nullopt;
    return Refusal{"Kayıtta hatalı " + std::to_string(total) + " satır var:\n" + listed_problems(problems, total)};
}

std::optional<Refusal> refusal_of(const ReadRecord& record, const std::vector<RecordProblem>& problems) {
    return refusal_of(record.has_header, !record.entries.empty() || !problems.empty(), problems, problems.size());
}

// Why the bytes of a GÖNDERILEN line are not a frame the console may send.
std::optional<std::string> frame_problem(const std::vector<Byte>& bytes) {
    if (bytes.size() != 7) return "7 bayt olmalı, " + std::to_string(bytes.size()) + " yazılmış";
    if (bytes[0] != kStartByte) {
        return "ilk bayt " + std::to_string(kStartByte) + " olmalı, " + std::to_string(bytes[0]) + " yazılmış";
    }
    const Byte check = Kontrol_Toplami(bytes[0], bytes[1], bytes[2], bytes[3], bytes[4], bytes[5]);
    if (bytes[6] != check) {
        return "kontrol baytı " + std::to_string(check) + " olmalı, " + std::to_string(bytes[6]) + " yazılmış";
    }
    return std::nullopt;
}

// Line `number` of a record into `record`; `first` when no event line and
// no problem stands before it, where a header makes the record one.
void add_line(ReadRecord& record, std::string_view line, std::size_t number, bool first) {
    if (number == 1 && line.starts_with(kByteOrderMark)) line.remove_prefix(kByteOrderMark.size());
    if (line.ends_with('\r')) line.remove_suffix(1);
    // A spreadsheet writes a row it emptied as its tabs.
    if (line.find_first_not_of('\t') == std::string_view::npos) return;
    if (line == kRecordHeader) {
        // Records joined one after another keep the header of each.
        if (first) record.has_header = true;
        return;
    }
    std::variant<RecordEntry, std::string> read = read_entry(line);
    if (auto* entry = std::get_if<RecordEntry>(&read)) {
        entry->line = number;
        record.entries.push_back(std::move(*entry));
    } else {
        record.problems.push_back({number, std::move(std::get<std::string>(read))});
    }
}

}  // namespace

ReadRecord read_record(std::string_view text) {
    ReadRecord record;
    std::size_t number = 0;
    for (std::string_view line : split(text, '\n'))
        add_line(record, line, ++number, record.entries.empty() && record.problems.empty());
    return record;
}

std::string problems_message(const std::vector<RecordProblem>& problems) {
    return listed_problems(problems, problems.size());
}

Result<std::vector<RecordedDelivery>> replay_deliveries(const ReadRecord& record) {
    if (std::optional<Refusal> refusal = refusal_of(record, record.problems)) return *refusal;
    std::vector<RecordedDelivery> deliveries;
    for (const RecordEntry& entry : record.entries) {
        if (entry.event == RecordEvent::Received) deliveries.push_back({entry.line, entry.at_ms, entry.bytes});
    }
    if (deliveries.empty()) return Refusal{"Kayıtta gelen teslim (GELEN satırı) yok."};
    return deliveries;
}

void RecordStream::add(std::string_view bytes) {
    for (std::size_t end; (end = bytes.find('\n')) != std::string_view::npos; bytes.remove_prefix(end + 1)) {
        if (tail_.empty()) {
            read_line(bytes.substr(0, end));
        } else {
            tail_.append(bytes.substr(0, end));
            read_line(tail_);
            tail_.clear();
        }
    }
    tail_.append(bytes);
}

void RecordStream::problem(std::size_t line, std::string reason) {
    ++problem_count_;
    if (listed_.size() < kListedProblems) listed_.push_back({line, std::move(reason)});
}

void RecordStream::read_line(std::string_view line) {
    add_line(record_, line, ++lines_, !has_lines_);
    if (record_.entries.empty() && record_.problems.empty()) return;
    has_lines_ = true;
    if (!record_.entries.empty()) {
        RecordEntry entry = std::move(record_.entries.front());
        record_.entries.clear();
        take_(std::move(entry));
    } else {
        problem(record_.problems.front().line, std::move(record_.problems.front().reason));
        record_.problems.clear();
    }
}

std::optional<Refusal> RecordStream::finish() {
    read_line(tail_);
    tail_.clear();
    return refusal_of(record_.has_header, has_lines_, listed_, problem_count_);
}

SentFramesReader::SentFramesReader(Take take)
    : take_(std::move(take)), stream_([this](RecordEntry&& entry) {
          if (entry.event == RecordEvent::Recognised && take_recognised_ && !frame_problem(entry.bytes)) {
              Frame frame{};
              std::copy(entry.bytes.begin(), entry.bytes.end(), frame.begin());
              take_recognised_(entry.at_ms, frame);
          }
          if (entry.event != RecordEvent::Sent) return;
          if (std::optional<std::string> problem = frame_problem(entry.bytes)) {
              stream_.problem(entry.line, std::move(*problem));
              return;
          }
          Frame frame{};
          std::copy(entry.bytes.begin(), entry.bytes.end(), frame.begin());
          ++frames_;
          take_({entry.line, entry.at_ms, frame, std::move(entry.device), std::move(entry.meaning)});
      }) {}

std::optional<Refusal> SentFramesReader::finish() {
    if (std::optional<Refusal> refusal = stream_.finish()) return refusal;
    if (frames_ == 0) return Refusal{kNoSentFrame};
    return std::nullopt;
}

}  // namespace vela
