#pragma once
// A real pseudo-terminal pair for serial tests: the console opens the slave by
// its path, the test reads and writes the master.
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace vela::test {

class Pty {
public:
    using Clock = std::chrono::steady_clock;
    struct TimedByte {
        std::uint8_t value;
        Clock::time_point at;
    };

    Pty() {
        char name[256] = {};
        int slave = -1;
        if (openpty(&master_, &slave, name, nullptr, nullptr) != 0) return;
        termios raw{};
        tcgetattr(slave, &raw);
        cfmakeraw(&raw);
        tcsetattr(slave, TCSANOW, &raw);
        ::close(slave);  // the console opens it by path
        slavePath_ = name;
        fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
    }
    ~Pty() { closeMaster(); }
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    bool valid() const { return master_ >= 0; }
    const std::string& slavePath() const { return slavePath_; }
    int masterFd() const { return master_; }
    // The speed the console set: of the line settings, a pseudo-terminal keeps only that.
    speed_t speed() const {
        termios settings{};
        return ::tcgetattr(master_, &settings) == 0 ? cfgetospeed(&settings) : B0;
    }

    // The far end hangs up: the console sees its device vanish.
    void closeMaster() {
        if (master_ >= 0) ::close(master_);
        master_ = -1;
    }

    // False when the console has taken nothing for a second.
    bool write(const std::vector<std::uint8_t>& bytes) {
        for (std::size_t done = 0; done < bytes.size();) {
            const ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
            pollfd p{master_, POLLOUT, 0};
            if (n > 0)
                done += std::size_t(n);
            else if (::poll(&p, 1, 1000) <= 0)
                return false;
        }
        return true;
    }

    // Reads until `count` bytes have arrived or `timeout` has passed, each
    // byte stamped with the time it was read.
    std::vector<TimedByte> readTimed(std::size_t count, std::chrono::milliseconds timeout = std::chrono::seconds(2)) {
        std::vector<TimedByte> got;
        const auto end = Clock::now() + timeout;
        for (auto left = timeout; got.size() < count && left.count() > 0;
             left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now())) {
            pollfd p{master_, POLLIN, 0};
            if (::poll(&p, 1, int(left.count())) <= 0) continue;
            std::uint8_t buffer[4096];
            const ssize_t n = ::read(master_, buffer, std::min(sizeof buffer, count - got.size()));
            const auto now = Clock::now();
            for (ssize_t i = 0; i < n; ++i) got.push_back({buffer[i], now});
        }
        return got;
    }

    std::vector<std::uint8_t> read(std::size_t count, std::chrono::milliseconds timeout = std::chrono::seconds(2)) {
        std::vector<std::uint8_t> values;
        for (const TimedByte& b : readTimed(count, timeout)) values.push_back(b.value);
        return values;
    }

    // Whatever arrives within `quiet` (used to show that nothing was sent).
    std::vector<std::uint8_t> readAll(std::chrono::milliseconds quiet = std::chrono::milliseconds(100)) {
        return read(1 << 20, quiet);
    }

private:
    int master_ = -1;
    std::string slavePath_;
};

}  // namespace vela::test
