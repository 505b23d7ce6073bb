#pragma once
// The line at a glance, kept as the frames go by: per device, what was sent
// to it, what was heard from it and how it answered (by the answer rule);
// for the line, the bytes each way, the frames received, the bytes that were
// part of no frame and the load of the last ten seconds. Devices are held in
// one slot per type and number, so a refresh over every possible device
// costs the same however many frames went by.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "record/answer_rule.h"

namespace vela {

struct DeviceStatus {
    using Time = AnswerRule::Time;
    Device device = Device::Unknown;  // Unknown: acknowledgements no address explains
    Byte number = 0;                  // 0 for the chime and the commands to every device
    std::uint64_t sent = 0;
    std::uint64_t heard = 0;
    std::uint64_t answered = 0;  // sent frames that got an answer
    std::optional<Frame> last_sent;
    std::string last_sent_meaning;
    std::optional<Frame> last_heard;
    std::optional<Time> last_heard_at;
    std::optional<Time> least_reply, most_reply;
    std::optional<std::chrono::milliseconds> median_reply;  // to the millisecond
};

// The row's device as the record names it, "Numara n (türü bilinmiyor)" for Unknown.
std::string status_device_name(const DeviceStatus& status);

struct LineTotals {
    std::uint64_t bytes_sent = 0;
    std::uint64_t bytes_received = 0;
    std::uint64_t frames_received = 0;
    std::uint64_t bytes_outside_frames = 0;
};

// The adapter's error counters since the port opened.
struct AdapterErrors {
    std::uint64_t framing = 0, parity = 0, overrun = 0, buffer_overrun = 0, breaks = 0;
    bool operator==(const AdapterErrors&) const = default;
};

class LineStatus {
public:
    using Time = AnswerRule::Time;
    static constexpr std::chrono::seconds kLoadSpan{10};

    explicit LineStatus(Time window = AnswerRule::kDefaultWindow) : rule_(window) {}

    void sent(Device device, const Frame& frame, std::string_view meaning, Time at);
    // A delivery of `count` bytes; `outside` is how many of every byte
    // received the monitor has found in no frame so far.
    void received(std::size_t count, std::uint64_t outside, Time at);
    void recognised(const Frame& frame, Time at);

    // Counting starts again; the answer window stays.
    void reset();
    void set_window(Time window) { rule_.set_window(window); }
    Time window() const { return rule_.window(); }

    // The devices heard or addressed, by type and then number.
    std::vector<DeviceStatus> devices() const;
    const LineTotals& totals() const { return totals_; }
    // The bytes both ways in the last kLoadSpan before `now`, as a percentage
    // of what the line carries at `baud` (10 bits a byte).
    double load_percent(Time now, int baud) const;

private:
    static constexpr std::size_t kSlots = 7 * 256;  // every Device, every number
    static constexpr int kLoadBuckets = 100;

    struct Slot {
        DeviceStatus status;
        std::vector<std::uint32_t> replies_by_ms;  // how many answers took each millisecond
    };
    struct LoadBucket {
        std::int64_t index = -1;  // the tenth of a second it counts
        std::uint64_t bytes = 0;
    };

    // The device's slot, made on its first frame.
    std::size_t slot_index(Device device, Byte number);
    void count_load(std::size_t bytes, Time at);

    AnswerRule rule_;
    std::vector<std::optional<Slot>> slots_ = std::vector<std::optional<Slot>>(kSlots);
    LineTotals totals_;
    std::uint64_t outside_base_ = 0;  // the monitor's count at the last reset
    std::uint64_t outside_seen_ = 0;
    std::optional<std::size_t> awaiting_;  // the slot of the frame sent last, until it is answered
    std::array<LoadBucket, kLoadBuckets> load_{};
};

// The HAT line of changed adapter counters: "2 çerçeve hatası, 1 taşma (toplam: …)".
std::string adapter_errors_meaning(const AdapterErrors& before, const AdapterErrors& now);
// The HAT summary: the devices heard and addressed, the counts, and the
// adapter's counters (none when the driver does not report them).
std::string line_summary_meaning(const std::vector<DeviceStatus>& devices, const LineTotals& totals,
                                 const std::optional<AdapterErrors>& errors);
inline constexpr char kLineResetMeaning[] = "Hat Durumu sayaçları sıfırlandı";

}  // namespace vela
