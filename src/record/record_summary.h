#pragma once
// What a technician is told before a saved record's frames go on the bus
// again, and the waits between them: which devices they reach, grouped, and
// how long the run takes with the recorded gaps or with long ones shortened.
// The start and end of such a run are lines of the record too.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "protocol/device_name.h"
#include "protocol/frame.h"

namespace vela {

// The device type a record's device field names ("El Terminali 5" is a hand
// terminal); Unknown for an empty field or any other text.
Device recorded_device(std::string_view name);

struct AddressedDevice {
    Device device = Device::Unknown;
    Byte address = 0;
};

// Each device once, by type in the order of the bus's device types and by
// address, consecutive addresses as a range: "El Terminali 1–12, 15, Dot
// Matrix Display 130–131, Ding-Dong Zil".
std::string devices_summary(std::span<const AddressedDevice> devices);

enum class Gaps { AsRecorded, LongOnesShortened };
inline constexpr std::chrono::milliseconds kLongestShortenedGap{1000};

// The wait before each frame but the first, counted from when the frame
// before it went out: the difference of their recorded times (none for a
// frame without a time, or one recorded earlier than the frame before it),
// with waits over a second cut to a second when asked. A gap too long to
// count is the longest there is.
std::vector<std::chrono::milliseconds> gaps_between(std::span<const std::optional<std::int64_t>> recorded_ms,
                                                    Gaps choice);

// The length of a run: the waits, and the line time of every frame not
// covered by the wait after it (70 bits a frame at `baud`); at most the
// longest time there is.
std::chrono::milliseconds run_duration(std::span<const std::chrono::milliseconds> gaps, std::size_t frames, int baud);

// "0,4 sn", "12 sn", "2 dk 05 sn", "1 sa 03 dk": rounded to what a person
// reads before a run.
std::string duration_text(std::chrono::milliseconds duration);

// Why a record is not sent, in the window and on the command line alike: a
// file that cannot be read ("Kayıt okunamadı: yol (neden)."), and a record
// the reader refuses, with its reasons on the lines after.
std::string record_unreadable_message(std::string_view path, std::string_view reason);
std::string record_refused_message(std::string_view path, std::string_view reasons);

// The meanings of the run's own record lines and of each frame sent again.
std::string resend_started_meaning(std::string_view file, std::size_t frames);
inline constexpr char kResendFinishedMeaning[] = "bitti";
std::string resend_stopped_meaning(std::size_t sent, std::size_t frames);
std::string resend_port_lost_meaning(std::size_t sent, std::size_t frames);
// The port stayed open, but the device took no byte.
std::string resend_stuck_meaning(std::size_t sent, std::size_t frames);
std::string resent_frame_meaning(std::string_view recorded_meaning);

}  // namespace vela
