#pragma once
// Why a file could not be read or written, in words a technician can act on:
// the one wording of file errors for the console and the simulator.
#include <string>

namespace vela {

enum class FileUse { Reading, Writing };

// The reason for the system error `error` ("diskte yer kalmadı"); a missing
// file is a missing folder when writing, since the file is created. One
// without words of its own as the system words it.
std::string file_error_reason(int error, FileUse use);

}  // namespace vela
