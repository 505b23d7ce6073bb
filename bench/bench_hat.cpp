// "Hat Durumu": what the open window costs at a full 19200-baud line, the
// same traffic with the window closed and open in turn in one run (three
// rounds, so that the machine's other load falls on both); and
// the window's refresh once every possible device (each numbered type at all
// 256 numbers) has been counted over a million frames.
#include <pthread.h>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <thread>

#include "bench_support.h"
#include "ui/hat_durumu.h"
#include "ui/line_status_model.h"
#include "ui/line_watch.h"

using namespace vela;
using namespace vela::bench;

namespace {

constexpr int kBytesPerSecond = 1920;
constexpr int kPhaseSeconds = 10;
constexpr int kRounds = 3;
constexpr double kCpuRiseLimit = 0.3;  // points of a core
constexpr double kRefreshLimitMs = 20;
constexpr std::size_t kFrames = 1'000'000;

// Frames to hand terminals 1..32 and their acknowledgements, in turn, one
// byte a write at the line's rate; the process's CPU less the writer's.
double consoleCpuPercent(test::Pty& pty, int duration) {
    const std::size_t bytes = std::size_t{kBytesPerSecond} * static_cast<std::size_t>(duration);
    std::vector<Byte> stream;
    for (Byte n = 1; stream.size() < bytes; n = static_cast<Byte>(n % 32 + 1)) {
        for (const Frame& f : {Komut_Cercevesi(1, 0, 0, 0, n), Komut_Cercevesi(16, 0, 0, 0, n)})
            stream.insert(stream.end(), f.begin(), f.end());
    }
    const double processBefore = processCpuSeconds();
    double writerCpu = 0;
    const Clock::time_point start = Clock::now();
    QEventLoop loop;
    std::thread writer([&] {
        pthread_setname_np(pthread_self(), "writer");  // told apart from the console in perf
        const auto period = std::chrono::duration<double>(1.0 / kBytesPerSecond);
        for (std::size_t i = 0; i < bytes; ++i) {
            std::this_thread::sleep_until(start + std::chrono::duration_cast<Clock::duration>(period * i));
            pty.write({stream[i]});
        }
        writerCpu = threadCpuSeconds();
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    writer.join();
    QTest::qWait(250);
    return 100 * (processCpuSeconds() - processBefore - writerCpu) / seconds(Clock::now() - start);
}

// A million frames over every device: each numbered type at every number
// sent to and acknowledged, key presses and ticket requests, acknowledgements
// too late for any address, the chime and every device.
void fillEveryDevice(LineWatch& watch) {
    const Device types[] = {Device::HandTerminal, Device::TicketMachine, Device::DotMatrix, Device::MainBoard};
    auto at = Clock::now() - std::chrono::hours(1);
    for (std::size_t i = 0; i < kFrames / 2; ++i) {
        const auto number = static_cast<Byte>(i % 256);
        const Device type = types[(i / 256) % 4];
        at += std::chrono::milliseconds(5);
        if (i % 97 == 0) {
            watch.sent(i % 2 ? Device::Chime : Device::Everyone, Komut_Cercevesi(30, 0, 0, 0, 0), "x", at);
        } else {
            watch.sent(type, Komut_Cercevesi(2, 0, 0, 0, number), QStringLiteral("Sayı Gönder"), at);
        }
        const Byte code = i % 5 == 0 ? 1 : i % 5 == 1 ? 14 : 16;
        const auto late = i % 11 == 0 ? std::chrono::milliseconds(900) : std::chrono::milliseconds(3 + i % 40);
        watch.recognised(Komut_Cercevesi(code, 0, 0, 0, number), at + late);
        watch.received(7, i / 50, at + late);
    }
}

}  // namespace

int main(int argc, char* argv[]) {
    useOffscreenUnlessSet();
    QApplication application(argc, argv);
    applyConsoleStyle(application);
    Console console;
    if (!console.ready()) {
        std::fprintf(stderr, "the console could not open the pty\n");
        return 2;
    }
    HatDurumu& hat = console.menu.hatDurumu();
    heading("Hat Durumu at a full 19200-baud line, closed and open in turn, 10 s each, three rounds");
    double closed = 0, open = 0;
    for (int round = 1; round <= kRounds; ++round) {
        hat.hide();
        const double withoutWindow = consoleCpuPercent(console.pty, kPhaseSeconds);
        hat.show();
        const double withWindow = consoleCpuPercent(console.pty, kPhaseSeconds);
        std::printf("  round %d: console CPU closed %.3f %%, open %.3f %% of a core\n", round, withoutWindow,
                    withWindow);
        closed += withoutWindow / kRounds;
        open += withWindow / kRounds;
    }
    const bool cheap = below("CPU rise with the window open, mean", open - closed, kCpuRiseLimit, "points");

    heading("Hat Durumu refresh after a million frames over every device");
    LineWatch& watch = console.menu.lineWatch();
    watch.reset();
    QElapsedTimer clock;
    clock.start();
    fillEveryDevice(watch);
    figure("counting a million frames", static_cast<double>(clock.nsecsElapsed()) / 1e6, "ms");
    std::vector<double> refreshes, painted;
    for (int i = 0; i < 20; ++i) {
        clock.restart();
        hat.refresh();
        refreshes.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
        hat.repaint();
        painted.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
    }
    std::sort(refreshes.begin(), refreshes.end());
    std::sort(painted.begin(), painted.end());
    count("devices shown", static_cast<std::size_t>(hat.model().rowCount()));
    figure("refresh, median", median(refreshes), "ms");
    const bool fast = below("refresh, worst", refreshes.back(), kRefreshLimitMs, "ms");
    figure("refresh and paint, median", median(painted), "ms");
    figure("refresh and paint, worst", painted.back(), "ms");
    return cheap && fast ? 0 : 1;
}
