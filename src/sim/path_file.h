#pragma once
// The file --path-file names: the line's path, written whole through a
// temporary name beside it and renamed into place, so that whoever waits for
// the file never reads half a path.
#include <optional>
#include <string>

namespace vela::sim {

// The temporary name the path file is written through: "hat.yaziliyor".
std::string path_file_partial(const std::string& path_file);

// Why `path_file` may not be written, before anything is: it is there and
// is no plain file (a folder, a device, a FIFO), which the rename would
// replace.
std::optional<std::string> path_file_refusal(const std::string& path_file);

// Writes `line_path` and a line feed to `path_file`; the failure, naming the
// file and the reason, when it cannot.
std::optional<std::string> write_path_file(const std::string& path_file, const std::string& line_path);

}  // namespace vela::sim
