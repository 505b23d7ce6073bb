#pragma once
// A saved record read to be sent again, by the window's "Kayıttan Gönder…"
// and by the headless check alike: the file checked before it is read, then
// read a block at a time through the one reader of records, keeping what
// sending needs (its frames) and what a comparison needs (the exchanges).
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "protocol/result.h"
#include "record/record_check.h"
#include "record/resend_frames.h"

namespace vela {

struct RecordToSend {
    ResendFrames frames;
    std::vector<Exchange> exchanges;
};

// After each block: the bytes read so far of `size`; false stops the
// reading (the record is then refused without a message).
using ReadProgress = std::function<bool(std::uint64_t done, std::uint64_t size)>;

// The record at `path`, or the message that names `shown` (the path as the
// technician knows it) and why it is unreadable or refused.
Result<RecordToSend> read_record_to_send(const std::string& path, const std::string& shown,
                                         const ReadProgress& progress = {});

}  // namespace vela
