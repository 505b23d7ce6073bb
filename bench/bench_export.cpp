// Exporting a saved record for Wireshark and for a spreadsheet: a record of
// a million events (a sent frame, its delivery with a stray byte, the frame
// recognised in it, and now and then an event) exported to pcapng and to CSV,
// each timed, with the memory it took beside the record's size.
#include <QTemporaryDir>
#include <cstdio>
#include <fstream>

#include "bench_support.h"
#include "record/record_export.h"

using namespace vela;
using namespace vela::bench;

namespace {

constexpr std::size_t kEvents = 1'000'000;
constexpr double kSecondsLimit = 2;
constexpr double kMemoryLimitPerFile = 2;  // times the record's size

// Written a line at a time, so that making it takes no memory of its own.
std::uint64_t writeRecord(const QString& path) {
    std::ofstream out(path.toStdString(), std::ios::binary);
    out << "Zaman\tOlay\tBaytlar\tCihaz\tAnlam\n"
        << "2026-12-07 09:00:00.000\tPORT\t\t/dev/ttyUSB0\taçıldı: /dev/ttyUSB0, 19200 baud, UTC+03:00\n";
    char time[32];
    for (std::size_t i = 0; i + 1 < kEvents; i += 3) {
        const std::size_t ms = i * 10;
        std::snprintf(time, sizeof time, "2026-12-07 %02zu:%02zu:%02zu.%03zu", 9 + ms / 3600000 % 14, ms / 60000 % 60,
                      ms / 1000 % 60, ms % 1000);
        const unsigned number = 1 + i % 32;
        out << time << "\tGÖNDERILEN\t170 2 44 1 0 " << number << ' ' << (217 + number) % 256 << "\tEl Terminali "
            << number << "\tSayı Gönder\n";
        out << time << "\tGELEN\t9 170 16 0 0 0 " << number << ' ' << (186 + number) << "\t\t\n";
        out << time << "\tÇERÇEVE\t170 16 0 0 0 " << number << ' ' << (186 + number)
            << "\t\tALINDI (ACK) BİLGİSİ geldi\n";
    }
    out.close();
    return QFileInfo(path).size();
}

}  // namespace

int main() {
    QTemporaryDir dir;
    const QString record = dir.filePath("kayit.txt");
    const double recordMiB = double(writeRecord(record)) / (1 << 20);
    const double before = peakResidentMiB();

    heading("Exporting a record of 1,000,000 events");
    figure("record", recordMiB, "MiB");
    bool ok = true;
    for (const char* name : {"kayit.pcapng", "kayit.csv"}) {
        const auto start = Clock::now();
        const auto exported = export_record(record.toStdString(), dir.filePath(name).toStdString());
        const double took = seconds(Clock::now() - start);
        if (!exported) {
            std::printf("  FAILED: %s\n", exported.message().c_str());
            return 1;
        }
        std::printf("  %s: %llu written, %.1f MiB\n", name, static_cast<unsigned long long>(*exported),
                    double(QFileInfo(dir.filePath(name)).size()) / (1 << 20));
        ok = below(name, took, kSecondsLimit, "s") && ok;
    }
    ok = below("peak memory beyond the start, in records", (peakResidentMiB() - before) / recordMiB,
               kMemoryLimitPerFile, "x") &&
         ok;
    return ok ? 0 : 1;
}
