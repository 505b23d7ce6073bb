#pragma once
// What the benchmarks share: the test console at 19200 baud, resource figures
// of this process, and one way of printing a figure against its target.
#include <poll.h>
#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QApplication>
#include <QTest>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "protocol/monitor.h"
#include "support/console.h"
#include "ui/console_style.h"

namespace vela::bench {

using Clock = std::chrono::steady_clock;

// The frames a monitor must recognise in a stream, those formed by chance
// included.
inline std::size_t framesIn(const std::vector<std::uint8_t>& bytes) {
    ReceiveWindow window;
    std::size_t frames = 0;
    for (const std::uint8_t b : bytes) frames += window.push(b).has_value();
    return frames;
}

inline double seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }
inline double milliseconds(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// A real-time reader wakes as soon as the bytes are there, so that its own
// scheduling delay does not show as a wait; allowed only to root.
inline bool becomeRealTime() {
    sched_param priority{};
    priority.sched_priority = sched_get_priority_min(SCHED_FIFO);
    return pthread_setschedparam(pthread_self(), SCHED_FIFO, &priority) == 0;
}

// Reads the far end until `got` holds `count` bytes, each stamped when its read
// returned; gives up after a silent 5 s.
inline void readStamped(int fd, std::size_t count, std::vector<test::Pty::TimedByte>& got) {
    while (got.size() < count) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 5000) <= 0) return;
        std::uint8_t buffer[4096];
        const ssize_t n = ::read(fd, buffer, std::min(sizeof buffer, count - got.size()));
        const auto now = Clock::now();
        for (ssize_t i = 0; i < n; ++i) got.push_back({buffer[i], now});
    }
}

// Windows need a platform; without a display the benchmarks draw offscreen.
inline void useOffscreenUnlessSet() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
}

inline double cpuSeconds(const rusage& usage) {
    const auto tv = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return tv(usage.ru_utime) + tv(usage.ru_stime);
}

// CPU time (user and system) of the calling thread or of the whole process.
inline double threadCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return cpuSeconds(usage);
}
inline double processCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return cpuSeconds(usage);
}

inline double peakResidentMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;  // ru_maxrss is in KiB
}

inline double residentMiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
    }
    return -1;
}

inline double median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const std::size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

inline void heading(const char* title) { std::printf("\n== %s\n", title); }

inline void figure(const char* name, double value, const char* unit) {
    std::printf("  %-40s %14.3f %s\n", name, value, unit);
}

inline void count(const char* name, std::size_t value) { std::printf("  %-40s %10zu\n", name, value); }

// A figure that must reach at least `target`; the ratio is value / target.
inline bool atLeast(const char* name, double value, double target, const char* unit) {
    const bool met = value >= target;
    std::printf("  %-40s %14.3f %-8s target >= %-10g ratio %8.3f  %s\n", name, value, unit, target, value / target,
                met ? "met" : "MISSED");
    return met;
}

// A figure that must stay under `limit`; the ratio is value / limit (below 1
// is met).
inline bool below(const char* name, double value, double limit, const char* unit) {
    const bool met = value < limit;
    std::printf("  %-40s %14.3f %-8s target <  %-10g ratio %8.3f  %s\n", name, value, unit, limit, value / limit,
                met ? "met" : "MISSED");
    return met;
}

// The test console at 19200 baud, the faster of the two speeds.
struct Console : test::Console {
    Console() : test::Console(Port::Open, 19200) {}
    bool ready() const { return pty.valid() && opened && exposed; }
};

}  // namespace vela::bench
