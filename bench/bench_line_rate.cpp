// Cost at line rate: a full 19200-baud line (1,920 bytes a second) written one
// byte per write for 20 seconds into the real main window. Measures the
// console's CPU time as a share of one core and the delay from the last byte
// of a frame to its display under "GELEN DATALAR:".
#include <QAccessible>
#include <QEvent>
#include <QLabel>
#include <atomic>
#include <random>
#include <thread>
#include <unordered_map>

#include "bench_support.h"

using namespace vela;
using namespace vela::bench;

namespace {

constexpr int kBytesPerSecond = 1920;
constexpr int kSeconds = 20;
constexpr std::size_t kBytes = std::size_t{kBytesPerSecond} * kSeconds;
constexpr double kCpuLimitPercent = 2;
constexpr double kDelayLimitMs = 50;

// The frames carry their number in DATA3 and DATA4, so each shows as a
// different row of GelenLabel texts. No byte but a frame's first is 170, so
// no frame can form by chance.
struct Stream {
    std::vector<std::uint8_t> bytes;
    std::vector<std::size_t> frameEnds;  // index of each frame's last byte
    std::vector<Frame> frames;
};

Stream makeStream() {
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
            const auto high = static_cast<Byte>(number >> 8);
            ++number;
            frame = Komut_Cercevesi(3, low, high, static_cast<Byte>(filler(random)), static_cast<Byte>(1 + number % 32));
        } while (std::count(frame.begin() + 1, frame.end(), kStartByte) > 0);
        if (stream.bytes.size() + frame.size() > kBytes) break;
        stream.bytes.insert(stream.bytes.end(), frame.begin(), frame.end());
        stream.frameEnds.push_back(stream.bytes.size() - 1);
        stream.frames.push_back(frame);
    }
    stream.bytes.resize(kBytes, 0);
    return stream;
}

QString key(const Frame& frame) {
    QStringList texts;
    for (const Byte b : frame) texts << QString::fromStdString(byte_text(b));
    return texts.join(u'|');
}

// Notes when the received-bytes display is painted with a frame's bytes.
class DisplayWatch : public QObject {
public:
    DisplayWatch(AnaMenu& menu, const Stream& stream) : menu_(menu), shownAt(stream.frames.size()) {
        for (std::size_t i = 0; i < stream.frames.size(); ++i) frameByKey_[key(stream.frames[i])] = i;
        for (int i = 0; i < 7; ++i) menu.GelenLabel(i)->installEventFilter(this);
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

// Writes the stream one byte per write at the line's rate from its own
// thread while the event loop runs; notes when each frame's last byte went in.
struct Feed {
    std::vector<Clock::time_point> lastByteAt;
    double writerCpu = 0;
    double wall = 0;
    double uiCpu = 0;
    double processCpu = 0;  // the whole process less the writer thread
    bool written = true;
};

Feed feed(QApplication& application, test::Pty& pty, const Stream& stream, std::size_t bytes) {
    Feed result;
    result.lastByteAt.resize(stream.frames.size());
    const double uiCpuBefore = threadCpuSeconds();
    const double processCpuBefore = processCpuSeconds();
    const Clock::time_point start = Clock::now();
    std::thread writer([&] {
        const auto period = std::chrono::duration<double>(1.0 / kBytesPerSecond);
        std::size_t frame = 0;
        for (std::size_t i = 0; i < bytes; ++i) {
            std::this_thread::sleep_until(start + std::chrono::duration_cast<Clock::duration>(period * i));
            if (!pty.write({stream.bytes[i]})) result.written = false;
            if (frame < stream.frameEnds.size() && stream.frameEnds[frame] == i)
                result.lastByteAt[frame++] = Clock::now();
        }
        result.writerCpu = threadCpuSeconds();
        QMetaObject::invokeMethod(&application, &QCoreApplication::quit, Qt::QueuedConnection);
    });
    application.exec();
    writer.join();
    // Time for the last frame to be shown; it counts as the console's time.
    QTest::qWait(100);
    result.wall = seconds(Clock::now() - start);
    result.uiCpu = threadCpuSeconds() - uiCpuBefore;
    result.processCpu = processCpuSeconds() - processCpuBefore - result.writerCpu;
    return result;
}

// The floor under the console's figure: the same delivery to a bare serial
// port whose notification does nothing.
double bareNotificationPercent(QApplication& application, const Stream& stream) {
    test::Pty pty;
    qputenv("VELA_COM2", QByteArray::fromStdString(pty.slavePath()));
    SerialPort port;
    port.setCommPort(2);
    port.setSettings(QStringLiteral("19200,N,8,1"));
    if (!pty.valid() || port.open() != 0) return -1;
    port.setRThreshold(1);
    std::size_t received = 0;
    QObject::connect(&port, &SerialPort::onComm, [&](int, const QByteArray& input) {
        received += static_cast<std::size_t>(input.size());
    });
    const std::size_t bytes = stream.bytes.size() / 2;
    const Feed result = feed(application, pty, stream, bytes);
    return received == bytes ? 100 * result.processCpu / result.wall : -1;
}

}  // namespace

int main(int argc, char* argv[]) {
    useOffscreenUnlessSet();
    QApplication application(argc, argv);
    applyConsoleStyle(application);

    const Stream stream = makeStream();
    Console console;
    if (!console.ready()) {
        std::fprintf(stderr, "the console could not open the pty\n");
        return 2;
    }
    DisplayWatch watch(console.menu, stream);
    const Feed run = feed(application, console.pty, stream, stream.bytes.size());
    const auto beeps = static_cast<std::size_t>(console.feedback.beeps);

    std::vector<double> delays;
    for (std::size_t i = 0; i < stream.frames.size(); ++i) {
        if (watch.shownAt[i] != Clock::time_point{}) delays.push_back(milliseconds(watch.shownAt[i] - run.lastByteAt[i]));
    }
    std::sort(delays.begin(), delays.end());
    const std::size_t expectedFrames = framesIn(stream.bytes);

    const QByteArray title = QStringLiteral("Cost at line rate (1,920 bytes/s, one byte per write, 20 s), %1, accessibility %2")
                                 .arg(QGuiApplication::platformName(), QAccessible::isActive() ? "on" : "off")
                                 .toUtf8();
    heading(title.constData());
    count("bytes written", stream.bytes.size());
    count("frames written", stream.frames.size());
    count("frames painted under GELEN DATALAR", delays.size());
    count("frames replaced by the next before a paint", stream.frames.size() - delays.size());
    figure("wall time", run.wall, "s");
    figure("UI thread CPU", 100 * run.uiCpu / run.wall, "% of a core");
    figure("writer thread CPU (not counted)", 100 * run.writerCpu / run.wall, "% of a core");
    below("console CPU (process less the writer)", 100 * run.processCpu / run.wall, kCpuLimitPercent, "%");
    figure("display delay, median", median(delays), "ms");
    figure("display delay, 99th percentile",
           delays.empty() ? 0 : delays[std::min(delays.size() - 1, delays.size() * 99 / 100)], "ms");
    below("display delay, worst", delays.empty() ? 0 : delays.back(), kDelayLimitMs, "ms");
    figure("floor: bare port, notification only", bareNotificationPercent(application, stream), "% of a core");

    const bool correct = run.written && expectedFrames == stream.frames.size() &&
                         beeps == stream.bytes.size() + 2 * stream.frames.size();
    std::printf("  %s\n", correct ? "every byte handled, every frame recognised"
                                  : "FAILED: bytes lost or frames not recognised");
    return correct ? 0 : 1;
}
