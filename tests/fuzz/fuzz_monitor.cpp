// The monitor's window on any stream of received bytes: a frame is reported
// exactly when the last seven bytes form one, and every reported frame can be
// decoded without harm.
#include <cstddef>
#include <cstdint>

#include "fuzz_check.h"
#include "protocol/monitor.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vela::ReceiveWindow window;
    for (std::size_t i = 0; i < size; ++i) {
        const std::optional<vela::Frame> frame = window.push(data[i]);
        const vela::Frame& w = window.values();
        FUZZ_CHECK(w[6] == data[i]);
        const bool valid = i >= 6 && data[i - 6] == vela::kStartByte &&
                           data[i] == vela::Kontrol_Toplami(data[i - 6], data[i - 5], data[i - 4], data[i - 3],
                                                            data[i - 2], data[i - 1]);
        FUZZ_CHECK(frame.has_value() == valid);
        if (!frame) continue;
        FUZZ_CHECK(*frame == w);
        const std::string_view sentence = vela::decoded_sentence(*frame);
        FUZZ_CHECK(sentence.empty() || sentence.size() > 10);
    }
    return 0;
}
