// The check of a run against its record. The comparison: 10,000 sent frames
// with 20,000 recorded answers against a run that differs here and there,
// with its verdict and TAP report. The pacing: "vela-test --check" runs on a
// pty with no display while a real-time thread stamps every byte on the far
// end; each wait, from a frame's last byte to the next frame's first, is
// compared with the gap between the two frames' recorded times.
#include <QDateTime>
#include <QProcess>
#include <QTemporaryDir>
#include <thread>

#include "bench_support.h"
#include "record/check_report.h"
#include "record/session_record.h"

using namespace vela;
using namespace vela::bench;

namespace {

constexpr std::size_t kExchanges = 10'000;
constexpr double kCompareLimitS = 1.0;
constexpr std::size_t kPacedFrames = 200;
constexpr int kPacedGapMs = 15;
constexpr double kMedianExcessLimitMs = 0.2;

Frame frame(Byte code, Byte number) { return {170, code, 0, 0, 0, number, static_cast<Byte>(170 + code + number)}; }

// Every hundredth answer missing, every hundred-and-first late.
bool compare() {
    std::vector<Exchange> exchanges;
    std::vector<CheckTime> sent;
    std::vector<TimedFrame> received;
    for (std::size_t i = 0; i < kExchanges; ++i) {
        const auto number = static_cast<Byte>(i % 32);
        const CheckTime at = std::chrono::milliseconds{static_cast<std::int64_t>(i) * 100};
        exchanges.push_back(
            {i + 2,
             frame(2, number),
             Device::HandTerminal,
             {{frame(16, number), std::chrono::milliseconds{20}}, {frame(1, number), std::chrono::milliseconds{40}}}});
        sent.push_back(at);
        if (i % 100 != 0)
            received.push_back({frame(16, number), at + std::chrono::milliseconds{i % 101 == 0 ? 290 : 21}});
        received.push_back({frame(1, number), at + std::chrono::milliseconds{i % 101 == 0 ? 295 : 41}});
    }
    std::stable_sort(received.begin(), received.end(),
                     [](const TimedFrame& a, const TimedFrame& b) { return a.at < b.at; });  // as a run hears them
    const auto start = Clock::now();
    const CheckResult result = check_run(exchanges, sent, received);
    const std::string tap = tap_report(check_points(exchanges, result), result);
    const double took = seconds(Clock::now() - start);
    heading("Comparing a run with its record: 10,000 frames sent, 20,000 answers recorded");
    count("answers recorded", result.answers);
    count("missing", result.count(Outcome::Missing));
    count("late", result.count(Outcome::Late));
    count("TAP bytes", tap.size());
    const bool right = result.answers == 2 * kExchanges && result.count(Outcome::Missing) == 100 &&
                       result.count(Outcome::Late) == 99 * 2 + 1;
    if (!right) std::printf("  FAILED: %s\n", verdict(result).c_str());
    return below("compared and reported in", took, kCompareLimitS, "s") && right;
}

std::string timeText(std::int64_t ms) {
    char text[32];
    std::snprintf(text, sizeof text, "2026-12-07 10:%02d:%02d.%03d", static_cast<int>(ms / 60'000),
                  static_cast<int>(ms / 1000 % 60), static_cast<int>(ms % 1000));
    return text;
}

bool pacing() {
    QTemporaryDir dir;
    test::Pty pty;
    const QString record = dir.filePath("kayit.txt");
    std::string text = "Zaman\tOlay\tBaytlar\tCihaz\tAnlam\n";
    for (std::size_t k = 0; k < kPacedFrames; ++k) {
        const Frame f = frame(2, static_cast<Byte>(k % 32));
        text += timeText(static_cast<std::int64_t>(k) * kPacedGapMs) + "\tGÖNDERILEN\t" + bytes_text(f) +
                "\tEl Terminali " + std::to_string(f[5]) + "\tSayı Gönder\n";
    }
    QFile file(record);
    if (!file.open(QIODevice::WriteOnly) || file.write(text.data(), static_cast<qint64>(text.size())) < 0) return false;
    file.close();
    std::vector<test::Pty::TimedByte> line;
    std::thread reader([&] {
        std::printf("  reader thread: %s\n", becomeRealTime() ? "real-time (SCHED_FIFO)" : "normal priority");
        readStamped(pty.masterFd(), kPacedFrames * 7, line);
    });
    QProcess check;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) environment.remove(name);
    check.setProcessEnvironment(environment);
    const QString run = dir.filePath("kontrol.txt");
    check.start(VELA_TEST_PATH, {"--check", record, "--port", QString::fromStdString(pty.slavePath()), "--baud",
                                 "19200", "--record", run});
    const bool ran = check.waitForFinished(60'000);
    reader.join();
    heading("The check's pacing: 200 frames 15 ms apart, vela-test --check with no display (19200 baud)");
    count("bytes read on the line", line.size());
    if (!ran || check.exitCode() != 0 || line.size() != kPacedFrames * 7) {
        std::printf("  FAILED: exit %d, %s\n", check.exitCode(), check.readAllStandardError().constData());
        return false;
    }
    std::vector<double> excess;
    for (std::size_t k = 0; k + 1 < kPacedFrames; ++k)
        excess.push_back(milliseconds(line[7 * (k + 1)].at - line[7 * k + 6].at) - kPacedGapMs);
    figure("wait excess, least (negative = too short)", *std::min_element(excess.begin(), excess.end()), "ms");
    const bool met = below("wait excess, median", median(excess), kMedianExcessLimitMs, "ms");
    figure("wait excess, worst", *std::max_element(excess.begin(), excess.end()), "ms");
    // A wait seen short on the far end follows a frame the pty handed over
    // late; the check's own record, stamped as each frame went out, tells
    // whether a frame really went early.
    QFile ranRecord(run);
    std::vector<qint64> sentAt;
    if (ranRecord.open(QIODevice::ReadOnly)) {
        for (const QString& line : QString::fromUtf8(ranRecord.readAll()).split(u'\n')) {
            const QStringList fields = line.split(u'\t');
            if (fields.size() == 5 && fields[1] == "GÖNDERILEN")
                sentAt.push_back(QDateTime::fromString(fields[0], "yyyy-MM-dd HH:mm:ss.zzz").toMSecsSinceEpoch());
        }
    }
    std::size_t shortInRecord = 0;
    for (std::size_t k = 0; k + 1 < sentAt.size(); ++k) shortInRecord += sentAt[k + 1] - sentAt[k] < kPacedGapMs;
    count("frames in the check's record", sentAt.size());
    count("  waits there shorter than recorded (ms)", shortInRecord);
    return met && sentAt.size() == kPacedFrames && shortInRecord == 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    const bool compared = compare();
    const bool paced = pacing();
    return compared && paced ? 0 : 1;
}
