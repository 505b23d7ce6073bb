#pragma once
// What a frame from the console means for the device it addresses, in the
// simulator's words: the decoded command (decoded_command.h) as text.
#include <string>

#include "protocol/decoded_command.h"

namespace vela::sim {

using vela::Device;

// The device ("El Terminali 5", marked when out of its type's range) and the
// command with its parameters ("SAYI GÖNDER 300").
struct FrameMeaning {
    std::string device;
    std::string command;
    // As the traffic lines show it: "El Terminali 5: SAYI GÖNDER 300".
    std::string text() const { return device + ": " + command; }
};
FrameMeaning frame_meaning(const DecodedCommand& decoded);

// Captions the console gives the values of codes 21 and 26 / 28.
std::string display_mode_name(Byte mode);
std::string arrow_name(Byte arrow);

}  // namespace vela::sim
