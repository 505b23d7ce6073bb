#include "record/file_error.h"

#include <cerrno>
#include <cstring>

namespace vela {

std::string file_error_reason(int error, FileUse use) {
    const bool writing = use == FileUse::Writing;
    switch (error) {
    case ENOSPC: return "diskte yer kalmadı";
    case EACCES:
    case EPERM: return writing ? "yazma izni yok" : "okuma izni yok";
    case ENOENT: return writing ? "klasör bulunamadı" : "böyle bir dosya ya da klasör yok";
    case EROFS: return "disk salt okunur";
    case EISDIR: return "bir klasör";
    case ELOOP: return "bağlantılar döngü yapıyor";
    default: return std::strerror(error);
    }
}

}  // namespace vela
