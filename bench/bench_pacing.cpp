// Pacing on the line: the waits between frames as the far end of the pty sees
// them, for a 255-character dot-matrix text ("Karakterleri Gönder") and a full
// ticket transfer ("GÖNDER", 104 frames). A dedicated thread blocks on the
// pty and stamps every read; the wait after a frame is the time from its last
// byte to the first byte of the next one. The reader is first measured
// against a writer of known timing, so that its own error can be told from
// the console's.
#include <fcntl.h>
#include <time.h>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

#include <thread>

#include "bench_support.h"
#include "protocol/commands.h"
#include "protocol/ticket.h"
#include "ui/bilet_ayarlama.h"

using namespace vela;
using namespace vela::bench;

namespace {

constexpr double kMedianExcessLimitMs = 0.2;
constexpr double kWorstExcessLimitMs = 2;

// Every byte the far end reads, stamped when the read returned.
class LineReader {
public:
    LineReader(int fd, std::size_t bytes) : thread_([this, fd, bytes] { run(fd, bytes); }) {}

    std::vector<test::Pty::TimedByte> finish() {
        thread_.join();
        return std::move(got_);
    }
    bool realTime() const { return realTime_; }

private:
    void run(int fd, std::size_t bytes) {
        realTime_ = becomeRealTime();
        got_.reserve(bytes);
        readStamped(fd, bytes, got_);
    }

