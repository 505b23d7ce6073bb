#pragma once
// The command line of vela-sim.
#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "protocol/result.h"
#include "sim/auto_answer.h"

namespace vela::sim {

struct SimOptions {
    std::optional<std::string> device;  // a real serial port instead of a pseudo-terminal
    int baud = 9600;
    std::chrono::milliseconds byte_gap{0};  // 0: each frame in one write
    std::optional<std::string> script;
    std::optional<std::string> log;            // the session record of the line
    std::optional<std::string> replay;         // a saved session record whose received side is played
    double speed = 1.0;                        // the replay's gaps are divided by this
    std::chrono::milliseconds max_gap{60000};  // the longest wait of a replay
    std::optional<std::string> path_file;      // receives the line's path, for starting the console
    AnswerModel answers;                       // --ack, --silent, --garble
    bool with_time = true;
    bool help = false;
};

// The arguments after the program name; a refusal names the first bad one.
Result<SimOptions> parse_sim_options(const std::vector<std::string>& arguments);

// The refusal when a file the run writes is one it reads, by whatever path:
// writing would destroy it. Files that do not exist yet are none it reads.
std::optional<std::string> overwritten_input(const SimOptions& options);

std::string usage_text();

}  // namespace vela::sim
