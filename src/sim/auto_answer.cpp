#include "sim/auto_answer.h"

#include "protocol/command_codes.h"

namespace vela::sim {

void AutoAnswers::addressed(const DecodedCommand& decoded, Clock::time_point at) {
    // The chime and the commands to every device have no number to answer from.
    if (!model_.ack || !address_range(decoded.device) || model_.silent.contains(decoded.number)) return;
    Frame answer = Komut_Cercevesi(code::received::kAcknowledge, 0, 0, 0, decoded.number);
    if (model_.garbled.contains(decoded.number)) answer[6] = static_cast<Byte>(answer[6] + 1);
    pending_.push_back({at + *model_.ack, answer});
}

std::optional<AutoAnswers::Clock::time_point> AutoAnswers::next_due() const {
    if (pending_.empty()) return std::nullopt;
    return pending_.front().due;
}

std::vector<Frame> AutoAnswers::take_due(Clock::time_point now) {
    std::vector<Frame> due;
    while (!pending_.empty() && pending_.front().due <= now) {
        due.push_back(pending_.front().frame);
        pending_.pop_front();
    }
    return due;
}

}  // namespace vela::sim
