// The monitor's window on any stream of received bytes: a frame is reported
// exactly when the last seven bytes form one, and is decoded under the
// sanitizers.
#include "fuzz_check.h"
#include "protocol/monitor.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vela::ReceiveWindow window;
    for (std::size_t i = 0; i < size; ++i) {
        const std::optional<vela::Frame> frame = window.push(data[i]);
        const std::uint8_t* f = data + (i >= 6 ? i - 6 : 0);
        const bool valid = i >= 6 && f[0] == vela::kStartByte &&
                           f[6] == vela::Kontrol_Toplami(f[0], f[1], f[2], f[3], f[4], f[5]);
        FUZZ_CHECK(frame.has_value() == valid && window.values()[6] == data[i] &&
                   (!frame || *frame == window.values()));
        if (frame) vela::decoded_sentence(*frame);
    }
    return 0;
}
