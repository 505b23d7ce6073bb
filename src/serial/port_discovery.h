#pragma once
// The serial ports present on this computer and the device each "Com n"
// stands for now. The list comes from the system; tests put their own list
// in its place, since a pseudo-terminal has no USB identity.
#include <functional>
#include <vector>

#include "serial/port_numbering.h"

namespace vela {

using PortSource = std::function<std::vector<PortInfo>()>;

std::vector<PortInfo> portsPresent();

// Replaces where portsPresent() looks; an empty source restores the system's.
void setPortSource(PortSource source);

// "Com n" now: $VELA_COM<n> when it is set, else the n-th port present, else
// /dev/ttyS<n-1>.
ComTarget comTarget(int commPort);

}  // namespace vela
