#include "serial/line_errors.h"

#include <linux/serial.h>
#include <sys/ioctl.h>

#include <utility>

namespace vela {
namespace {

LineErrorProbe& replacedProbe() {
    static LineErrorProbe probe;
    return probe;
}

std::uint64_t grown(std::uint64_t base, std::uint64_t now) { return now > base ? now - base : 0; }

}  // namespace

void setLineErrorProbe(LineErrorProbe probe) { replacedProbe() = std::move(probe); }

std::optional<LineErrorCounts> readLineErrors(int fd) {
    if (replacedProbe()) return replacedProbe()(fd);
    serial_icounter_struct counts{};
    if (::ioctl(fd, TIOCGICOUNT, &counts) != 0) return std::nullopt;
    const auto count = [](int value) { return static_cast<std::uint64_t>(static_cast<unsigned>(value)); };
    return LineErrorCounts{count(counts.frame), count(counts.parity), count(counts.overrun), count(counts.buf_overrun),
                           count(counts.brk)};
}

LineErrorCounts countsSince(const LineErrorCounts& base, const LineErrorCounts& now) {
    return {grown(base.framing, now.framing), grown(base.parity, now.parity), grown(base.overrun, now.overrun),
            grown(base.bufferOverrun, now.bufferOverrun), grown(base.breaks, now.breaks)};
}

}  // namespace vela
