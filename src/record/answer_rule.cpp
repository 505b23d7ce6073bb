#include "record/answer_rule.h"

#include "protocol/command_codes.h"

namespace vela {

void AnswerRule::sent(Device device, const Frame& frame, Time at) {
    last_ = Addressed{device, at};
    lastNumber_ = frame[5];
    // Only a device with a number can acknowledge by it.
    if (address_range(device)) byNumber_[frame[5]] = Addressed{device, at};
}

AnswerRule::Heard AnswerRule::received(const Frame& frame, Time at) const {
    Heard heard{sender_of(frame), frame[5], std::nullopt};
    if (frame[1] == code::received::kAcknowledge) {
        const std::optional<Addressed>& addressed = byNumber_[frame[5]];
        if (addressed && withinWindow(addressed->at, at)) heard.device = addressed->device;
    }
    if (last_ && heard.device != Device::Unknown && heard.device == last_->device && heard.number == lastNumber_ &&
        withinWindow(last_->at, at)) {
        heard.delay = at - last_->at;
    }
    return heard;
}

}  // namespace vela
