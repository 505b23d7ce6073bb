#pragma once
// Why a file could not be read or written, in words a technician can act on.
#include <string>

namespace vela::sim {

// The reason for the system error `error` ("diskte yer kalmadı"); one
// without words of its own as the system words it.
std::string file_error_reason(int error);

}  // namespace vela::sim
