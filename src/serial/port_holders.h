#pragma once
// Signs that a device is held by another program which opening the device
// alone does not reveal: UUCP lock files and open descriptors of processes.
#include <string>
#include <vector>

namespace vela::port_holders {

// True when a UUCP lock file of the device (LCK..name in one of the lock
// directories, in the text or the binary form) names a process that is alive.
// Only regular files count: a link, a FIFO or a device there is no lock.
bool hasLiveUucpLock(const std::string& devicePath);

// Writes this process's UUCP lock file of the device in the first lock
// directory there is, replacing a stale one; its path, or empty where this
// user may not write there. The caller removes it when it lets go.
std::string takeUucpLock(const std::string& devicePath);

// Where lock files are looked for and written; empty restores the usual
// directories. Tests use a folder of their own.
void setLockDirectories(std::vector<std::string> directories);

// True when another process that this user may inspect has the device open
// under `devicePath`, the name it resolves to.
// A process holding the master of a pseudo-terminal device is its far end,
// not a competitor, and does not count.
bool isOpenElsewhere(const std::string& devicePath);

}  // namespace vela::port_holders
