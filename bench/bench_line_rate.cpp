// Cost at line rate: a full 19200-baud line (1,920 bytes a second) written one
// byte per write for 20 seconds (or --seconds N) into the real main window.
// Measures the console's CPU time as a share of one core, how often its UI
// thread wakes up, how long a frame waits until it or a newer one is painted
// under "GELEN DATALAR:", the same for frames that come alone after a quiet
// line, and whether resident memory stays flat over the run.
#include <pthread.h>

#include <QAccessible>
#include <QEvent>
#include <QEventLoop>
#include <QLabel>
#include <QTimer>
#include <atomic>
#include <random>
#include <thread>
#include <unordered_map>

#include "bench_support.h"

using namespace vela;
using namespace vela::bench;

namespace {

constexpr int kBytesPerSecond = 1920;
constexpr int kDefaultSeconds = 20;
// Offscreen, and on a desktop with the accessibility bridge and a listener.
constexpr double kCpuLimitPercent = 1.2;
constexpr double kDesktopCpuLimitPercent = 2;
constexpr double kStreamDelayLimitMs = 150;
constexpr double kAloneDelayLimitMs = 50;
// Text7 and the session record keep a bounded part of the run; once both are
// full the console's memory stops growing.
constexpr double kMemoryGrowthLimitMiB = 2;
constexpr int kAloneFrames = 20;
constexpr std::chrono::milliseconds kAloneGap{250};  // well over the quiet line's 100 ms

// The frames carry their number in DATA3 and DATA4, so each shows as a
// different row of GelenLabel texts; past 65,535 frames (eight minutes) DATA5
// carries the rest of the number, above any filler. No byte but a frame's first is 170, so
// no frame can form by chance.
struct Stream {
    std::vector<std::uint8_t> bytes;
    std::vector<std::size_t> frameEnds;  // index of each frame's last byte
    std::vector<Frame> frames;
};

Stream makeStream(std::size_t size) {
    std::mt19937 random(1920);
    std::uniform_int_distribution<int> filler(0, 169);
    std::uniform_int_distribution<int> runLength(0, 13);
    Stream stream;
    int number = 0;
    while (true) {
        for (int n = runLength(random); n > 0; --n) stream.bytes.push_back(static_cast<std::uint8_t>(filler(random)));
        Frame frame;
        do {
            const auto low = static_cast<Byte>(number & 0xFF);
            const auto high = static_cast<Byte>((number >> 8) & 0xFF);
            const int filled = filler(random);
            const auto above = static_cast<Byte>(number < 65536 ? filled : kStartByte + (number >> 16));
            ++number;
            frame = Komut_Cercevesi(3, low, high, above, static_cast<Byte>(1 + number % 32));
        } while (std::count(frame.begin() + 1, frame.end(), kStartByte) > 0);
        if (stream.bytes.size() + frame.size() > size) break;
        stream.bytes.insert(stream.bytes.end(), frame.begin(), frame.end());
        stream.frameEnds.push_back(stream.bytes.size() - 1);
        stream.frames.push_back(frame);
    }
    stream.bytes.resize(size, 0);
    return stream;
}

QString key(const Frame& frame) {
    QStringList texts;
    for (const Byte b : frame) texts << QString::fromStdString(byte_text(b));
    return texts.join(u'|');
}

// Notes when the received-bytes display is first painted with each of the
// frames expected.
class DisplayWatch : public QObject {
public:
    explicit DisplayWatch(AnaMenu& menu) : menu_(menu) {
        for (int i = 0; i < 7; ++i) menu.GelenLabel(i)->installEventFilter(this);
    }

    void expect(const std::vector<Frame>& frames) {
        frameByKey_.clear();
        for (std::size_t i = 0; i < frames.size(); ++i) frameByKey_[key(frames[i])] = i;
        shownAt.assign(frames.size(), Clock::time_point{});
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            QStringList texts;
            for (int i = 0; i < 7; ++i) texts << menu_.GelenLabel(i)->text();
            const auto found = frameByKey_.find(texts.join(u'|'));
            if (found != frameByKey_.end() && shownAt[found->second] == Clock::time_point{})
                shownAt[found->second] = Clock::now();
        }
        return QObject::eventFilter(watched, event);
    }

private:
    AnaMenu& menu_;
    std::unordered_map<QString, std::size_t> frameByKey_;

public:
    std::vector<Clock::time_point> shownAt;
};

// How long each frame waited after its last byte until it, or a newer frame
// that replaced it, was painted; frames never followed by a paint are left out.
std::vector<double> delaysUntilShown(const std::vector<Clock::time_point>& shownAt,
                                     const std::vector<Clock::time_point>& lastByteAt) {
    std::vector<double> delays;
    Clock::time_point earliest{};
    for (std::size_t i = shownAt.size(); i-- > 0;) {
        if (shownAt[i] != Clock::time_point{} && (earliest == Clock::time_point{} || shownAt[i] < earliest))
            earliest = shownAt[i];
        if (earliest != Clock::time_point{}) delays.push_back(milliseconds(earliest - lastByteAt[i]));
    }
    std::sort(delays.begin(), delays.end());
    return delays;
}

