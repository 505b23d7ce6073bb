#include "sim/record_log.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "record/file_error.h"

namespace vela::sim {

RecordLog::RecordLog(std::string path) : path_(std::move(path)) {
    // Opened without waiting: a FIFO nobody reads would hold the open for good.
    fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NONBLOCK, 0666);
    if (fd_ < 0) {
        const std::string reason = errno == ENXIO ? "okuyanı olmayan bir FIFO"
                                                  : file_error_reason(errno, FileUse::Writing);
        failure_ = "Kayıt dosyası açılamadı: " + path_ + " (" + reason + ")";
        return;
    }
    // Lines are written whole: a reader of a FIFO that falls behind holds the
    // simulator rather than cutting the record.
    ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) & ~O_NONBLOCK);
}

RecordLog::~RecordLog() {
    if (fd_ >= 0) ::close(fd_);
}

bool RecordLog::write_line(std::string_view line) {
    if (!failure_.empty()) return false;
    std::string text(line);
    text += '\n';
    for (std::size_t done = 0; done < text.size();) {
        const ssize_t n = ::write(fd_, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            // A write that takes nothing without an error would never end.
            failure_ = "Kayıt dosyasına yazılamadı: " + path_ + " (" +
                       file_error_reason(n < 0 ? errno : EIO, FileUse::Writing) + ")";
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace vela::sim
