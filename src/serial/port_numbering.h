#pragma once
// Which device "Com n" means. Built-in serial ports keep their own number
// (ttyS0 is Com 1); USB and modem-class adapters take the free numbers from
// the lowest up in the order of their stable identity, so the same set of
// adapters gets the same numbers whatever order they were plugged in.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vela {

inline constexpr int kComPorts = 16;

// A serial port present on this computer, as the system lists it.
struct PortInfo {
    std::string name;      // "ttyUSB0"
    std::string location;  // "/dev/ttyUSB0"
    std::string description;
    std::string serialNumber;
    std::optional<std::uint16_t> vendorId;
    std::optional<std::uint16_t> productId;
    std::string byId;  // its name under /dev/serial/by-id, empty when there is none
};

// The port of "Com n" at index n-1, or nothing.
using ComNumbering = std::array<std::optional<PortInfo>, kComPorts>;
ComNumbering numberPorts(std::vector<PortInfo> ports);

// What an adapter is, whatever device name it has now: its /dev/serial/by-id
// name, else vendor, product and serial number. Empty for a built-in port or
// an adapter without a serial number: those are known only by their place.
std::string identityOf(const PortInfo& port);

// The device "Com n" opens: a configured path, else the numbered port, else
// /dev/ttyS<n-1>.
struct ComTarget {
    std::string device;
    std::optional<PortInfo> port;  // set when numbering found it
    bool configured = false;
};
ComTarget resolveCom(int commPort, const std::string& configured, const ComNumbering& numbering);

// The option's tooltip: the device, with the adapter's description and
// serial number where known, or that nothing is there.
std::string describeCom(int commPort, const ComTarget& target);

}  // namespace vela