// Frames written alone, each after a quiet line, each to its own display.
std::vector<double> aloneDelays(Console& console, DisplayWatch& watch) {
    std::vector<Frame> frames;
    for (int i = 0; i < kAloneFrames; ++i) frames.push_back(Komut_Cercevesi(16, 0, 0, static_cast<Byte>(i), 7));
    watch.expect(frames);
    std::vector<Clock::time_point> written;
    for (const Frame& frame : frames) {
        QTest::qWait(static_cast<int>(kAloneGap.count()));
        console.pty.write({frame.begin(), frame.end()});
        written.push_back(Clock::now());
    }
    QTest::qWait(static_cast<int>(kAloneGap.count()));
    std::vector<double> delays;
    for (std::size_t i = 0; i < frames.size(); ++i) {
        if (watch.shownAt[i] != Clock::time_point{}) delays.push_back(milliseconds(watch.shownAt[i] - written[i]));
    }
    std::sort(delays.begin(), delays.end());
    return delays;
}

// Writes the stream one byte per write at the line's rate from its own
// thread while the event loop runs; notes when each frame's last byte went in.
struct Feed {
    std::vector<Clock::time_point> lastByteAt;
    double writerCpu = 0;
    double wall = 0;
    double uiCpu = 0;
    double processCpu = 0;  // the whole process less the writer thread
    double uiWakeUps = 0;   // times the UI thread slept and woke again
    double residentAtTenth = 0;
    double residentAtHalf = 0;
    double residentAtThreeQuarters = 0;
    bool written = true;
};

// The UI thread's voluntary context switches: each is one sleep and wake-up.
double threadWakeUps() {
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return static_cast<double>(usage.ru_nvcsw);
}

