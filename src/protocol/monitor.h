#pragma once
// The logic of the received-frame monitor: a window of the last seven bytes
// that slides by one byte, so a frame is recognised wherever it starts.
#include <array>
#include <optional>
#include <string_view>

#include "protocol/frame.h"

namespace vela {

class ReceiveWindow {
public:
    // Slides the byte in as the newest; returns the window when it now holds a
    // valid frame (first byte 170, seventh the checksum of the first six).
    std::optional<Frame> push(Byte received);
    const Frame& values() const { return window_; }

private:
    Frame window_{};  // all 0 at start: nothing is recognised before 7 bytes
};

// The sentence for a valid frame, rows matched in order; empty when none fits.
std::string_view decoded_sentence(const Frame& frame);

}  // namespace vela
