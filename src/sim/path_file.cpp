#include "sim/path_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "record/file_error.h"

namespace vela::sim {
namespace {

std::string failure(const std::string& path_file, const std::string& reason) {
    return "Yol dosyası yazılamadı: " + path_file + " (" + reason + ")";
}

}  // namespace

std::string path_file_partial(const std::string& path_file) { return path_file + ".yaziliyor"; }

std::optional<std::string> path_file_refusal(const std::string& path_file) {
    struct stat status {};
    if (::stat(path_file.c_str(), &status) != 0) {
        if (errno == ENOENT) return std::nullopt;
        return failure(path_file, file_error_reason(errno, FileUse::Writing));
    }
    if (S_ISDIR(status.st_mode)) return failure(path_file, file_error_reason(EISDIR, FileUse::Writing));
    if (!S_ISREG(status.st_mode)) return failure(path_file, "düz bir dosya değil");
    return std::nullopt;
}

std::optional<std::string> write_path_file(const std::string& path_file, const std::string& line_path) {
    const std::string partial = path_file_partial(path_file);
    // A leftover of the temporary name is removed, not followed: were it a
    // link, writing through it would reach another file.
    if (::unlink(partial.c_str()) != 0 && errno != ENOENT)
        return failure(path_file, file_error_reason(errno, FileUse::Writing));
    const int fd = ::open(partial.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) return failure(path_file, file_error_reason(errno, FileUse::Writing));
    const std::string text = line_path + "\n";
    const ssize_t n = ::write(fd, text.data(), text.size());
    int error = n < 0 ? errno : (static_cast<std::size_t>(n) != text.size() ? ENOSPC : 0);
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error == 0 && std::rename(partial.c_str(), path_file.c_str()) != 0) error = errno;
    if (error != 0) {
        ::unlink(partial.c_str());
        return failure(path_file, file_error_reason(error, FileUse::Writing));
    }
    return std::nullopt;
}

}  // namespace vela::sim
