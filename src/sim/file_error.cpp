#include "sim/file_error.h"

#include <cerrno>
#include <cstring>

namespace vela::sim {

std::string file_error_reason(int error) {
    switch (error) {
    case ENOSPC: return "diskte yer kalmadı";
    case EACCES:
    case EPERM: return "izin yok";
    case ENOENT: return "böyle bir dosya ya da klasör yok";
    case EROFS: return "disk salt okunur";
    case EISDIR: return "bir klasör";
    default: return std::strerror(error);
    }
}

}  // namespace vela::sim
