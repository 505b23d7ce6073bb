// Sending a record again: a 255-character dot-matrix text ("Karakterleri
// Gönder") is recorded to a file, then sent again from that file
// ("Kayıttan Gönder…") while a thread stamps every byte on the far end of the
// pty. Each wait on the line, from a frame's last byte to the next frame's
// first, is compared with the gap between the two frames' recorded times.
#include <QDateTime>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <atomic>
#include <thread>

#include "bench_support.h"

using namespace vela;
using namespace vela::bench;

namespace {

constexpr std::size_t kFrames = 255 + 3;
constexpr double kMedianExcessLimitMs = 0.2;

// The times of the frames sent by the click, or of those sent again, as the
// record holds them.
std::vector<qint64> recordedTimes(const QString& path, bool again) {
    QFile file(path);
    std::vector<qint64> times;
    if (!file.open(QIODevice::ReadOnly)) return times;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(u'\n')) {
        const QStringList fields = line.split(u'\t');
        if (fields.size() == 5 && fields[1] == "GÖNDERILEN" && fields[4].startsWith("Kayıttan: ") == again)
            times.push_back(QDateTime::fromString(fields[0], "yyyy-MM-dd HH:mm:ss.zzz").toMSecsSinceEpoch());
    }
    return times;
}

// Every byte of `count` the far end reads, stamped by a real-time reader.
std::vector<test::Pty::TimedByte> readLine(int fd, std::size_t count) {
    std::printf("  reader thread: %s\n", becomeRealTime() ? "real-time (SCHED_FIFO)" : "normal priority");
    std::vector<test::Pty::TimedByte> got;
    readStamped(fd, count, got);
    return got;
}

}  // namespace

int main(int argc, char* argv[]) {
    useOffscreenUnlessSet();
    QApplication application(argc, argv);
    applyConsoleStyle(application);
    Console console;
    QTemporaryDir dir;
    const QString record = dir.filePath("kayit.txt");
    if (!console.ready() || !dir.isValid()) {
        std::fprintf(stderr, "the console could not open the pty\n");
        return 2;
    }
    SaveFileDialog::setAnswer([&](const QString&) { return record; });
    OpenFileDialog::setAnswer([&](const QString&) { return record; });
    console.action("Oturum Kaydını Kaydet…")->trigger();

    QString text;
    const QString letters = QStringLiteral("ABCÇDEFGĞHIİJKLMNOÖPRSŞTUÜVYZ 0123456789");
    for (int i = 0; i < 255; ++i) text += letters[i % letters.size()];
    console.menu.findChild<QLineEdit*>("Text8")->setText("7");
    console.menu.findChild<QLineEdit*>("Text9")->setText(text);
    console.menu.findChild<QPushButton*>("Command14")->click();
    const std::vector<qint64> recorded = recordedTimes(record, false);
    if (console.pty.read(kFrames * 7).size() != kFrames * 7 || recorded.size() != kFrames) {
        std::fprintf(stderr, "the text was not recorded whole\n");
        return 1;
    }

    std::vector<test::Pty::TimedByte> line;
    std::atomic<bool> read{false};
    std::thread reader([&] {
        line = readLine(console.pty.masterFd(), kFrames * 7);
        read = true;
    });
    console.action("Kayıttan Gönder…")->trigger();
    // The run goes on in the event loop; the reader gives up on a silent line.
    while (!read) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    reader.join();

    heading("Sending again: 255-character dot-matrix text from its record (19200 baud)");
    count("frames recorded", recorded.size());
    count("bytes read on the line", line.size());
    if (line.size() != kFrames * 7) {
        std::printf("  FAILED: not every frame came again\n");
        return 1;
    }
    std::vector<double> excess;
    for (std::size_t k = 0; k + 1 < kFrames; ++k) {
        const double gap = milliseconds(line[7 * (k + 1)].at - line[7 * k + 6].at);
        excess.push_back(gap - static_cast<double>(recorded[k + 1] - recorded[k]));
    }
    // The far end sees a wait short when the frame before it reached the
    // reader late (the pty hands bytes over through a kernel worker of normal
    // priority): the wait before is then seen longer by as much. The
    // console's own record of the run, stamped as each frame went out, tells
    // whether a frame really went early.
    std::size_t shortWaits = 0, afterLateFrame = 0;
    for (std::size_t k = 0; k < excess.size(); ++k) {
        if (excess[k] >= 0) continue;
        ++shortWaits;
        if (k > 0 && excess[k - 1] >= -excess[k]) ++afterLateFrame;
    }
    const std::vector<qint64> again = recordedTimes(record, true);
    std::size_t shortInRecord = 0;
    for (std::size_t k = 0; k + 1 < again.size(); ++k)
        shortInRecord += again[k + 1] - again[k] < recorded[k + 1] - recorded[k];
    count("waits", excess.size());
    figure("wait excess, least (negative = too short)", *std::min_element(excess.begin(), excess.end()), "ms");
    const bool met = below("wait excess, median", median(excess), kMedianExcessLimitMs, "ms");
    figure("wait excess, worst", *std::max_element(excess.begin(), excess.end()), "ms");
    count("waits seen shorter than recorded", shortWaits);
    count("  of them right after one seen longer", afterLateFrame);
    count("frames in the record of the run", again.size());
    count("  waits there shorter than recorded (ms)", shortInRecord);
    const bool neverEarly = again.size() == kFrames && shortInRecord == 0;
    std::printf("  %s\n",
                neverEarly ? "no frame went out sooner than recorded" : "MISSED: a wait shorter than recorded");
    const bool quiet = console.feedback.messages.isEmpty();
    if (!quiet) std::printf("  FAILED: the console said %s\n", qPrintable(console.feedback.messages.join(u'/')));
    return met && neverEarly && quiet ? 0 : 1;
}