    std::vector<test::Pty::TimedByte> got_;
    bool realTime_ = false;
    std::thread thread_;
};

// Compares the line with the sequence: bytes first, then each wait.
bool report(const char* title, const Sequence& specified, LineReader& reader) {
    const std::vector<test::Pty::TimedByte> line = reader.finish();
    heading(title);
    std::printf("  reader thread: %s\n", reader.realTime() ? "real-time (SCHED_FIFO)" : "normal priority");
    const std::size_t bytes = specified.size() * 7;
    bool same = line.size() == bytes;
    for (std::size_t i = 0; same && i < bytes; ++i) same = line[i].value == specified[i / 7].frame[i % 7];
    count("frames specified", specified.size());
    count("bytes read on the line", line.size());
    if (!same) {
        std::printf("  FAILED: the bytes on the line differ from the specified frames\n");
        return false;
    }

    std::vector<double> sleepExcess, frameGaps;
    double shortest = 1e9;
    double specifiedTotal = 0;
    const auto gapAfter = [&](std::size_t k) { return milliseconds(line[7 * (k + 1)].at - line[7 * k + 6].at); };
    for (std::size_t k = 0; k + 1 < specified.size(); ++k) {
        const double gap = gapAfter(k);
        const double wanted = static_cast<double>(specified[k].pause_after.count());
        specifiedTotal += wanted;
        if (wanted > 0) {
            sleepExcess.push_back(gap - wanted);
            shortest = std::min(shortest, gap - wanted);
        } else {
            frameGaps.push_back(gap);
        }
    }
    // A wait seen short because a byte reached the reader late: the frame
    // before the wait arrived late by at least the shortfall, counted as the
    // spread of its seven bytes (written together) plus how much longer than
    // usual the gap before it was seen.
    std::size_t shortWaits = 0, afterLateByte = 0;
    for (std::size_t k = 0; k + 1 < specified.size(); ++k) {
        const double wanted = static_cast<double>(specified[k].pause_after.count());
        if (wanted == 0 || gapAfter(k) >= wanted) continue;
        ++shortWaits;
        const double spread = milliseconds(line[7 * k + 6].at - line[7 * k].at);
        double before = 0;
        if (k > 0) {
            const double usual = specified[k - 1].pause_after.count() > 0 ? median(sleepExcess) : median(frameGaps);
            before = gapAfter(k - 1) - static_cast<double>(specified[k - 1].pause_after.count()) - usual;
        }
        if (spread + std::max(before, 0.0) >= wanted - gapAfter(k)) ++afterLateByte;
    }
    const double total = milliseconds(line.back().at - line.front().at);
    count("specified waits", sleepExcess.size());
    figure("wait error, least (negative = too short)", sleepExcess.empty() ? 0 : shortest, "ms");
    below("wait excess, median", median(sleepExcess), kMedianExcessLimitMs, "ms");
    below("wait excess, worst", sleepExcess.empty() ? 0 : *std::max_element(sleepExcess.begin(), sleepExcess.end()),
          kWorstExcessLimitMs, "ms");
    count("gaps without a specified wait", frameGaps.size());
    figure("  their median", median(frameGaps), "ms");
    figure("  their worst", frameGaps.empty() ? 0 : *std::max_element(frameGaps.begin(), frameGaps.end()), "ms");
    figure("total, specified waits", specifiedTotal, "ms");
    figure("total, first byte to last byte", total, "ms");
    figure("total, excess", total - specifiedTotal, "ms");
    count("waits seen short", shortWaits);
    count("  of them right after a byte that came late", afterLateByte);
    const bool neverShort = sleepExcess.empty() || shortest >= 0;
    std::printf("  %s\n", neverShort ? "no wait shorter than specified" : "MISSED: a wait shorter than specified");
    return true;
}

// The reader against a known writer: a real-time thread writes 7-byte frames
// to the pty's other end with 20 ms between them, each wait slept to an
// absolute deadline, and stamps every write. A gap the reader sees shorter or
// longer than the written one is the reader's own error: the kernel hands pty
// bytes to the reader through a worker thread of normal priority.
void readerCheck() {
    constexpr std::size_t kFrames = 100;
    constexpr auto kWait = std::chrono::milliseconds(20);
    test::Pty pty;
    const int slave = ::open(pty.slavePath().c_str(), O_WRONLY | O_NOCTTY);
    std::vector<Clock::time_point> firstWritten(kFrames), lastWritten(kFrames);
    LineReader reader(pty.masterFd(), kFrames * 7);
    std::thread writer([&] {
        becomeRealTime();
        for (std::size_t k = 0; k < kFrames; ++k) {
            for (int i = 0; i < 7; ++i) {
                const auto byte = static_cast<std::uint8_t>(k + i);
                if (::write(slave, &byte, 1) != 1) return;
                (i == 0 ? firstWritten : lastWritten)[k] = Clock::now();
            }
            const auto next = std::chrono::duration_cast<std::chrono::nanoseconds>(
                (lastWritten[k] + kWait).time_since_epoch());
            const timespec at{static_cast<time_t>(next.count() / 1'000'000'000),
                              static_cast<long>(next.count() % 1'000'000'000)};
            ::clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &at, nullptr);
        }
    });
    writer.join();
    const std::vector<test::Pty::TimedByte> line = reader.finish();
    ::close(slave);
    heading("Pacing: the reader against a known writer (100 frames, 20 ms apart)");
    std::printf("  reader thread: %s\n", reader.realTime() ? "real-time (SCHED_FIFO)" : "normal priority");
    if (line.size() != kFrames * 7) {
        std::printf("  FAILED: %zu of %zu bytes read\n", line.size(), kFrames * 7);
        return;
    }
    std::vector<double> error;
    for (std::size_t k = 0; k + 1 < kFrames; ++k) {
        const double written = milliseconds(firstWritten[k + 1] - lastWritten[k]);
        error.push_back(milliseconds(line[7 * (k + 1)].at - line[7 * k + 6].at) - written);
    }
    figure("read gap minus written gap, least", *std::min_element(error.begin(), error.end()), "ms");
    figure("read gap minus written gap, median", median(error), "ms");
    figure("read gap minus written gap, worst", *std::max_element(error.begin(), error.end()), "ms");
}

template <class T>
T& child(QWidget& window, const QString& name) {
    return *window.findChild<T*>(name);
}

QString text255() {
    const QString letters = QStringLiteral("ABCÇDEFGĞHIİJKLMNOÖPRSŞTUÜVYZ 0123456789");
    QString text;
    for (int i = 0; i < 255; ++i) text += letters[i % letters.size()];
    return text;
}

bool dotMatrixText(Console& console) {
    const QString text = text255();
    const Result<Sequence> specified = dot_matrix::text_transfer(7, text.toStdString());
    if (!specified) return false;
    child<QLineEdit>(console.menu, QStringLiteral("Text8")).setText(QStringLiteral("7"));
    child<QLineEdit>(console.menu, QStringLiteral("Text9")).setText(text);
    LineReader reader(console.pty.masterFd(), specified->size() * 7);
    child<QPushButton>(console.menu, QStringLiteral("Command14")).click();
    return report("Pacing: 255-character dot-matrix text (Karakterleri Gönder)", *specified, reader);
}

bool ticket(Console& console) {
    TicketLayout layout;
    const char* lines[] = {"KARVO HASTANE", "POLİKLİNİK", "SIRA BİLETİ", "İYİ GÜNLER", "GİŞE İŞLEMLERİ", "VEZNE"};
    for (int k = 0; k < 4; ++k) layout.institution[k] = {true, lines[k]};
    for (int k = 0; k < 2; ++k) layout.button[k] = {true, lines[4 + k]};
    layout.font_ticked.fill(true);
    const Result<Sequence> specified = ticket_transfer(129, layout);
    if (!specified || specified->size() != 104) return false;

    console.menu.hide();
    BiletAyarlama& bilet = console.windows.biletAyarlama();
    bilet.show();
    child<QLineEdit>(bilet, QStringLiteral("Text5")).setText(QStringLiteral("129"));
    for (int k : {0, 1, 2, 3, 6, 7}) {
        bilet.Check1(k)->setChecked(true);
        bilet.Text1(k)->setText(QString::fromUtf8(lines[k < 4 ? k : k - 2]));
    }
    for (int slot = 2; slot <= 9; ++slot) child<QCheckBox>(bilet, QStringLiteral("Check%1").arg(slot)).setChecked(true);
    LineReader reader(console.pty.masterFd(), specified->size() * 7);
    child<QPushButton>(bilet, QStringLiteral("BiletBilgisiGönder")).click();
    return report("Pacing: full ticket transfer (GÖNDER, 104 frames)", *specified, reader);
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
    readerCheck();
    const bool text = dotMatrixText(console);
    const bool tickets = ticket(console);
    if (!console.feedback.messages.isEmpty())
        std::printf("  FAILED: the console said %s\n", qPrintable(console.feedback.messages.join(u'/')));
    return text && tickets && console.feedback.messages.isEmpty() ? 0 : 1;
}
