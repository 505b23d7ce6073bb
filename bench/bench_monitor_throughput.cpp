// Monitor throughput: a million bytes, random with valid frames mixed in,
// written into the pty as fast as it takes them, handled by the real main
// window. Every byte must be logged and every frame in the stream shown.
#include <QTimer>
#include <atomic>
#include <random>
#include <thread>

#include "bench_support.h"
#include "ui/received_log.h"

using namespace vela;
using namespace vela::bench;

namespace {

constexpr std::size_t kBytes = 1'000'000;
constexpr double kTargetBytesPerSecond = 192'000;  // 100 times a 19200-baud line
constexpr double kPeakLimitMiB = 150;

struct Stream {
    std::vector<std::uint8_t> bytes;
    std::size_t framesInserted = 0;
};

// Runs of 0 to 24 random bytes, each followed by a valid frame; the last
// frame may be cut off at the end.
Stream makeStream() {
    std::mt19937 random(20240607);
    std::uniform_int_distribution<int> anyByte(0, 255);
    std::uniform_int_distribution<int> runLength(0, 24);
    const Byte codes[] = {1, 2, 3, 4, 5, 6, 7, 10, 12, 14, 16};
    std::uniform_int_distribution<std::size_t> code(0, std::size(codes) - 1);
    Stream stream;
    stream.bytes.reserve(kBytes + 32);
    while (stream.bytes.size() < kBytes) {
        for (int n = runLength(random); n > 0; --n) stream.bytes.push_back(static_cast<std::uint8_t>(anyByte(random)));
        const Frame frame = Komut_Cercevesi(codes[code(random)], static_cast<Byte>(anyByte(random) % 4), 0, 0,
                                            static_cast<Byte>(anyByte(random)));
        stream.bytes.insert(stream.bytes.end(), frame.begin(), frame.end());
        if (stream.bytes.size() <= kBytes) ++stream.framesInserted;
    }
    stream.bytes.resize(kBytes);
    return stream;
}

}  // namespace

int main(int argc, char* argv[]) {
    useOffscreenUnlessSet();
    QApplication application(argc, argv);
    applyConsoleStyle(application);

    const Stream stream = makeStream();
    const std::size_t expectedFrames = framesIn(stream.bytes);

    Console console;
    if (!console.ready()) {
        std::fprintf(stderr, "the console could not open the pty\n");
        return 2;
    }

    // Connected after the main window's own receiver, so it runs once the
    // monitor has handled the bytes it is told about.
    std::size_t handled = 0;
    Clock::time_point lastHandled;
    QObject::connect(&console.menu.MSComm1, &SerialPort::onComm, &application, [&](int, const QByteArray& input) {
        handled += static_cast<std::size_t>(input.size());
        if (handled >= kBytes) {
            lastHandled = Clock::now();
            application.quit();
        }
    });
    QTimer::singleShot(std::chrono::minutes(5), &application, &QCoreApplication::quit);

    std::atomic<bool> written{false};
    const Clock::time_point start = Clock::now();
    std::thread writer([&] { written = console.pty.write(stream.bytes); });
    application.exec();
    writer.join();
    // The display's pending refresh, as the technician would see it.
    QTest::qWait(2 * static_cast<int>(ReceivedDisplay::kRefreshInterval.count()));

    const double elapsed = seconds(lastHandled - start);
    const std::size_t beeps = static_cast<std::size_t>(console.feedback.beeps);
    const std::size_t recognised = beeps >= handled ? (beeps - handled) / 2 : 0;

    heading("Monitor throughput (1,000,000 bytes into the pty as fast as it takes them)");
    count("bytes written", stream.bytes.size());
    count("bytes handled by the monitor", handled);
    figure("time to handle them", elapsed, "s");
    atLeast("bytes/s handled", handled >= kBytes ? static_cast<double>(handled) / elapsed : 0, kTargetBytesPerSecond,
            "B/s");
    count("frames inserted whole", stream.framesInserted);
    count("frames in the stream (incl. by chance)", expectedFrames);
    count("frames recognised by the monitor", recognised);
    count("Text7 final length (characters)", static_cast<std::size_t>(console.menu.Text7()->text().size()));
    below("peak resident memory", peakResidentMiB(), kPeakLimitMiB, "MiB");

    const bool correct = written && handled == kBytes && recognised == expectedFrames &&
                         beeps == handled + 2 * expectedFrames;
    std::printf("  %s\n", correct ? "every byte handled, every frame recognised"
                                  : "FAILED: bytes or frames lost or counted wrong");
    return correct ? 0 : 1;
}
