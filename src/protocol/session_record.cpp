#include "protocol/session_record.h"

#include <array>
#include <chrono>
#include <cstdio>

#include "protocol/decimal.h"
#include "protocol/monitor.h"

namespace vela {
namespace {

constexpr std::array<std::string_view, 6> kEventWords = {"GÖNDERILEN", "GELEN", "ÇERÇEVE", "PORT", "RED", "ATILAN"};
constexpr std::string_view kReceivedWord = kEventWords[static_cast<std::size_t>(RecordEvent::Received)];

// "2026-12-06 14:32:05.127": sorts as text and a spreadsheet reads it as a
// date and time.
constexpr std::size_t kTimeLength = 23;

std::string time_text(const LocalTime& t) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d.%03d", t.year, t.month, t.day, t.hour, t.minute,
                  t.second, t.millisecond);
    return text;
}

void append_field(std::string& line, std::string_view text) {
    line += '\t';
    for (const char c : text) line += (c == '\t' || c == '\n' || c == '\r') ? ' ' : c;
}

std::vector<std::string_view> split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    for (std::size_t start = 0;;) {
        const std::size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end - start));
        if (end == std::string_view::npos) return parts;
        start = end + 1;
    }
}

// The number in text[at, at + digits), within 0..largest.
std::optional<int> number_at(std::string_view text, std::size_t at, std::size_t digits, int largest) {
    const auto value = decimal_number(text.substr(at, digits), static_cast<std::uint64_t>(largest));
    return value ? std::optional<int>(static_cast<int>(*value)) : std::nullopt;
}

std::optional<std::int64_t> parse_time_ms(std::string_view text) {
    if (text.size() != kTimeLength) return std::nullopt;
    for (const std::size_t at : {4u, 7u}) {
        if (text[at] != '-') return std::nullopt;
    }
    if (text[10] != ' ' || text[13] != ':' || text[16] != ':' || text[19] != '.') return std::nullopt;
    const auto year = number_at(text, 0, 4, 9999);
    const auto month = number_at(text, 5, 2, 12);
    const auto day = number_at(text, 8, 2, 31);
    const auto hour = number_at(text, 11, 2, 23);
    const auto minute = number_at(text, 14, 2, 59);
    const auto second = number_at(text, 17, 2, 60);
    const auto milli = number_at(text, 20, 3, 999);
    if (!year || !month || !day || !hour || !minute || !second || !milli) return std::nullopt;
    using namespace std::chrono;
    const year_month_day date{std::chrono::year{*year}, std::chrono::month{static_cast<unsigned>(*month)},
                              std::chrono::day{static_cast<unsigned>(*day)}};
    if (!date.ok()) return std::nullopt;
    const auto at = sys_days{date} + hours{*hour} + minutes{*minute} + seconds{*second} + milliseconds{*milli};
    return duration_cast<milliseconds>(at.time_since_epoch()).count();
}

}  // namespace

std::string record_line(const std::optional<LocalTime>& time, RecordEvent event, std::span<const Byte> bytes,
                        std::string_view device, std::string_view meaning) {
    std::string line = time ? time_text(*time) : std::string{};
    append_field(line, kEventWords[static_cast<std::size_t>(event)]);
    line += '\t';
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i > 0) line += ' ';
        line += std::to_string(bytes[i]);
    }
    append_field(line, device);
    append_field(line, meaning);
    return line;
}

std::string recognised_meaning(const Frame& frame) {
    const std::string_view sentence = decoded_sentence(frame);
    return sentence.empty() ? "bilinmeyen komut" : std::string(sentence);
}

RecordClock::RecordClock(Monotonic::time_point start, std::chrono::system_clock::time_point wall_start,
                         std::chrono::seconds utc_offset)
    : start_(start), wall_start_(wall_start), offset_(utc_offset) {}

LocalTime RecordClock::at(Monotonic::time_point moment) const {
    using namespace std::chrono;
    const auto local = floor<milliseconds>(wall_start_ + (moment - start_) + offset_);
    const auto day = floor<days>(local);
    const year_month_day date{day};
    const hh_mm_ss time{local - day};
    return {static_cast<int>(date.year()), static_cast<int>(static_cast<unsigned>(date.month())),
            static_cast<int>(static_cast<unsigned>(date.day())), static_cast<int>(time.hours().count()),
            static_cast<int>(time.minutes().count()), static_cast<int>(time.seconds().count()),
            static_cast<int>(time.subseconds().count())};
}

std::string utc_offset_text(std::chrono::seconds offset) {
    const long long minutes = std::chrono::duration_cast<std::chrono::minutes>(offset).count();
    const long long size = minutes < 0 ? -minutes : minutes;
    char text[24];
    std::snprintf(text, sizeof text, "UTC%c%02lld:%02lld", minutes < 0 ? '-' : '+', size / 60, size % 60);
    return text;
}

std::string port_opened_meaning(std::string_view device, int baud, std::chrono::seconds utc_offset) {
    return "açıldı: " + std::string(device) + ", " + std::to_string(baud) + " baud, " + utc_offset_text(utc_offset);
}

std::string dropped_meaning(std::uint64_t count) {
    return "bellek dolduğu için en eski " + std::to_string(count) + " olay kayıttan düştü";
}

std::string bytes_gone_note(int gone) {
    return gone > 0 ? "En çok " + std::to_string(gone) + "/7 bayt gitti." : std::string{};
}

std::optional<RecordedDelivery> parse_received_line(std::string_view line) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const std::vector<std::string_view> fields = split(line, '\t');
    if (fields.size() != 5 || fields[1] != kReceivedWord || fields[2].empty()) return std::nullopt;
    RecordedDelivery delivery;
    if (!fields[0].empty()) {
        delivery.at_ms = parse_time_ms(fields[0]);
        if (!delivery.at_ms) return std::nullopt;
    }
    for (const std::string_view number : split(fields[2], ' ')) {
        const auto value = decimal_number(number, 255);
        if (!value) return std::nullopt;
        delivery.bytes.push_back(static_cast<Byte>(*value));
    }
    return delivery;
}

}  // namespace vela
