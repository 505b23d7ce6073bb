#include "protocol/monitor.h"

#include <algorithm>
#include <bit>

#include "protocol/command_codes.h"

namespace vela {
namespace {

constexpr DecodingRow kRows[] = {
    {code::received::kAdvance, false, false, "El Terminalinden gelen İLERTLETME KOMUTU", Device::HandTerminal},
    {code::received::kRepeatNumber, true, true, "El Terminalinden gelen SAYI TEKRARLATMA KOMUTU", Device::HandTerminal},
    {code::received::kDisplayOff, false, false, "El Terminalinden gelen DISPLAY KAPATMA KOMUTU", Device::HandTerminal},
    {code::received::kDisplayDashes, false, false, "El Terminalinden gelen DISPLAY '---' ÇİZGİ YAPMA KOMUTU",
     Device::HandTerminal},
    {code::received::kDisplayOn, false, false, "El Terminalinden gelen DISPLAY AÇMA KOMUTU", Device::HandTerminal},
    {code::received::kWaitingRequest, false, false, "El Terminalinden gelen BEKLEYEN TALEP KOMUTU",
     Device::HandTerminal},
    {code::received::kTicketRequest, false, true, "Bilet Makinesinden gelen BİLET TALEP KOMUTU", Device::TicketMachine},
    {code::received::kLearnGroup, false, true, "El Terminalinden gelen GRUP NO ÖĞRENME KOMUTU", Device::HandTerminal},
    {code::received::kChangeGroup, false, true, "El Terminalinden gelen GRUP NO DEĞİŞTİRME KOMUTU",
     Device::HandTerminal},
    {code::received::kAcknowledge, false, true, "ALINDI (ACK) BİLGİSİ geldi", Device::Unknown},
};

bool matches(const DecodingRow& row, const Frame& frame) {
    if (frame[1] != row.code) return false;
    if (row.parameters_open) return true;
    return frame[2] == 0 && frame[3] == 0 && (row.last_parameter_open || frame[4] == 0);
}

constexpr std::size_t kFrameSize = std::tuple_size_v<Frame>;
constexpr unsigned kAllCovered = (1U << kFrameSize) - 1;

}  // namespace

std::span<const DecodingRow> decoding_rows() { return kRows; }

Device sender_of(const Frame& received) {
    for (const DecodingRow& row : kRows) {
        if (row.code == received[1]) return row.sender;
    }
    return Device::Unknown;
}

std::optional<Frame> ReceiveWindow::push(Byte received) {
    std::shift_left(window_.begin(), window_.end(), 1);
    window_.back() = received;
    if (is_frame(window_)) return window_;
    return std::nullopt;
}

std::vector<RecognisedFrame> ReceiveMonitor::take(std::span<const Byte> delivery) {
    std::vector<RecognisedFrame> found;
    for (const Byte received : delivery) {
        // The oldest byte leaves once the window holds seven real bytes.
        if (taken_ >= kFrameSize && (covered_ & 1U) == 0) ++uncovered_;
        covered_ >>= 1;
        ++taken_;
        if (const std::optional<Frame> frame = GelenData.push(received)) {
            covered_ = kAllCovered;
            found.push_back({*frame, decoded_sentence(*frame), taken_});
        }
    }
    return found;
}

int ReceiveMonitor::unsettled() const {
    const auto held = static_cast<int>(std::min<std::uint64_t>(taken_, kFrameSize));
    const unsigned heldBits = kAllCovered & ~(kAllCovered >> held);
    return std::popcount(heldBits & ~covered_);
}

std::string_view decoded_sentence(const Frame& frame) {
    for (const DecodingRow& row : kRows) {
        if (matches(row, frame)) return row.sentence;
    }
    return {};
}

}  // namespace vela
