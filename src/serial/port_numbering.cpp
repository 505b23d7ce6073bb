#include "serial/port_numbering.h"

#include <algorithm>
#include <cstdio>
#include <string_view>
#include <tuple>

#include "protocol/decimal.h"

namespace vela {

namespace {

// n for a built-in port ttyS<n-1> that has a "Com n"; nothing for any other.
std::optional<int> builtInNumber(const PortInfo& port) {
    constexpr std::string_view prefix = "ttyS";
    if (std::string_view(port.name).substr(0, prefix.size()) != prefix) return std::nullopt;
    const auto index = decimal_number(std::string_view(port.name).substr(prefix.size()), kComPorts - 1);
    if (!index) return std::nullopt;
    return static_cast<int>(*index) + 1;
}

std::string hex4(std::uint16_t value) {
    char text[5];
    std::snprintf(text, sizeof text, "%04x", value);
    return text;
}

}  // namespace

std::string identityOf(const PortInfo& port) {
    if (builtInNumber(port)) return {};
    if (!port.byId.empty()) return port.byId;
    if (port.serialNumber.empty()) return {};
    return "usb-" + (port.vendorId ? hex4(*port.vendorId) : "") + ":" + (port.productId ? hex4(*port.productId) : "") +
           "-" + port.serialNumber;
}

ComNumbering numberPorts(std::vector<PortInfo> ports) {
    ComNumbering numbering;
    std::vector<PortInfo> adapters;
    for (PortInfo& port : ports) {
        if (const auto n = builtInNumber(port)) {
            numbering[static_cast<std::size_t>(*n - 1)] = std::move(port);
        } else if (port.name.rfind("ttyS", 0) != 0) {  // a built-in port beyond Com 16 has no number
            adapters.push_back(std::move(port));
        }
    }
    // Adapters without an identity go last, in the order of their device names.
    std::sort(adapters.begin(), adapters.end(), [](const PortInfo& a, const PortInfo& b) {
        const std::string ia = identityOf(a), ib = identityOf(b);
        return std::make_tuple(ia.empty(), ia, a.location) < std::make_tuple(ib.empty(), ib, b.location);
    });
    auto next = adapters.begin();
    for (auto& slot : numbering) {
        if (next == adapters.end()) break;
        if (!slot) slot = std::move(*next++);
    }
    return numbering;
}

ComTarget resolveCom(int commPort, const std::string& configured, const ComNumbering& numbering) {
    if (!configured.empty()) return {configured, std::nullopt, true};
    if (commPort >= 1 && commPort <= kComPorts) {
        if (const auto& port = numbering[static_cast<std::size_t>(commPort - 1)]) return {port->location, port, false};
    }
    return {"/dev/ttyS" + std::to_string(commPort - 1), std::nullopt, false};
}

std::string describeCom(int commPort, const ComTarget& target) {
    if (target.configured) return target.device;
    if (!target.port) return "Com " + std::to_string(commPort) + ": bu bilgisayarda yok (" + target.device + ")";
    std::string details = target.port->description;
    if (!target.port->serialNumber.empty())
        details += (details.empty() ? "" : ", ") + std::string("seri no ") + target.port->serialNumber;
    return details.empty() ? target.device : target.device + " — " + details;
}

}  // namespace vela
