#pragma once
// The frames of a record to send again, in little room: what sending needs of
// each (the frame, its device type, its recorded time, its meaning), the
// meanings in one text: 32 bytes a frame and its meaning's, about half of
// its line in the record.
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "protocol/device_name.h"
#include "protocol/frame.h"
#include "record/record_reader.h"
#include "record/record_summary.h"

namespace vela {

class ResendFrames {
public:
    void add(const RecordedFrame& recorded);
    std::size_t size() const { return frames_.size(); }
    const Frame& frame(std::size_t i) const { return frames_[i].frame; }
    Device device(std::size_t i) const { return frames_[i].device; }
    std::string_view meaning(std::size_t i) const;
    // The wait before frame `i` (from 1), counted from when the one before it went out.
    std::chrono::milliseconds gap_before(std::size_t i, Gaps choice) const;

    // What the confirmation says: the devices reached, and how long the run
    // takes at `baud` with either choice of gaps.
    std::string devices() const;
    std::chrono::milliseconds duration(Gaps choice, int baud) const;

private:
    struct Kept {
        Frame frame{};
        Device device = Device::Unknown;
        std::uint32_t meaning_end = 0;  // in meanings_
        std::optional<std::int64_t> at_ms;
    };
    std::vector<std::optional<std::int64_t>> times() const;

    std::vector<Kept> frames_;
    std::string meanings_;
};

}  // namespace vela
