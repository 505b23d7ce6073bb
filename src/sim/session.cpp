#include "sim/session.h"

#include <algorithm>
#include <cstdio>

#include "protocol/monitor.h"
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
}

void Session::report(const std::vector<ReadItem>& items) {
    for (const ReadItem& item : items) {
        if (const auto* frame = std::get_if<Frame>(&item)) {
            installation_.apply(*frame);
            traffic_(traffic_line(Direction::Received, *frame, frame_meaning(*frame)));
        } else {
            const auto& stray = std::get<StrayBytes>(item).bytes;
            traffic_(traffic_line(Direction::Received, stray,
                                  "çerçeve oluşturmayan " + std::to_string(stray.size()) + " bayt"));
        }
    }
}

}  // namespace vela::sim
