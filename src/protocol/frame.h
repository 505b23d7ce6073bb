#pragma once
// The 7-byte command frame of the bus: 170, code, three parameters, device
// number, checksum. Every frame the console sends or recognises has this shape.
#include <array>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace vela {

using Byte = std::uint8_t;
using Frame = std::array<Byte, 7>;

inline constexpr Byte kStartByte = 170;

// DATA7: the sum of DATA1 to DATA6 modulo 256.
Byte Kontrol_Toplami(Byte d1, Byte d2, Byte d3, Byte d4, Byte d5, Byte d6);

// A valid frame: the start byte first, the checksum of the first six last.
bool is_frame(const Frame& bytes);

// The frame of Komut_Gonder and Bilet_Komut_Gonder: 170, p1..p5, checksum.
Frame Komut_Cercevesi(Byte p1, Byte p2, Byte p3, Byte p4, Byte p5);

// The frame of Karakter_Gonder: one character of a dot-matrix text, its
// position counted from 1 (1..256).
Frame Karakter_Cercevesi(Byte code, int position, Byte id);

// A number up to 65535 in two bytes, low byte first on the line.
struct TwoBytes {
    Byte low;
    Byte high;
};
TwoBytes split_two_bytes(std::uint16_t value);
std::uint16_t join_two_bytes(Byte low, Byte high);

// How the displays show a byte: one blank, then the decimal digits (" 170").
std::string byte_text(Byte value);

// One frame of a sequence and the pause that follows it before the next frame
// (or before the sequence ends).
struct Step {
    Frame frame;
    std::chrono::milliseconds pause_after{0};
    bool operator==(const Step&) const = default;
};
using Sequence = std::vector<Step>;

}  // namespace vela
