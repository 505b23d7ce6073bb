#pragma once
// The adapter's own error counters, from the kernel's interrupt counters
// (TIOCGICOUNT): framing, parity, overrun, buffer overrun and breaks. Many
// drivers keep none (a pseudo-terminal, some USB adapters); then there is
// nothing to show rather than a made-up 0. The reading goes through a
// replaceable probe, so tests can give counts a pseudo-terminal never has.
#include <cstdint>
#include <functional>
#include <optional>

namespace vela {

struct LineErrorCounts {
    std::uint64_t framing = 0, parity = 0, overrun = 0, bufferOverrun = 0, breaks = 0;
    bool operator==(const LineErrorCounts&) const = default;
};

// The counts of the descriptor's device since its driver started them.
using LineErrorProbe = std::function<std::optional<LineErrorCounts>(int fd)>;

// Replaces the probe; an empty one asks the system again.
void setLineErrorProbe(LineErrorProbe probe);
std::optional<LineErrorCounts> readLineErrors(int fd);

// `now` less `base`, each counter at least 0 (a driver may start again).
LineErrorCounts countsSince(const LineErrorCounts& base, const LineErrorCounts& now);

}  // namespace vela
