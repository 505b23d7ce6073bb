#include "sim/frame_reader.h"

#include <algorithm>
#include <utility>

namespace vela::sim {

std::vector<ReadItem> FrameReader::feed(std::span<const Byte> bytes) {
    pending_.insert(pending_.end(), bytes.begin(), bytes.end());
    std::vector<ReadItem> items;
    // A byte is decided once seven bytes from it are known: it either starts
    // a frame or belongs to none (a later start byte may still begin one).
    while (pending_.size() >= 7) {
        Frame frame;
        std::copy_n(pending_.begin(), 7, frame.begin());
        if (!is_frame(frame)) {
            stray_.push_back(pending_.front());
            pending_.pop_front();
            continue;
        }
        if (!stray_.empty()) items.emplace_back(StrayBytes{std::exchange(stray_, {})});
        pending_.erase(pending_.begin(), pending_.begin() + 7);
        items.emplace_back(frame);
    }
    return items;
}

std::vector<ReadItem> FrameReader::flush() {
    stray_.insert(stray_.end(), pending_.begin(), pending_.end());
    pending_.clear();
    if (stray_.empty()) return {};
    return {StrayBytes{std::exchange(stray_, {})}};
}

}  // namespace vela::sim
