#pragma once
// A test bench's model of answering devices, not a claim about real ones:
// with --ack every numbered device the simulator plays acknowledges each
// frame addressed to it with ALINDI from its own number after a fixed delay;
// --silent numbers never answer, --garble numbers answer with a wrong check
// byte. The answers wait in time order until the serve loop sends them.
#include <chrono>
#include <deque>
#include <optional>
#include <set>
#include <vector>

#include "protocol/decoded_command.h"

namespace vela::sim {

struct AnswerModel {
    std::optional<std::chrono::milliseconds> ack;  // none: the devices answer only at the prompt
    std::set<Byte> silent;
    std::set<Byte> garbled;
};

class AutoAnswers {
public:
    using Clock = std::chrono::steady_clock;

    explicit AutoAnswers(const AnswerModel& model) : model_(model) {}

    // A command from the console that arrived `at`.
    void addressed(const DecodedCommand& decoded, Clock::time_point at);

    std::optional<Clock::time_point> next_due() const;
    // The answers due by `now`, in the order they became due.
    std::vector<Frame> take_due(Clock::time_point now);

private:
    struct Pending {
        Clock::time_point due;
        Frame frame;
    };
    const AnswerModel& model_;
    std::deque<Pending> pending_;  // in time order: every answer waits the same delay
};

}  // namespace vela::sim
