#include "record/record_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "record/file_error.h"

namespace vela {
namespace {

std::string megabytes(std::uint64_t bytes) { return std::to_string((bytes + (1 << 20) - 1) >> 20) + " MB"; }

}  // namespace

RecordFile::RecordFile(const std::string& path, std::uint64_t largest)
    : fd_(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC)) {
    struct stat status {};
    if (fd_ < 0 || ::fstat(fd_, &status) != 0) {
        problem_ = file_error_reason(errno, FileUse::Reading);
    } else if (S_ISDIR(status.st_mode)) {
        problem_ = file_error_reason(EISDIR, FileUse::Reading);
    } else if (!S_ISREG(status.st_mode)) {
        problem_ = "düz bir dosya değil";
    } else if (const auto size = static_cast<std::uint64_t>(status.st_size); size > largest) {
        problem_ = "çok büyük: " + megabytes(size) + "; en çok " + megabytes(largest) + " okunur";
    } else {
        size_ = size;
    }
}

RecordFile::~RecordFile() {
    if (fd_ >= 0) ::close(fd_);
}

// A file that grows while it is read is read only as far as it was checked.
Result<std::size_t> RecordFile::read(std::span<char> buffer) {
    std::size_t got = 0;
    while (got < buffer.size() && done_ < size_) {
        const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size() - got, size_ - done_));
        const ssize_t n = ::read(fd_, buffer.data() + got, want);
        if (n == 0) break;  // shortened meanwhile
        if (n < 0) {
            if (errno == EINTR) continue;
            return Refusal{file_error_reason(errno, FileUse::Reading)};
        }
        got += static_cast<std::size_t>(n);
        done_ += static_cast<std::uint64_t>(n);
    }
    return got;
}

Result<std::string> record_file_text(const std::string& path, std::uint64_t largest) {
    RecordFile file(path, largest);
    if (!file.problem().empty()) return Refusal{file.problem()};
    std::string text(static_cast<std::size_t>(file.size()), '\0');
    const Result<std::size_t> read = file.read(text);
    if (!read) return Refusal{read.message()};
    text.resize(*read);
    return text;
}

}  // namespace vela
