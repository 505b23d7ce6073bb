#include "serial/transmitter.h"

#include <algorithm>

namespace vela {

Transmitter::Transmitter(SerialPort& port) : port_(port) {}

Transmitter::Outcome Transmitter::play(const Sequence& frames, const ByteSent& handed, const FrameSent& sent) {
    if (frames.empty()) return {};
    // A port lost earlier is closed for the technician until it comes back.
    if (!port_.isOpen()) return {SerialPort::WriteResult::NotOpen, 0, 0};
    for (std::size_t k = 0; k < frames.size(); ++k) {
        const Frame& frame = frames[k].frame;
        for (int i = 0; i < static_cast<int>(frame.size()); ++i) {
            const SerialPort::WriteResult result = port_.output(frame[static_cast<std::size_t>(i)]);
            if (result != SerialPort::WriteResult::Written) return failed(result, k, i);
            if (handed) handed(i, frame[static_cast<std::size_t>(i)]);
        }
        const SerialPort::WriteResult result = port_.waitSent();
        if (result != SerialPort::WriteResult::Written) return failed(result, k, static_cast<int>(frame.size()));
        if (sent) sent(frame);
        if (frames[k].pause_after.count() > 0) port_.pauseKeepingInput(frames[k].pause_after);
    }
    return {};
}

// Of the bytes handed to a device that stopped, those it still held are
// thrown away; the others may have reached the line. Of a vanished device
// nothing can be known: every byte it was handed may have gone.
Transmitter::Outcome Transmitter::failed(SerialPort::WriteResult result, std::size_t frame, int handed) {
    switch (result) {
    case SerialPort::WriteResult::Stuck: return {result, frame, std::max(handed - port_.discardUnsent(), 0)};
    case SerialPort::WriteResult::Lost: return {result, frame, handed};
    default: return {result, frame, 0};
    }
}

}  // namespace vela
