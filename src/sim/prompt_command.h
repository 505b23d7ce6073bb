#pragma once
// The commands typed at the simulator's prompt (or read from a script), with
// which the devices talk to the console. Plain ASCII words; every number is
// decimal 0..255 (a wait is in milliseconds).
#include <chrono>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "protocol/frame.h"
#include "protocol/result.h"

namespace vela::sim {

struct NoCommand {};  // an empty line or a comment (#)

// A frame in the table of received commands, or raw bytes in one write.
struct SendBytes {
    std::vector<Byte> bytes;
    bool is_frame;
};
struct ShowStatus {};
struct ShowHelp {};
struct Wait {
    std::chrono::milliseconds duration;
};
struct Quit {};

using PromptCommand = std::variant<NoCommand, SendBytes, ShowStatus, ShowHelp, Wait, Quit>;

// The command of one line, or a one-line Turkish message saying why not.
Result<PromptCommand> parse_prompt_line(std::string_view line);

// The "yardim" text.
std::string help_text();

}  // namespace vela::sim
