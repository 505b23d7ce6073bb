#include "protocol/frame.h"

#include "protocol/command_codes.h"

namespace vela {

Byte Kontrol_Toplami(Byte d1, Byte d2, Byte d3, Byte d4, Byte d5, Byte d6) {
    const int sum = d1 + d2 + d3 + d4 + d5 + d6;
    return static_cast<Byte>(sum % 256);
}

bool is_frame(const Frame& f) {
    return f[0] == kStartByte && f[6] == Kontrol_Toplami(f[0], f[1], f[2], f[3], f[4], f[5]);
}

Frame Komut_Cercevesi(Byte p1, Byte p2, Byte p3, Byte p4, Byte p5) {
    return {kStartByte, p1, p2, p3, p4, p5, Kontrol_Toplami(kStartByte, p1, p2, p3, p4, p5)};
}

Frame Karakter_Cercevesi(Byte code, int position, Byte id) {
    return Komut_Cercevesi(code::dot_matrix::kCharacter, 0, static_cast<Byte>(position - 1), code, id);
}

TwoBytes split_two_bytes(std::uint16_t value) {
    return {static_cast<Byte>(value % 256), static_cast<Byte>(value / 256)};
}

std::uint16_t join_two_bytes(Byte low, Byte high) { return static_cast<std::uint16_t>(low + 256 * high); }

// Appended rather than concatenated: GCC 12 warns falsely (-Wrestrict) about
// a literal plus a temporary string when it inlines the concatenation.
std::string byte_text(Byte value) {
    std::string text = " ";
    text += std::to_string(value);
    return text;
}

}  // namespace vela
