#include "serial/port_holders.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string_view>
#include <vector>

#include "protocol/decimal.h"

namespace vela::port_holders {

namespace {

// The directories where terminal programs put their lock files; the first
// that exists is where ours goes.
const std::vector<std::string> kUsualLockDirectories = {
    "/var/lock",       "/run/lock",         "/etc/locks", "/var/spool/locks",
    "/var/spool/uucp", "/var/lock/lockdev", "/tmp",       "/var/tmp",
};

std::vector<std::string>& replacedLockDirectories() {
    static std::vector<std::string> directories;
    return directories;
}

const std::vector<std::string>& lockDirectories() {
    return replacedLockDirectories().empty() ? kUsualLockDirectories : replacedLockDirectories();
}

// A lock file holds a process id of ten characters; anything longer is not a
// lock file, and reading it further could take without end (a link to
// /dev/zero, a huge file).
constexpr std::size_t kLockFileLimit = 256;

// Both names in use: the device's path below /dev with '/' as '_' (pts_3),
// which this console writes, and the device's base name (ttyS0, 3 for
// /dev/pts/3).
std::vector<std::string> lockFileNames(const std::string& devicePath) {
    std::string below = devicePath;
    if (below.rfind("/dev/", 0) == 0) below.erase(0, 5);
    std::replace(below.begin(), below.end(), '/', '_');
    const std::string base = devicePath.substr(devicePath.find_last_of('/') + 1);
    std::vector<std::string> names{"LCK.." + below};
    if (base != below) names.push_back("LCK.." + base);
    return names;
}

// The process id a lock file names: ten ASCII digits (possibly padded with
// blanks) or, in the old binary form, a four-byte integer. 0 when unreadable.
// Anyone may write in /tmp, so only a regular file is read, never through a
// link and never waiting: a FIFO there would block the start-up.
pid_t lockOwner(const std::string& lockPath) {
    struct stat file {};
    if (::lstat(lockPath.c_str(), &file) != 0 || !S_ISREG(file.st_mode)) return 0;
    const int fd = ::open(lockPath.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return 0;
    char text[kLockFileLimit];
    ssize_t length = -1;
    // Checked again once open: the name may have been replaced in between.
    if (::fstat(fd, &file) == 0 && S_ISREG(file.st_mode)) length = ::read(fd, text, sizeof text);
    ::close(fd);
    if (length <= 0) return 0;
    const std::string_view content(text, static_cast<std::size_t>(length));
    const auto first = std::find_if_not(content.begin(), content.end(),
                                        [](unsigned char c) { return std::isspace(c); });
    if (first != content.end() && std::isdigit(static_cast<unsigned char>(*first))) {
        const auto end = std::find_if_not(first, content.end(), [](unsigned char c) { return std::isdigit(c); });
        return static_cast<pid_t>(decimal_number(std::string_view(first, end), INT32_MAX).value_or(0));
    }
    if (content.size() == sizeof(std::int32_t)) {
        std::int32_t pid = 0;
        std::memcpy(&pid, content.data(), sizeof pid);
        return pid;
    }
    return 0;
}

bool isAlive(pid_t pid) { return pid > 0 && (::kill(pid, 0) == 0 || errno == EPERM); }

bool isNumber(const char* name) { return decimal_number(name).has_value(); }

// Index N of /dev/pts/N, or -1 for any other device.
int ptyIndex(const std::string& devicePath) {
    const std::string prefix = "/dev/pts/";
    if (devicePath.rfind(prefix, 0) != 0) return -1;
    const auto number = decimal_number(std::string_view(devicePath).substr(prefix.size()), INT_MAX);
    return number ? static_cast<int>(*number) : -1;
}

// What a descriptor is open on, as the kernel names it. Read as the link's
// text: following it (stat) would touch the file itself, and a file on a dead
// network mount would hang the caller.
std::string openedPath(const std::string& descriptorLink) {
    char text[PATH_MAX];
    const ssize_t length = ::readlink(descriptorLink.c_str(), text, sizeof text);
    return length > 0 ? std::string(text, static_cast<std::size_t>(length)) : std::string();
}

bool isPtyMultiplexer(const std::string& path) { return path == "/dev/ptmx" || path == "/dev/pts/ptmx"; }

// The pseudo-terminal index that a descriptor of /dev/ptmx is the master of.
int masterIndex(const std::string& processDir, const char* fd) {
    std::ifstream info(processDir + "/fdinfo/" + fd);
    std::string key;
    while (info >> key) {
        if (key == "tty-index:") {
            int index = -1;
            info >> index;
            return index;
        }
    }
    return -1;
}

struct Holding {
    bool device = false;
    bool master = false;
};

Holding holdingOf(const std::string& processDir, const std::string& devicePath, int index) {
    Holding holding;
    DIR* fds = ::opendir((processDir + "/fd").c_str());
    if (!fds) return holding;  // another user's process, or gone
    while (const dirent* entry = ::readdir(fds)) {
        if (!isNumber(entry->d_name)) continue;
        const std::string path = openedPath(processDir + "/fd/" + entry->d_name);
        if (path == devicePath) holding.device = true;
        if (index >= 0 && isPtyMultiplexer(path) && masterIndex(processDir, entry->d_name) == index)
            holding.master = true;
    }
    ::closedir(fds);
    return holding;
}

}  // namespace

void setLockDirectories(std::vector<std::string> directories) { replacedLockDirectories() = std::move(directories); }

bool hasLiveUucpLock(const std::string& devicePath) {
    for (const std::string& directory : lockDirectories()) {
        for (const std::string& name : lockFileNames(devicePath)) {
            if (isAlive(lockOwner(directory + "/" + name))) return true;
        }
    }
    return false;
}

bool isOpenElsewhere(const std::string& devicePath) {
    const int index = ptyIndex(devicePath);
    const std::string self = std::to_string(::getpid());

    DIR* proc = ::opendir("/proc");
    if (!proc) return false;
    bool found = false;
    while (const dirent* entry = ::readdir(proc)) {
        if (!isNumber(entry->d_name) || entry->d_name == self) continue;
        const Holding holding = holdingOf(std::string("/proc/") + entry->d_name, devicePath, index);
        if (holding.device && !holding.master) {
            found = true;
            break;
        }
    }
    ::closedir(proc);
    return found;
}

std::string takeUucpLock(const std::string& devicePath) {
    for (const std::string& directory : lockDirectories()) {
        const std::string lock = directory + "/" + lockFileNames(devicePath).front();
        // A file already there is stale: a live one was refused before opening.
        ::unlink(lock.c_str());
        const int fd = ::open(lock.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0) {
            if (errno == ENOENT) continue;  // no such directory here
            return {};                      // not ours to write: the flock still tells
        }
        char text[16];
        const int length = std::snprintf(text, sizeof text, "%10d\n", static_cast<int>(::getpid()));
        const bool written = ::write(fd, text, static_cast<std::size_t>(length)) == length;
        ::close(fd);
        if (written) return lock;
        ::unlink(lock.c_str());
        return {};
    }
    return {};
}

}  // namespace vela::port_holders
