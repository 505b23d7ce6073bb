#pragma once
// The simulator's end of the serial line: a pseudo-terminal pair whose other
// end the console opens, or a real serial port (null-modem cable).
#include <chrono>
#include <span>
#include <string>

#include "protocol/frame.h"
#include "protocol/result.h"

namespace vela::sim {

struct SimLine {
    int fd = -1;       // read and written by the simulator, non-blocking
    int held_fd = -1;  // the pseudo-terminal's other end, held open so the
                       // line survives the console closing and reopening it
    std::string path;  // what the console opens
};

Result<SimLine> open_pseudo_terminal();

// Raw 8N1 without flow control at 9600 or 19200 baud.
Result<SimLine> open_serial_device(const std::string& path, int baud);

void close_line(SimLine& line);

// Writes every byte; with a gap, one byte per write and the gap after each
// byte but the last. False when the line fails or stays full for a second.
bool write_bytes(int fd, std::span<const Byte> bytes, std::chrono::milliseconds gap);

}  // namespace vela::sim
