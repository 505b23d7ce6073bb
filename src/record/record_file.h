#pragma once
// A file chosen from outside (a record to send again or to replay), opened
// and checked before a byte of it is read: opening never blocks (a FIFO with
// no writer, a terminal), only a regular file is read (/dev/zero would never
// end), and only up to a size that fits in memory. What is read is at most
// the size the file had when it was checked.
#include <cstdint>
#include <span>
#include <string>

#include "protocol/result.h"

namespace vela {

// The largest record read: about 1.7 million lines.
inline constexpr std::uint64_t kLargestRecordBytes = std::uint64_t{128} << 20;

class RecordFile {
public:
    // Opens `path` and checks it; problem() says why it is not to be read.
    explicit RecordFile(const std::string& path, std::uint64_t largest = kLargestRecordBytes);
    RecordFile(const RecordFile&) = delete;
    RecordFile& operator=(const RecordFile&) = delete;
    ~RecordFile();

    // Empty for a file fit to read; otherwise a reason to put after its name
    // ("düz bir dosya değil", "çok büyük: 300 MB; en çok 128 MB okunur").
    const std::string& problem() const { return problem_; }
    std::uint64_t size() const { return size_; }
    // The next bytes into `buffer`, as many as it holds: fewer only at the
    // end, none after it; or the reason a read failed.
    Result<std::size_t> read(std::span<char> buffer);

private:
    int fd_ = -1;
    std::string problem_;
    std::uint64_t size_ = 0;
    std::uint64_t done_ = 0;
};

// The whole file at `path`, or why it cannot be read, as a reason.
Result<std::string> record_file_text(const std::string& path, std::uint64_t largest = kLargestRecordBytes);

}  // namespace vela
