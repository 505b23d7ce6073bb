#pragma once
// The simulator's session record on disk: each line is written at once, and
// a line that cannot be written is not passed over in silence.
#include <string>
#include <string_view>

namespace vela::sim {

class RecordLog {
public:
    // Creates the file or empties it.
    explicit RecordLog(std::string path);
    ~RecordLog();
    RecordLog(const RecordLog&) = delete;
    RecordLog& operator=(const RecordLog&) = delete;

    bool opened() const { return fd_ >= 0; }
    // Appends `line` and its line feed; false when it fails, and for every
    // line after a failure.
    bool write_line(std::string_view line);
    // What went wrong, naming the file and the reason; empty while all is well.
    const std::string& failure() const { return failure_; }

private:
    std::string path_;
    int fd_ = -1;
    std::string failure_;
};

}  // namespace vela::sim