Feed feed(test::Pty& pty, const Stream& stream, std::size_t bytes) {
    Feed result;
    result.lastByteAt.resize(stream.frames.size());
    const double uiCpuBefore = threadCpuSeconds();
    const double processCpuBefore = processCpuSeconds();
    const double wakeUpsBefore = threadWakeUps();
    const Clock::time_point start = Clock::now();
    const auto duration = std::chrono::duration<double>(static_cast<double>(bytes) / kBytesPerSecond);
    // Not the application's loop: quitting that closes the windows.
    QEventLoop loop;
    const QObject samples;  // ends the samples' timers with this call
    QTimer::singleShot(std::chrono::duration_cast<std::chrono::milliseconds>(duration / 10), &samples,
                       [&] { result.residentAtTenth = residentMiB(); });
    QTimer::singleShot(std::chrono::duration_cast<std::chrono::milliseconds>(duration / 2), &samples,
                       [&] { result.residentAtHalf = residentMiB(); });
    QTimer::singleShot(std::chrono::duration_cast<std::chrono::milliseconds>(duration * 3 / 4), &samples,
                       [&] { result.residentAtThreeQuarters = residentMiB(); });
    std::thread writer([&] {
        pthread_setname_np(pthread_self(), "writer");  // told apart from the console in perf
        const auto period = std::chrono::duration<double>(1.0 / kBytesPerSecond);
        std::size_t frame = 0;
        for (std::size_t i = 0; i < bytes; ++i) {
            std::this_thread::sleep_until(start + std::chrono::duration_cast<Clock::duration>(period * i));
            if (!pty.write({stream.bytes[i]})) result.written = false;
            if (frame < stream.frameEnds.size() && stream.frameEnds[frame] == i)
                result.lastByteAt[frame++] = Clock::now();
        }
        result.writerCpu = threadCpuSeconds();
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    writer.join();
    // Time for the last bytes to be gathered and the last frame shown (30 ms
    // and at most 100 ms); it counts as the console's time.
    QTest::qWait(250);
    result.wall = seconds(Clock::now() - start);
    result.uiCpu = threadCpuSeconds() - uiCpuBefore;
    result.uiWakeUps = threadWakeUps() - wakeUpsBefore;
    result.processCpu = processCpuSeconds() - processCpuBefore - result.writerCpu;
    return result;
}

// The floor under the console's figure: the same delivery to a bare serial
// port whose notification does nothing.
struct Bare {
    double cpuPercent = -1;
    double wakeUpsPerSecond = -1;
};

Bare bareNotification(const Stream& stream) {
    test::Pty pty;
    qputenv("VELA_COM2", QByteArray::fromStdString(pty.slavePath()));
    SerialPort port;
    port.setCommPort(2);
    port.setSettings(QStringLiteral("19200,N,8,1"));
    if (!pty.valid() || port.open() != 0) return {};
    port.setRThreshold(1);
    std::size_t received = 0;
    QObject::connect(&port, &SerialPort::onComm,
                     [&](int, const QByteArray& input) { received += static_cast<std::size_t>(input.size()); });
    // Ten seconds, however long the run.
    const std::size_t bytes = std::min(stream.bytes.size(), std::size_t{kBytesPerSecond} * kDefaultSeconds) / 2;
    const Feed result = feed(pty, stream, bytes);
    if (received != bytes) return {};
    return {100 * result.processCpu / result.wall, result.uiWakeUps / result.wall};
}

}  // namespace

int main(int argc, char* argv[]) {
    useOffscreenUnlessSet();
    QApplication application(argc, argv);
    applyConsoleStyle(application);

    int runSeconds = kDefaultSeconds;
    const QStringList arguments = application.arguments();
    if (const qsizetype at = arguments.indexOf(QStringLiteral("--seconds")); at > 0 && at + 1 < arguments.size())
        runSeconds = std::max(1, arguments[at + 1].toInt());
    const Stream stream = makeStream(std::size_t{kBytesPerSecond} * static_cast<std::size_t>(runSeconds));
    Console console;
    if (!console.ready()) {
        std::fprintf(stderr, "the console could not open the pty\n");
        return 2;
    }
    DisplayWatch watch(console.menu);
    watch.expect(stream.frames);
    const Feed run = feed(console.pty, stream, stream.bytes.size());
    const double residentAtEnd = residentMiB();
    const auto beeps = static_cast<std::size_t>(console.feedback.beeps);
    const std::size_t painted = static_cast<std::size_t>(std::count_if(
        watch.shownAt.begin(), watch.shownAt.end(), [](Clock::time_point at) { return at != Clock::time_point{}; }));
    const std::vector<double> delays = delaysUntilShown(watch.shownAt, run.lastByteAt);
    const std::vector<double> alone = aloneDelays(console, watch);
    const std::size_t expectedFrames = framesIn(stream.bytes);
    const bool onDesktop = QGuiApplication::platformName() != QLatin1String("offscreen");

    const QByteArray title = QStringLiteral(
                                 "Cost at line rate (1,920 bytes/s, one byte per write, %1 s), %2, "
                                 "accessibility %3")
                                 .arg(runSeconds)
                                 .arg(QGuiApplication::platformName(), QAccessible::isActive() ? "on" : "off")
                                 .toUtf8();
    heading(title.constData());
    count("bytes written", stream.bytes.size());
    count("frames written", stream.frames.size());
    count("frames painted under GELEN DATALAR", painted);
    count("frames replaced by the next before a paint", stream.frames.size() - painted);
    count("frames never shown nor replaced", stream.frames.size() - delays.size());
    figure("wall time", run.wall, "s");
    figure("UI thread CPU", 100 * run.uiCpu / run.wall, "% of a core");
    figure("UI thread wake-ups", run.uiWakeUps / run.wall, "per s");
    figure("writer thread CPU (not counted)", 100 * run.writerCpu / run.wall, "% of a core");
    below("console CPU (process less the writer)", 100 * run.processCpu / run.wall,
          onDesktop ? kDesktopCpuLimitPercent : kCpuLimitPercent, "%");
    figure("stream: last byte to display, median", median(delays), "ms");
    figure("stream: last byte to display, 99th pct.",
           delays.empty() ? 0 : delays[std::min(delays.size() - 1, delays.size() * 99 / 100)], "ms");
    below("stream: last byte to display, worst", delays.empty() ? 0 : delays.back(), kStreamDelayLimitMs, "ms");
    figure("alone: last byte to display, median", median(alone), "ms");
    below("alone: last byte to display, worst", alone.empty() ? 0 : alone.back(), kAloneDelayLimitMs, "ms");
    count("frames alone shown", alone.size());
    figure("resident memory at a tenth of the run", run.residentAtTenth, "MiB");
    figure("resident memory at half the run", run.residentAtHalf, "MiB");
    figure("resident memory growth, second half", residentAtEnd - run.residentAtHalf, "MiB");
    below("resident memory growth, last quarter", residentAtEnd - run.residentAtThreeQuarters, kMemoryGrowthLimitMiB,
          "MiB");
    const Bare bare = bareNotification(stream);
    figure("floor: bare port, notification only", bare.cpuPercent, "% of a core");
    figure("floor: bare port, UI thread wake-ups", bare.wakeUpsPerSecond, "per s");

    const bool correct = run.written && expectedFrames == stream.frames.size() &&
                         beeps == stream.bytes.size() + 2 * stream.frames.size() &&
                         delays.size() == stream.frames.size() &&
                         alone.size() == static_cast<std::size_t>(kAloneFrames);
    std::printf("  %s\n", correct ? "every byte handled, every frame recognised and shown"
                                  : "FAILED: bytes lost, frames not recognised or not shown");
    return correct ? 0 : 1;
}
