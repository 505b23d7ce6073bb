#pragma once
// The saved session record that --replay plays: all of it or nothing.
#include <string>
#include <vector>

#include "record/record_reader.h"

namespace vela::sim {

// Every received delivery of the record at `path`, or the message that says
// why none is played: the file cannot be read, is not a plain file, is too
// big, or is not a record whose every line could be read.
Result<std::vector<RecordedDelivery>> read_replay_file(const std::string& path);

}  // namespace vela::sim
