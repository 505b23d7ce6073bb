#include "record/record_export.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fstream>
#include <vector>

#include "record/csv_export.h"
#include "record/file_error.h"
#include "record/pcapng_export.h"
#include "record/record_file.h"
#include "record/record_reader.h"

namespace vela {
namespace {

constexpr std::size_t kPiece = 1 << 20;

bool ends_with_folded(std::string_view text, std::string_view ending) {
    return text.size() >= ending.size() &&
           std::equal(ending.begin(), ending.end(), text.end() - static_cast<std::ptrdiff_t>(ending.size()),
                      [](char a, char b) { return a == (b >= 'A' && b <= 'Z' ? b - 'A' + 'a' : b); });
}

// Every entry of the record at `path` handed to `take`, or why the record is
// refused.
std::optional<Refusal> read_entries(const std::string& path, const RecordStream::Take& take) {
    RecordFile file(path);
    if (!file.problem().empty()) return Refusal{"Kayıt okunamadı: " + path + " (" + file.problem() + ")."};
    RecordStream stream(take);
    std::vector<char> piece(kPiece);
    for (;;) {
        const Result<std::size_t> read = file.read(piece);
        if (!read) return Refusal{"Kayıt okunamadı: " + path + " (" + read.message() + ")."};
        if (*read == 0) break;
        stream.add(std::string_view(piece.data(), *read));
    }
    return stream.finish();
}

Refusal unwritten(const std::string& target, int error) {
    return Refusal{"Dosya yazılamadı: " + target + " (" + file_error_reason(error, FileUse::Writing) + ")."};
}

}  // namespace

std::optional<ExportFormat> export_format_of(std::string_view path) {
    if (ends_with_folded(path, ".pcapng")) return ExportFormat::Pcapng;
    if (ends_with_folded(path, ".csv")) return ExportFormat::Csv;
    return std::nullopt;
}

Result<std::uint64_t> export_record(const std::string& record, const std::string& target) {
    const std::optional<ExportFormat> format = export_format_of(target);
    if (!format) return Refusal{"Dışa aktarılacak dosyanın adı .pcapng ya da .csv ile bitmeli."};
    struct stat status {};
    if (::stat(target.c_str(), &status) == 0 && !S_ISREG(status.st_mode))
        return Refusal{"Dosya yazılamadı: " + target + " (düz bir dosya değil)."};

    // The capture's interface is named after the port the record opened first.
    std::optional<PortOpening> port;
    if (std::optional<Refusal> refusal = read_entries(record, [&](RecordEntry&& entry) {
            if (!port && entry.event == RecordEvent::Port) port = read_port_opened(entry.meaning);
        })) {
        return *refusal;
    }

    std::string partial = target + ".XXXXXX";
    const int fd = ::mkstemp(partial.data());
    if (fd < 0) return unwritten(target, errno);
    // A new file is made for its owner alone; the export is as readable as
    // any file the technician writes.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    ::close(fd);
    std::ofstream out(partial, std::ios::binary | std::ios::trunc);
    std::uint64_t written = 0;
    std::optional<Refusal> refusal;
    if (*format == ExportFormat::Pcapng) {
        PcapngWriter writer(out, port);
        refusal = read_entries(record, [&](RecordEntry&& entry) { writer.take(entry); });
        written = writer.finish();
    } else {
        CsvWriter writer(out);
        refusal = read_entries(record, [&](RecordEntry&& entry) { writer.take(entry); });
        written = writer.finish();
    }
    out.close();
    if (!refusal && !out) refusal = Refusal{"Dosya yazılamadı: " + target + " (yazma yarıda kaldı)."};
    if (!refusal && std::rename(partial.c_str(), target.c_str()) != 0) refusal = unwritten(target, errno);
    if (refusal) {
        ::unlink(partial.c_str());
        return *refusal;
    }
    return written;
}

}  // namespace vela
