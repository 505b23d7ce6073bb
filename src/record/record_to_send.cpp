#include "record/record_to_send.h"

#include "record/record_file.h"
#include "record/record_reader.h"
#include "record/record_summary.h"

namespace vela {
namespace {

constexpr std::size_t kReadBlock = std::size_t{1} << 20;

}  // namespace

Result<RecordToSend> read_record_to_send(const std::string& path, const std::string& shown,
                                         const ReadProgress& progress) {
    RecordFile file(path);
    if (!file.problem().empty()) return Refusal{record_unreadable_message(shown, file.problem())};
    RecordToSend loaded;
    ExchangeBuilder exchanges;
    SentFramesReader reader([&](RecordedFrame&& frame) {
        exchanges.sent(frame);
        loaded.frames.add(frame);
    });
    reader.alsoRecognised([&](std::optional<std::int64_t> at, const Frame& frame) { exchanges.recognised(at, frame); });
    std::string block(kReadBlock, '\0');
    std::uint64_t done = 0;
    for (;;) {
        if (progress && !progress(done, file.size())) return Refusal{{}};
        const Result<std::size_t> read = file.read(block);
        if (!read) return Refusal{record_unreadable_message(shown, read.message())};
        if (*read == 0) break;
        reader.add(std::string_view(block.data(), *read));
        done += *read;
    }
    if (const std::optional<Refusal> refusal = reader.finish())
        return Refusal{record_refused_message(shown, refusal->message)};
    loaded.exchanges = exchanges.take();
    return loaded;
}

}  // namespace vela
