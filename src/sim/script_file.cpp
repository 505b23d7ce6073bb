#include "sim/script_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "sim/file_error.h"

namespace vela::sim {
namespace {

constexpr const char* kTooLong = "1 MiB'den uzun; betik değil";

}  // namespace

Result<std::string> read_script_file(const std::string& path) {
    const auto refused = [&](const std::string& reason) {
        return Refusal{"Betik okunamadı: " + path + " (" + reason + ")"};
    };
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return refused(file_error_reason(errno));
    struct stat status {};
    std::string text;
    std::string reason;
    if (::fstat(fd, &status) != 0) {
        reason = file_error_reason(errno);
    } else if (S_ISDIR(status.st_mode)) {
        reason = file_error_reason(EISDIR);
    } else if (!S_ISREG(status.st_mode)) {
        reason = "düz bir dosya değil";
    } else if (static_cast<std::size_t>(status.st_size) > kLongestScript) {
        reason = kTooLong;
    } else {
        // Read to one byte past the limit: the size a file shows may change.
        char buffer[65536];
        while (reason.empty() && text.size() <= kLongestScript) {
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n == 0) break;
            if (n > 0) {
                text.append(buffer, static_cast<std::size_t>(n));
            } else if (errno != EINTR) {
                reason = file_error_reason(errno);
            }
        }
        if (reason.empty() && text.size() > kLongestScript) reason = kTooLong;
    }
    ::close(fd);
    if (!reason.empty()) return refused(reason);
    return text;
}

}  // namespace vela::sim
