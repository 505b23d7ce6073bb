#pragma once
// When replay plays each delivery: the recorded gaps divided by the speed,
// none longer than the longest wait allowed and none below zero, and what the
// terminal is told about the gaps it did not keep and the long waits.
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "record/record_reader.h"

namespace vela::sim {

struct ReplayStep {
    // After the previous delivery; none before the first, nor next to a
    // delivery without a time.
    std::chrono::nanoseconds wait{0};
    // A gap that was not kept ("satır 12: 7200 s ara 60 s'ye kısaltıldı");
    // empty when it was.
    std::string notice;
};

std::vector<ReplayStep> replay_plan(const std::vector<RecordedDelivery>& deliveries, double speed,
                                    std::chrono::milliseconds longest_wait);

// What the terminal shows before a long wait: "12/340 teslim; sonraki 45 s sonra".
std::string waiting_notice(std::size_t played, std::size_t total, std::chrono::nanoseconds wait);

// Milliseconds as seconds, without trailing zeros: "7200", "61.5", "0.25".
std::string seconds_text(std::int64_t ms);

}  // namespace vela::sim
