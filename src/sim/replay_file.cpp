#include "sim/replay_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "sim/file_error.h"

namespace vela::sim {
namespace {

// The whole file, or why it cannot be read. Only a plain file is read: a
// device such as /dev/zero would never end, and a FIFO may block.
Result<std::string> file_text(const std::string& path) {
    const auto failed = [&](const std::string& reason) {
        return Refusal{"Oturum kaydı okunamadı: " + path + " (" + reason + ")"};
    };
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return failed(file_error_reason(errno));
    struct stat status {};
    std::string text;
    int error = 0;
    if (::fstat(fd, &status) != 0) {
        error = errno;
    } else if (S_ISDIR(status.st_mode)) {
        error = EISDIR;
    } else if (S_ISREG(status.st_mode)) {
        char buffer[65536];
        for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) != 0;) {
            if (n > 0) {
                text.append(buffer, static_cast<std::size_t>(n));
            } else if (errno != EINTR) {
                error = errno;
                break;
            }
        }
    }
    ::close(fd);
    if (error != 0) return failed(file_error_reason(error));
    if (!S_ISREG(status.st_mode)) return failed("düz bir dosya değil");
    return text;
}

}  // namespace

Result<std::vector<RecordedDelivery>> read_replay_file(const std::string& path) {
    const Result<std::string> text = file_text(path);
    if (!text) return Refusal{text.message()};
    Result<std::vector<RecordedDelivery>> deliveries = replay_deliveries(read_record(*text));
    if (!deliveries) return Refusal{"Oturum kaydı oynatılmıyor: " + path + "\n" + deliveries.message()};
    return deliveries;
}

}  // namespace vela::sim
