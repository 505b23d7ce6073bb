#include "record/session_record.h"

#include <chrono>
#include <cstdio>

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

std::string recognised_meaning(std::string_view sentence) {
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
    return {static_cast<int>(date.year()),
            static_cast<int>(static_cast<unsigned>(date.month())),
            static_cast<int>(static_cast<unsigned>(date.day())),
            static_cast<int>(time.hours().count()),
            static_cast<int>(time.minutes().count()),
            static_cast<int>(time.seconds().count()),
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

}  // namespace vela
