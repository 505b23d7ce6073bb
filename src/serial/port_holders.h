#pragma once
// Signs that a device is held by another program which opening the device
// alone does not reveal: UUCP lock files and open descriptors of processes.
#include <string>

namespace vela::port_holders {

// True when a UUCP lock file of the device (LCK..name in one of the usual lock
// directories, in the text or the binary form) names a process that is alive.
bool hasLiveUucpLock(const std::string& devicePath);

// Writes this process's UUCP lock file of the device in the first lock
// directory there is, replacing a stale one; its path, or empty where this
// user may not write there. The caller removes it when it lets go.
std::string takeUucpLock(const std::string& devicePath);

// True when another process that this user may inspect has the device open.
// A process holding the master of a pseudo-terminal device is its far end,
// not a competitor, and does not count.
bool isOpenElsewhere(const std::string& devicePath);

}  // namespace vela::port_holders
