// What the session record costs: the console's CPU at a full 19200-baud line
// (1,920 bytes a second, one byte per write) with and without the record
// appended to a file, the recorder's own work for the same traffic measured
// alone, and the memory 100,000 kept events take.
#include <QTemporaryDir>
#include <random>
#include <thread>

#include "bench_support.h"

using namespace vela;
using namespace vela::bench;

namespace {

constexpr int kBytesPerSecond = 1920;
constexpr int kSeconds = 10;
constexpr double kCpuLimitPercent = 0.5;
constexpr double kMemoryLimitMiB = 30;

// Frames of the hand terminal's repeat-number key with filler between them;
// no filler byte is 170, so every frame is one the monitor recognises.
std::vector<std::uint8_t> makeStream(std::size_t size) {
    std::mt19937 random(1920);
    std::uniform_int_distribution<int> filler(0, 169);
    std::vector<std::uint8_t> bytes;
    while (bytes.size() < size) {
        for (int n = filler(random) % 8; n > 0; --n) bytes.push_back(static_cast<std::uint8_t>(filler(random)));
        const Frame frame = Komut_Cercevesi(3, 0, 0, 0, static_cast<Byte>(1 + filler(random) % 32));
        bytes.insert(bytes.end(), frame.begin(), frame.end());
    }
    bytes.resize(size);
    return bytes;
}

// The console's CPU (the process less the writer thread) as a share of a
// core while the stream is written one byte per write at the line's rate.
double consolePercent(QApplication& application, Console& console, const std::vector<std::uint8_t>& bytes) {
    double writerCpu = 0;
    const double before = processCpuSeconds();
    const Clock::time_point start = Clock::now();
    std::thread writer([&] {
        const auto period = std::chrono::duration<double>(1.0 / kBytesPerSecond);
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            std::this_thread::sleep_until(start + std::chrono::duration_cast<Clock::duration>(period * i));
            console.pty.write({bytes[i]});
        }
        writerCpu = threadCpuSeconds();
        QMetaObject::invokeMethod(&application, &QCoreApplication::quit, Qt::QueuedConnection);
    });
    application.exec();
    writer.join();
    QTest::qWait(100);
    return 100 * (processCpuSeconds() - before - writerCpu) / seconds(Clock::now() - start);
}

// The recorder alone, given in a moment what the line brings in kSeconds:
// a delivery every 30 ms (the port's gathering), each flushed to the file,
// and every frame the stream holds. Its CPU as a share of a core over
// kSeconds.
double recorderPercent(const std::vector<std::uint8_t>& bytes, const QString& file) {
    QWidget parent;
    SessionRecorder recorder(&parent);
    recorder.saveTo(file);
    ReceiveMonitor monitor;
    const std::size_t perDelivery = kBytesPerSecond * 30 / 1000;
    const double before = threadCpuSeconds();
    for (std::size_t at = 0; at < bytes.size(); at += perDelivery) {
        const std::size_t end = std::min(at + perDelivery, bytes.size());
        const auto now = SessionRecorder::Moment::clock::now();
        recorder.received(
            QByteArray(reinterpret_cast<const char*>(bytes.data() + at), static_cast<qsizetype>(end - at)), now);
        for (const RecognisedFrame& found : monitor.take(std::span(bytes).subspan(at, end - at)))
            recorder.recognised(found, now);
        recorder.flush();
    }
    return 100 * (threadCpuSeconds() - before) / kSeconds;
}

// Resident memory added by 100,000 kept events of the line's largest kind,
// a 30 ms delivery; none is written.
double keptMiB(const std::vector<std::uint8_t>& bytes) {
    QWidget parent;
    const double before = residentMiB();
    SessionRecorder recorder(&parent);
    const QByteArray delivery(reinterpret_cast<const char*>(bytes.data()), kBytesPerSecond * 30 / 1000);
    for (std::size_t i = 0; i < SessionRecorder::kKeptEvents; ++i)
        recorder.received(delivery, SessionRecorder::Moment::clock::now());
    return residentMiB() - before;
}

}  // namespace

int main(int argc, char* argv[]) {
    useOffscreenUnlessSet();
    QApplication application(argc, argv);
    applyConsoleStyle(application);
    QTemporaryDir dir;

    const std::vector<std::uint8_t> bytes = makeStream(std::size_t{kBytesPerSecond} * kSeconds);
    const double memory = keptMiB(bytes);
    const double alone = recorderPercent(bytes, dir.filePath("alone.txt"));
    Console console;
    if (!console.ready()) {
        std::fprintf(stderr, "the console could not open the pty\n");
        return 2;
    }
    // A first run warms fonts and caches up; then runs alternate, the record
    // kept in memory only (as before a file is chosen) and also appended.
    consolePercent(application, console, {bytes.begin(), bytes.begin() + kBytesPerSecond * 2});
    SessionRecorder& recorder = console.menu.sessionRecorder();
    std::vector<double> memoryOnly, appended;
    bool saved = true;
    for (int pair = 0; pair < 2; ++pair) {
        memoryOnly.push_back(consolePercent(application, console, bytes));
        saved = recorder.saveTo(dir.filePath("line.txt")) && saved;
        appended.push_back(consolePercent(application, console, bytes));
        saved = recorder.appending() && saved;
        recorder.stop();
    }

    heading("Cost of the session record (1,920 bytes/s, one byte per write, runs of 10 s)");
    figure("console CPU, record in memory, median", median(memoryOnly), "% of a core");
    figure("console CPU, record also appended, median", median(appended), "% of a core");
    figure("difference (noisy: separate runs)", median(appended) - median(memoryOnly), "% of a core");
    const bool cpu = below("recorder alone, same traffic", alone, kCpuLimitPercent, "%");
    const bool kept = below("memory of 100,000 kept events", memory, kMemoryLimitMiB, "MiB");
    if (!saved) std::printf("  FAILED: the record could not be written\n");
    return saved && cpu && kept ? 0 : 1;
}
