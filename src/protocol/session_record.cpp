#include "protocol/session_record.h"

#include <chrono>
#include <cstdio>

#include "protocol/monitor.h"

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

std::string recognised_meaning(const Frame& frame) {
    const std::string_view sentence = decoded_sentence(frame);
    return sentence.empty() ? "bilinmeyen komut" : std::string(sentence);
}

std::string port_opened_meaning(std::string_view device, int baud) {
    return "açıldı: " + std::string(device) + ", " + std::to_string(baud) + " baud";
}

std::string dropped_meaning(std::uint64_t count) {
    return "bellek dolduğu için en eski " + std::to_string(count) + " olay kayıttan düştü";
}

}  // namespace vela
