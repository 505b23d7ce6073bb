#pragma once
// The device types of the bus and how the console's record and the simulator
// name one device: the type and DATA6 ("El Terminali 5"); the chime and the
// commands to every device have no number.
#include <string>

#include "protocol/frame.h"

namespace vela {

enum class Device { HandTerminal, TicketMachine, DotMatrix, MainBoard, Chime, Everyone, Unknown };

// "El Terminali 5", "Bilet Makinesi 129", "Ding-Dong Zil", "GENEL"; a device
// of no known type is named by its address ("Adres 7").
std::string device_name(Device device, Byte address);

}  // namespace vela
