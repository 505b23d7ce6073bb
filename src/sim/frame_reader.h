#pragma once
// Splits the byte stream from the console into frames without losing a byte:
// a frame is recognised wherever it starts (first byte 170, seventh the
// checksum of the first six), and every byte that belongs to no frame is
// handed on as a stray run instead of being dropped.
#include <deque>
#include <span>
#include <variant>
#include <vector>

#include "protocol/frame.h"

namespace vela::sim {

struct StrayBytes {
    std::vector<Byte> bytes;
    bool operator==(const StrayBytes&) const = default;
};

using ReadItem = std::variant<Frame, StrayBytes>;

class FrameReader {
public:
    // Everything the new bytes complete, in line order. Stray bytes are held
    // back until a frame follows them or flush() is called, so one run of
    // garbage comes out as one item however the reads were cut.
    std::vector<ReadItem> feed(std::span<const Byte> bytes);

    // The line went quiet: whatever is held (stray bytes and the start of a
    // frame that never completed) comes out as one stray run.
    std::vector<ReadItem> flush();

    bool holds_bytes() const { return !pending_.empty() || !stray_.empty(); }

private:
    std::deque<Byte> pending_;  // not yet decided
    std::vector<Byte> stray_;   // decided: part of no frame
};

}  // namespace vela::sim
