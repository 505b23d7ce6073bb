#include "sim/script_file.h"

#include "record/record_file.h"

namespace vela::sim {

Result<std::string> read_script_file(const std::string& path) {
    Result<std::string> text = record_file_text(path, kLongestScript);
    if (!text) return Refusal{"Betik okunamadı: " + path + " (" + text.message() + ")"};
    return text;
}

}  // namespace vela::sim
