#pragma once
// The session record: one line per event of a run, so that a technician can
// show what was sent to which device, what came back and when. Plain UTF-8,
// one event per line, fields separated by a tab under a header line naming
// them: it reads in a terminal and loads into a spreadsheet as it is.
#include <array>
#include <chrono>
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
    Refused,     // a command refused, or a frame the device did not take
    Dropped,     // how many of the oldest events were not kept
    Resending,   // a saved record sent again: its start and how it ended
    Comparison,  // a run checked against a saved record: its verdict and each difference
    LineStatus,  // the line's health: the adapter's error counts, a summary, a reset
};

// Local date and time to the millisecond.
struct LocalTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, millisecond = 0;
    bool operator==(const LocalTime&) const = default;
};

// The event words of the record, in the order of RecordEvent.
inline constexpr std::array<std::string_view, 9> kEventWords = {
    "GÖNDERILEN", "GELEN", "ÇERÇEVE", "PORT", "RED", "ATILAN", "GÖNDERIM", "KARŞILAŞTIRMA", "HAT"};

// The record's clock, set once when recording starts from one reading of the
// monotonic clock and of the wall clock, and the UTC offset then. Every time
// is the start's wall time plus the monotonic time since, at that offset:
// times never go backwards, and their gaps are the monotonic clock's even
// when the system clock is set or summer time begins.
class RecordClock {
public:
    using Monotonic = std::chrono::steady_clock;

    RecordClock(Monotonic::time_point start, std::chrono::system_clock::time_point wall_start,
                std::chrono::seconds utc_offset);

    LocalTime at(Monotonic::time_point moment) const;
    std::chrono::seconds utc_offset() const { return offset_; }

private:
    Monotonic::time_point start_;
    std::chrono::system_clock::time_point wall_start_;
    std::chrono::seconds offset_;
};

// A time the reader read back ("2026-12-06 14:32:05.127"), as the record shows it.
std::string record_time_text(std::int64_t local_ms);

// "UTC+03:00", "UTC-03:30".
std::string utc_offset_text(std::chrono::seconds offset);

inline constexpr char kRecordHeader[] = "Zaman\tOlay\tBaytlar\tCihaz\tAnlam";

// Bytes as the record's Baytlar column writes them: "170 2 44 1 0 5 222".
std::string bytes_text(std::span<const Byte> bytes);

// One line without its line feed. Without a time the first field stays empty,
// so that records of two runs can be compared line by line. Tabs and line
// breaks inside the texts become blanks: they would split the line.
std::string record_line(const std::optional<LocalTime>& time, RecordEvent event, std::span<const Byte> bytes,
                        std::string_view device, std::string_view meaning);

// What a recognised frame is recorded as meaning: the monitor's sentence, or
// "bilinmeyen komut" when it has none.
std::string recognised_meaning(std::string_view sentence);

// The meanings of the port events. The opening names the record's UTC
// offset, so that its times read the same anywhere.
std::string port_opened_meaning(std::string_view device, int baud, std::chrono::seconds utc_offset);
struct PortOpening {
    std::string device;
    int baud = 0;
    std::chrono::seconds utc_offset{0};  // none named: the times are taken as UTC
};
// The opening line's meaning read back; none for any other meaning.
std::optional<PortOpening> read_port_opened(std::string_view meaning);
inline constexpr char kPortLostMeaning[] = "bağlantı koptu";
inline constexpr char kPortBackMeaning[] = "yeniden açıldı";
inline constexpr char kPortUnknownMeaning[] = "yeniden açılamadı: hangi adaptör olduğu belli değil";
inline constexpr char kPortClosedMeaning[] = "kapandı";

std::string dropped_meaning(std::uint64_t count);

// Said of a frame the device stopped taking, when some of its bytes may have
// reached the line: "En çok 3/7 bayt gitti."; empty when none did.
std::string bytes_gone_note(int gone);

}  // namespace vela
