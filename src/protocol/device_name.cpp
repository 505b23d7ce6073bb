#include "protocol/device_name.h"

namespace vela {

std::string device_name(Device device, Byte address) {
    const std::string number = std::to_string(address);
    switch (device) {
    case Device::HandTerminal: return "El Terminali " + number;
    case Device::TicketMachine: return "Bilet Makinesi " + number;
    case Device::DotMatrix: return "Dot Matrix Display " + number;
    case Device::MainBoard: return "Ana Tablo " + number;
    case Device::Chime: return "Ding-Dong Zil";
    case Device::Everyone: return "GENEL";
    case Device::Unknown: break;
    }
    return "Adres " + number;
}

std::string unknown_type_name(Byte number) { return "Numara " + std::to_string(number) + kUnknownTypeNote; }

}  // namespace vela
