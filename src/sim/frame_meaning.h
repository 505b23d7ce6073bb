#pragma once
// What a frame from the console means for the device it addresses. The same
// code stands for different commands on different device types, so the type
// is decided by the command code and the address range together.
#include <string>

#include "protocol/device_name.h"
#include "protocol/frame.h"

namespace vela::sim {

using vela::Device;

struct Addressee {
    Device device;
    Byte address;   // DATA6
    bool in_range;  // the address lies in the device type's range
};

// The first type that knows the code and whose range holds the address; when
// none holds it, the first type that knows the code, marked out of range.
Addressee addressee_of(const Frame& frame);

// The device ("El Terminali 5", marked when out of its type's range) and the
// command with its decoded parameters ("SAYI GÖNDER 300").
struct FrameMeaning {
    std::string device;
    std::string command;
    // As the traffic lines show it: "El Terminali 5: SAYI GÖNDER 300".
    std::string text() const { return device + ": " + command; }
};
FrameMeaning frame_meaning(const Frame& frame);

// Captions the console gives the values of codes 21 and 26 / 28.
std::string display_mode_name(Byte mode);
std::string arrow_name(Byte arrow);

}  // namespace vela::sim
