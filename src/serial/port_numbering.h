#pragma once
// Which device "Com n" means, and which device a port takes back after its
// device vanished. Built-in serial ports keep their own number (ttyS0 is
// Com 1); USB and modem-class adapters take the free numbers from the lowest
// up in the order of their identity, so the same set of adapters gets the
// same numbers whatever order they were plugged in.
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
    // Where it is plugged in: its name under /dev/serial/by-path, else its
    // USB interface's path in sysfs; empty when the system tells neither.
    std::string place;
};

// What an adapter is, whatever device name it has now: vendor, product and
// serial number; without a serial number, where it is plugged in. Two
// identical adapters without a serial number share their /dev/serial/by-id
// name, so that name tells nothing. Empty for a built-in port and for an
// adapter that has neither.
std::string identityOf(const PortInfo& port);

// The identity that tells `port` apart from the others `present` (which
// include it): where it is plugged in, when another adapter claims the same
// serial number (clones, or the interfaces of a two-port adapter).
std::string identityAmong(const PortInfo& port, const std::vector<PortInfo>& present);

// How a port finds its device again after it vanished: under the same name
// (a configured name, a built-in port, a device the system does not list), by
// an adapter's identity wherever that is now, or not at all when nothing told
// the adapter apart from others.
struct Recall {
    enum class By { Name, Identity, Nothing };
    By by = By::Name;
    std::string key;  // the name or the identity
};

struct NumberedPort {
    PortInfo port;
    std::string identity;  // identityAmong() the ports numbered with it
};

// The port of "Com n" at index n-1, or nothing.
using ComNumbering = std::array<std::optional<NumberedPort>, kComPorts>;
ComNumbering numberPorts(const std::vector<PortInfo>& ports);

// The device "Com n" opens: a configured path, else the numbered port, else
// /dev/ttyS<n-1>.
struct ComTarget {
    std::string device;
    std::optional<PortInfo> port;  // set when numbering found it
    bool configured = false;
    Recall recall;
};
ComTarget resolveCom(int commPort, const std::string& configured, const ComNumbering& numbering);

// What a port whose device vanished does now, given the ports present: wait
// while its device is away, open it once it is back, or give up when it
// cannot tell which one it is (two match, or it never had an identity).
struct Refound {
    enum class Outcome { Wait, Open, Unknown };
    Outcome outcome = Outcome::Wait;
    std::string device;  // for Open
};
Refound findAgain(const Recall& recall, const std::vector<PortInfo>& present);

// The option's tooltip: the device, with the adapter's description and
// serial number, or where it is plugged in when it has none; or that nothing
// is there.
std::string describeCom(int commPort, const ComTarget& target);

}  // namespace vela
