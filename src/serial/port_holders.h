#pragma once
// Signs that a device is held by another program which opening the device
// alone does not reveal: UUCP lock files and open descriptors of processes.
#include <string>

namespace vela::port_holders {

// True when a UUCP lock file of the device (LCK..name in one of the usual lock
// directories, in the text or the binary form) names a process that is alive.
// Such a file must be looked at before QSerialPort opens the device: it
// deletes lock files that it did not write itself.
bool hasLiveUucpLock(const std::string& devicePath);

// True when another process that this user may inspect has the device open.
// A process holding the master of a pseudo-terminal device is its far end,
// not a competitor, and does not count.
bool isOpenElsewhere(const std::string& devicePath);

}  // namespace vela::port_holders
