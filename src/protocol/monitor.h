#pragma once
// The received-frame monitor: the bytes of each delivery slide one at a time
// through GelenData, a window of the last seven bytes, so a frame is
// recognised wherever it starts, once, with its sentence. The session record,
// the display and whatever else reads the line take the frames from here.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "protocol/device_name.h"
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

// One row of the received frames' decoding table: DATA2, DATA3..DATA5 that
// must be 0 unless the row leaves them open, the sentence, and the device
// type that sends it (Unknown for the acknowledgement, which names only a
// number).
struct DecodingRow {
    Byte code;
    bool parameters_open;      // DATA3..DATA5 not looked at
    bool last_parameter_open;  // DATA5 not looked at
    std::string_view sentence;
    Device sender;
};
std::span<const DecodingRow> decoding_rows();

// The device type that sends a received frame, by its command code; Unknown
// for an acknowledgement and for a code the devices do not send.
Device sender_of(const Frame& received);

// The sentence for a valid frame, rows matched in order; empty when none fits.
std::string_view decoded_sentence(const Frame& frame);

struct RecognisedFrame {
    Frame frame;
    std::string_view sentence;  // decoded_sentence: empty when no row fits
    // The byte that completed it, counted from 1 over every byte the monitor
    // has taken: where it stands among the bytes that others take later.
    std::uint64_t byte_number;
};

class ReceiveMonitor {
public:
    // The frames the delivery's bytes complete, in arrival order.
    std::vector<RecognisedFrame> take(std::span<const Byte> delivery);
    const ReceiveWindow& window() const { return GelenData; }

    // Bytes that left GelenData without having been part of a frame: they
    // are in no frame for good.
    std::uint64_t uncovered() const { return uncovered_; }
    // Bytes in GelenData that no frame has taken yet; the next bytes may
    // still complete a frame with them.
    int unsettled() const;

private:
    ReceiveWindow GelenData;
    std::uint64_t taken_ = 0;
    std::uint64_t uncovered_ = 0;
    unsigned covered_ = 0;  // bit i: the byte at GelenData[i] is part of a frame
};

}  // namespace vela
