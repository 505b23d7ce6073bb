#pragma once
// The session record: one line per event of a run, so that a technician can
// show what was sent to which device, what came back and when. Plain UTF-8,
// one event per line, fields separated by a tab under a header line naming
// them: it reads in a terminal and loads into a spreadsheet as it is.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "protocol/frame.h"

namespace vela {

enum class RecordEvent {
    Sent,        // a frame the console wrote: its bytes, device and command
    Received,    // one delivery of the port: its bytes as they came
    Recognised,  // a valid frame the monitor found: its bytes and sentence
    Port,        // opened, lost, back again, closed
    Refused,     // a command refused before anything was sent
    Dropped,     // how many of the oldest events were not kept
};

// Local date and time to the millisecond.
struct LocalTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, millisecond = 0;
};

// The event words of the record, in the order of RecordEvent.
inline constexpr std::array<std::string_view, 6> kEventWords = {"GÖNDERILEN", "GELEN", "ÇERÇEVE",
                                                                "PORT",       "RED",   "ATILAN"};

inline constexpr char kRecordHeader[] = "Zaman\tOlay\tBaytlar\tCihaz\tAnlam";

// One line without its line feed. Without a time the first field stays empty,
// so that records of two runs can be compared line by line. Tabs and line
// breaks inside the texts become blanks: they would split the line.
std::string record_line(const std::optional<LocalTime>& time, RecordEvent event, std::span<const Byte> bytes,
                        std::string_view device, std::string_view meaning);

// The sentence of a recognised frame, or "bilinmeyen komut" when it has none.
std::string recognised_meaning(const Frame& frame);

// The meanings of the port events.
std::string port_opened_meaning(std::string_view device, int baud);
inline constexpr char kPortLostMeaning[] = "bağlantı koptu";
inline constexpr char kPortBackMeaning[] = "yeniden açıldı";
inline constexpr char kPortUnknownMeaning[] = "yeniden açılamadı: hangi adaptör olduğu belli değil";
inline constexpr char kPortClosedMeaning[] = "kapandı";

std::string dropped_meaning(std::uint64_t count);

}  // namespace vela
