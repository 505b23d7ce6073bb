#include "record/resend_frames.h"

#include "record/record_file.h"

namespace vela {

// The meanings of a record fit an offset of 32 bits.
static_assert(kLargestRecordBytes < (std::uint64_t{1} << 32));

void ResendFrames::add(const RecordedFrame& recorded) {
    meanings_ += recorded.meaning;
    frames_.push_back({recorded.frame, recorded_device(recorded.device), static_cast<std::uint32_t>(meanings_.size()),
                       recorded.at_ms});
}

std::string_view ResendFrames::meaning(std::size_t i) const {
    const std::uint32_t begin = i == 0 ? 0 : frames_[i - 1].meaning_end;
    return std::string_view(meanings_).substr(begin, frames_[i].meaning_end - begin);
}

std::chrono::milliseconds ResendFrames::gap_before(std::size_t i, Gaps choice) const {
    const std::optional<std::int64_t> times[] = {frames_[i - 1].at_ms, frames_[i].at_ms};
    return gaps_between(times, choice).front();
}

std::string ResendFrames::devices() const {
    std::vector<AddressedDevice> devices;
    devices.reserve(frames_.size());
    for (const Kept& f : frames_) devices.push_back({f.device, f.frame[5]});
    return devices_summary(devices);
}

std::chrono::milliseconds ResendFrames::duration(Gaps choice, int baud) const {
    return run_duration(gaps_between(times(), choice), frames_.size(), baud);
}

std::vector<std::optional<std::int64_t>> ResendFrames::times() const {
    std::vector<std::optional<std::int64_t>> times;
    times.reserve(frames_.size());
    for (const Kept& f : frames_) times.push_back(f.at_ms);
    return times;
}

}  // namespace vela
