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

std::string placeIdentity(const PortInfo& port) { return port.place.empty() ? std::string() : "yer " + port.place; }

}  // namespace

std::string identityOf(const PortInfo& port) {
    if (builtInNumber(port)) return {};
    if (port.serialNumber.empty()) return placeIdentity(port);
    return "usb-" + (port.vendorId ? hex4(*port.vendorId) : "") + ":" + (port.productId ? hex4(*port.productId) : "") +
           "-" + port.serialNumber;
}

std::string identityAmong(const PortInfo& port, const std::vector<PortInfo>& present) {
    const std::string identity = identityOf(port);
    const auto sharing = std::count_if(present.begin(), present.end(),
                                       [&](const PortInfo& other) { return identityOf(other) == identity; });
    return identity.empty() || sharing <= 1 ? identity : placeIdentity(port);
}

ComNumbering numberPorts(const std::vector<PortInfo>& ports) {
    ComNumbering numbering;
    std::vector<NumberedPort> adapters;
    for (const PortInfo& port : ports) {
        if (const auto n = builtInNumber(port)) {
            numbering[static_cast<std::size_t>(*n - 1)] = NumberedPort{port, {}};
        } else if (port.name.rfind("ttyS", 0) != 0) {  // a built-in port beyond Com 16 has no number
            adapters.push_back({port, identityAmong(port, ports)});
        }
    }
    // Adapters without an identity go last, in the order of their device names.
    std::sort(adapters.begin(), adapters.end(), [](const NumberedPort& a, const NumberedPort& b) {
        return std::make_tuple(a.identity.empty(), a.identity, a.port.location) <
               std::make_tuple(b.identity.empty(), b.identity, b.port.location);
    });
    auto next = adapters.begin();
    for (auto& slot : numbering) {
        if (next == adapters.end()) break;
        if (!slot) slot = std::move(*next++);
    }
    return numbering;
}

ComTarget resolveCom(int commPort, const std::string& configured, const ComNumbering& numbering) {
    if (!configured.empty()) return {configured, std::nullopt, true, {Recall::By::Name, configured}};
    if (commPort >= 1 && commPort <= kComPorts) {
        if (const auto& numbered = numbering[static_cast<std::size_t>(commPort - 1)]) {
            const PortInfo& port = numbered->port;
            Recall recall{Recall::By::Identity, numbered->identity};
            if (builtInNumber(port))
                recall = {Recall::By::Name, port.location};
            else if (numbered->identity.empty())
                recall = {Recall::By::Nothing, {}};
            return {port.location, port, false, recall};
        }
    }
    const std::string builtIn = "/dev/ttyS" + std::to_string(commPort - 1);
    return {builtIn, std::nullopt, false, {Recall::By::Name, builtIn}};
}

Refound findAgain(const Recall& recall, const std::vector<PortInfo>& present) {
    switch (recall.by) {
    case Recall::By::Name: return {Refound::Outcome::Open, recall.key};
    case Recall::By::Nothing: return {Refound::Outcome::Unknown, {}};
    case Recall::By::Identity: break;
    }
    // The key is a serial identity or, for clones, a place; either kind matches.
    std::vector<const PortInfo*> matching;
    for (const PortInfo& port : present) {
        if (identityOf(port) == recall.key || placeIdentity(port) == recall.key) matching.push_back(&port);
    }
    if (matching.empty()) return {Refound::Outcome::Wait, {}};
    if (matching.size() > 1) return {Refound::Outcome::Unknown, {}};
    return {Refound::Outcome::Open, matching.front()->location};
}

std::string describeCom(int commPort, const ComTarget& target) {
    if (target.configured) return target.device;
    if (!target.port) return "Com " + std::to_string(commPort) + ": bu bilgisayarda yok (" + target.device + ")";
    std::string details = target.port->description;
    const auto add = [&details](const std::string& text) { details += (details.empty() ? "" : ", ") + text; };
    if (!target.port->serialNumber.empty())
        add("seri no " + target.port->serialNumber);
    else if (!target.port->place.empty())
        add("takıldığı yer " + target.port->place);
    return details.empty() ? target.device : target.device + " — " + details;
}

}  // namespace vela
