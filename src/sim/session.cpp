#include "sim/session.h"

#include <algorithm>
#include <cstdio>

#include "sim/frame_meaning.h"

namespace vela::sim {

std::string traffic_line(Direction direction, std::span<const Byte> bytes, std::string_view meaning) {
    // Both words take ten columns on the terminal ("Ö" is two bytes).
    std::string line = direction == Direction::Received ? "GELEN     " : "GÖNDERILEN";
    for (Byte b : bytes) {
        char column[5];
        std::snprintf(column, sizeof column, " %3u", unsigned{b});
        line += column;
    }
    return line + "  " + std::string(meaning);
}

std::string sent_meaning(const SendBytes& sent) {
    if (!sent.is_frame) return "ham baytlar (" + std::to_string(sent.bytes.size()) + ")";
    Frame frame;
    std::copy(sent.bytes.begin(), sent.bytes.end(), frame.begin());
    const std::string from = "gönderen " + std::to_string(frame[5]) + ": ";
    const std::string_view sentence = decoded_sentence(frame);
    if (sentence.empty()) return from + "konsolun çözmediği çerçeve";
    return from + "\"" + std::string(sentence) + "\"";
}

void Session::received(std::span<const Byte> bytes) { report(reader_.feed(bytes)); }

void Session::line_quiet() { report(reader_.flush()); }

void Session::sent(const SendBytes& sent) {
    traffic_(traffic_line(Direction::Sent, sent.bytes, sent_meaning(sent)));
    record(RecordEvent::Received, sent.bytes, "", "");
    for (const RecognisedFrame& found : console_monitor_.take(sent.bytes))
        record(RecordEvent::Recognised, found.frame, "", recognised_meaning(found.sentence));
}

void Session::record(RecordEvent event, std::span<const Byte> bytes, std::string_view device,
                     std::string_view meaning) {
    if (record_) record_(event, bytes, device, meaning);
}

void Session::report(const std::vector<ReadItem>& items) {
    for (const ReadItem& item : items) {
        if (const auto* frame = std::get_if<Frame>(&item)) {
            const DecodedCommand decoded = decode_command(*frame).value();  // the reader finds valid frames only
            installation_.apply(decoded);
            commands_.push_back(decoded);
            const FrameMeaning meaning = frame_meaning(decoded);
            traffic_(traffic_line(Direction::Received, *frame, meaning.text()));
            record(RecordEvent::Sent, *frame, meaning.device, meaning.command);
        } else {
            const auto& stray = std::get<StrayBytes>(item).bytes;
            const std::string meaning = "çerçeve oluşturmayan " + std::to_string(stray.size()) + " bayt";
            traffic_(traffic_line(Direction::Received, stray, meaning));
            record(RecordEvent::Sent, stray, "", meaning);
        }
    }
}

}  // namespace vela::sim
