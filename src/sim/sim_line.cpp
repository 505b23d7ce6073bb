#include "sim/sim_line.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>

namespace vela::sim {
namespace {

Refusal system_error(const std::string& what) { return Refusal{what + ": " + std::strerror(errno)}; }

bool make_raw(int fd, speed_t speed) {
    termios settings{};
    if (tcgetattr(fd, &settings) != 0) return false;
    cfmakeraw(&settings);
    settings.c_cflag |= CLOCAL | CREAD;
    settings.c_cflag &= ~(CRTSCTS | CSTOPB | PARENB);
    settings.c_cc[VMIN] = 1;
    settings.c_cc[VTIME] = 0;
    if (cfsetispeed(&settings, speed) != 0 || cfsetospeed(&settings, speed) != 0) return false;
    return tcsetattr(fd, TCSANOW, &settings) == 0;
}

bool write_all(int fd, const Byte* data, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, data + done, size - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) return false;
        pollfd p{fd, POLLOUT, 0};
        if (::poll(&p, 1, 1000) <= 0) return false;
    }
    return true;
}

}  // namespace

Result<SimLine> open_pseudo_terminal() {
    SimLine line;
    line.fd = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (line.fd < 0) return system_error("Sanal hat açılamadı");
    if (grantpt(line.fd) != 0 || unlockpt(line.fd) != 0) {
        const Refusal refusal = system_error("Sanal hat açılamadı");
        close_line(line);
        return refusal;
    }
    line.path = ptsname(line.fd);
    // Raw before the console comes: no echo of what the devices send.
    line.held_fd = ::open(line.path.c_str(), O_RDWR | O_NOCTTY);
    if (line.held_fd < 0 || !make_raw(line.held_fd, B9600)) {
        const Refusal refusal = system_error(line.path + " hazırlanamadı");
        close_line(line);
        return refusal;
    }
    return line;
}

Result<SimLine> open_serial_device(const std::string& path, int baud) {
    SimLine line;
    line.path = path;
    line.fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (line.fd < 0) return system_error(path + " açılamadı");
    if (!make_raw(line.fd, baud == 19200 ? B19200 : B9600)) {
        const Refusal refusal = system_error(path + " ayarlanamadı");
        close_line(line);
        return refusal;
    }
    tcflush(line.fd, TCIOFLUSH);
    return line;
}

void close_line(SimLine& line) {
    if (line.held_fd >= 0) ::close(line.held_fd);
    if (line.fd >= 0) ::close(line.fd);
    line.fd = line.held_fd = -1;
}

bool write_bytes(int fd, std::span<const Byte> bytes, std::chrono::milliseconds gap) {
    if (gap.count() == 0) return write_all(fd, bytes.data(), bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (!write_all(fd, &bytes[i], 1)) return false;
        if (i + 1 < bytes.size()) std::this_thread::sleep_for(gap);
    }
    return true;
}

}  // namespace vela::sim
