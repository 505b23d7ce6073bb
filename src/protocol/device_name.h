#pragma once
// The device types of the bus and how the console's record and the simulator
// name one device: the type and DATA6 ("El Terminali 5"); the chime and the
// commands to every device have no number.
#include <optional>
#include <string>

#include "protocol/frame.h"

namespace vela {

enum class Device { HandTerminal, TicketMachine, DotMatrix, MainBoard, Chime, Everyone, Unknown };

// The device numbers (DATA6) a numbered device type answers to.
struct AddressRange {
    Byte lowest;
    Byte highest;
    constexpr bool holds(Byte address) const { return address >= lowest && address <= highest; }
};

// None for the chime and the commands to every device, which have no number.
constexpr std::optional<AddressRange> address_range(Device device) {
    switch (device) {
    case Device::HandTerminal: return AddressRange{0, 32};
    case Device::DotMatrix: return AddressRange{0, 48};
    case Device::TicketMachine: return AddressRange{129, 144};
    case Device::MainBoard: return AddressRange{201, 244};
    default: return std::nullopt;
    }
}

// "El Terminali 5", "Bilet Makinesi 129", "Ding-Dong Zil", "GENEL"; a device
// of no known type is named by its address ("Adres 7").
std::string device_name(Device device, Byte address);

// A number heard from whose device type is not known (an acknowledgement that
// no recent address explains): "Numara 5 (türü bilinmiyor)".
inline constexpr char kUnknownTypeWord[] = "bilinmiyor";
inline constexpr char kUnknownTypeNote[] = " (türü bilinmiyor)";
std::string unknown_type_name(Byte number);

}  // namespace vela
