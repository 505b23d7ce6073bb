// The monitor on any stream of received bytes, cut into deliveries of the
// length the first byte gives: a frame is reported exactly when the last
// seven bytes form one, however the stream was cut, numbered by the byte that
// completed it and decoded under the sanitizers.
#include <algorithm>

#include "fuzz_check.h"
#include "protocol/monitor.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::size_t cut = data[0] % 16 + 1;
    vela::ReceiveMonitor monitor;
    for (std::size_t start = 1; start < size; start += cut) {
        const std::size_t end = std::min(start + cut, size);
        const std::vector<vela::RecognisedFrame> found = monitor.take({data + start, end - start});
        auto frame = found.begin();
        for (std::size_t i = std::max(start, std::size_t{7}); i < end; ++i) {
            const std::uint8_t* f = data + i - 6;
            if (f[0] != vela::kStartByte || f[6] != vela::Kontrol_Toplami(f[0], f[1], f[2], f[3], f[4], f[5])) continue;
            FUZZ_CHECK(frame != found.end() && frame->byte_number == i && std::equal(f, f + 7, frame->frame.begin()) &&
                       frame->sentence == vela::decoded_sentence(frame->frame));
            ++frame;
        }
        FUZZ_CHECK(frame == found.end() && monitor.window().values()[6] == data[end - 1]);
    }
    return 0;
}
