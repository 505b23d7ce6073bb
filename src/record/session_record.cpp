#include "record/session_record.h"

#include <chrono>
#include <cstdio>

#include "protocol/decimal.h"

namespace vela {
namespace {

// "2026-12-06 14:32:05.127": sorts as text and a spreadsheet reads it as a
// date and time.
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

// Milliseconds of local time, as if they were UTC, as the record shows them.
LocalTime local_time(std::chrono::sys_time<std::chrono::milliseconds> local) {
    using namespace std::chrono;
    const auto day = floor<days>(local);
    const year_month_day date{day};
    const hh_mm_ss time{local - day};
    return {static_cast<int>(date.year()),
            static_cast<int>(static_cast<unsigned>(date.month())),
            static_cast<int>(static_cast<unsigned>(date.day())),
            static_cast<int>(time.hours().count()),
            static_cast<int>(time.minutes().count()),
            static_cast<int>(time.seconds().count()),
            static_cast<int>(time.subseconds().count())};
}

}  // namespace

std::string bytes_text(std::span<const Byte> bytes) {
    std::string text;
    for (const Byte b : bytes) {
        if (!text.empty()) text += ' ';
        text += std::to_string(b);
    }
    return text;
}

std::string record_line(const std::optional<LocalTime>& time, RecordEvent event, std::span<const Byte> bytes,
                        std::string_view device, std::string_view meaning) {
    std::string line = time ? time_text(*time) : std::string{};
    append_field(line, kEventWords[static_cast<std::size_t>(event)]);
    line += '\t';
    line += bytes_text(bytes);
    append_field(line, device);
    append_field(line, meaning);
    return line;
}

std::string recognised_meaning(std::string_view sentence) {
    return sentence.empty() ? "bilinmeyen komut" : std::string(sentence);
}

RecordClock::RecordClock(Monotonic::time_point start, std::chrono::system_clock::time_point wall_start,
                         std::chrono::seconds utc_offset)
    : start_(start), wall_start_(wall_start), offset_(utc_offset) {}

LocalTime RecordClock::at(Monotonic::time_point moment) const {
    using namespace std::chrono;
    return local_time(floor<milliseconds>(wall_start_ + (moment - start_) + offset_));
}

std::string record_time_text(std::int64_t local_ms) {
    using namespace std::chrono;
    return time_text(local_time(sys_time<milliseconds>{milliseconds{local_ms}}));
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

std::optional<PortOpening> read_port_opened(std::string_view meaning) {
    constexpr std::string_view kOpened = "açıldı: ";
    constexpr std::string_view kBaud = " baud";
    if (!meaning.starts_with(kOpened)) return std::nullopt;
    meaning.remove_prefix(kOpened.size());
    PortOpening opening;
    // From the end: the device's own name may hold a comma.
    std::size_t comma = meaning.rfind(", ");
    if (comma != std::string_view::npos && meaning.substr(comma + 2).starts_with("UTC")) {
        const std::string_view offset = meaning.substr(comma + 5);
        const auto hours = decimal_number(offset.substr(1, 2), 23);
        const auto minutes = decimal_number(offset.substr(4, 2), 59);
        if (offset.size() != 6 || (offset[0] != '+' && offset[0] != '-') || offset[3] != ':' || !hours || !minutes)
            return std::nullopt;
        const auto size = std::chrono::seconds(static_cast<long long>(*hours * 3600 + *minutes * 60));
        opening.utc_offset = offset[0] == '-' ? -size : size;
        meaning = meaning.substr(0, comma);
        comma = meaning.rfind(", ");
    }
    if (comma == std::string_view::npos || !meaning.ends_with(kBaud)) return std::nullopt;
    const auto baud = decimal_number(meaning.substr(comma + 2, meaning.size() - comma - 2 - kBaud.size()), 4000000);
    if (!baud) return std::nullopt;
    opening.device = meaning.substr(0, comma);
    opening.baud = static_cast<int>(*baud);
    return opening;
}

std::string dropped_meaning(std::uint64_t count) {
    return "bellek dolduğu için en eski " + std::to_string(count) + " olay kayıttan düştü";
}

std::string bytes_gone_note(int gone) {
    return gone > 0 ? "En çok " + std::to_string(gone) + "/7 bayt gitti." : std::string{};
}

}  // namespace vela
