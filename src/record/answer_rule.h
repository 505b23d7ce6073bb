#pragma once
// What counts as an answer on the bus, the one rule for every view of a
// session (the line's status window, the check of a run against a saved
// record): a recognised frame from the number a frame was sent to, of that
// device's type, that arrives after that frame and before the next frame is
// sent, within the answer window. The protocol does not say which commands
// are answered, so a frame without an answer is only that, never a fault.
//
// An acknowledgement ("ALINDI") names only a number: it is taken as from the
// device type last addressed with that number within the answer window, and
// is of no known type otherwise.
#include <array>
#include <chrono>
#include <optional>

#include "protocol/device_name.h"
#include "protocol/frame.h"
#include "protocol/monitor.h"

namespace vela {

class AnswerRule {
public:
    using Time = std::chrono::microseconds;  // from any fixed origin
    static constexpr std::chrono::milliseconds kDefaultWindow{500};

    explicit AnswerRule(Time window = kDefaultWindow) : window_(window) {}

    // The frame sent last; its answers may come from now on.
    void sent(Device device, const Frame& frame, Time at);

    struct Heard {
        Device device = Device::Unknown;  // Unknown: an acknowledgement no address explains
        Byte number = 0;
        std::optional<Time> delay;  // after the frame sent last, when it answers that frame
    };
    // Who a recognised frame `at` is from, and whether it answers.
    Heard received(const Frame& frame, Time at) const;

    Time window() const { return window_; }
    void set_window(Time window) { window_ = window; }

private:
    struct Addressed {
        Device device = Device::Unknown;
        Time at{};
    };

    bool withinWindow(Time sent, Time at) const { return at >= sent && at - sent <= window_; }

    Time window_;
    std::optional<Addressed> last_;  // the frame sent last
    Byte lastNumber_ = 0;
    std::array<std::optional<Addressed>, 256> byNumber_{};
};

}  // namespace vela
