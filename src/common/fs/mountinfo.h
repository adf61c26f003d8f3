#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tw {

// One line of /proc/self/mountinfo.
struct MountEntry {
    unsigned major = 0;      // device number of the mounted file system
    unsigned minor = 0;
    std::string mountPoint;  // unescaped
    std::string fsType;      // "ext4", "nfs4", "fuse.sshfs", ...
    std::string source;      // "/dev/sda1", "server:/export", ...
};

// Parses the text of a mountinfo file; malformed lines are skipped.
std::vector<MountEntry> parseMountInfo(std::string_view text);
// The mounts of this process (/proc/self/mountinfo); empty when it cannot be read.
std::vector<MountEntry> readMountInfo();
// The mount that holds a canonical host path: the longest mount point that is a
// prefix of it, the later line winning (a later mount hides an earlier one).
const MountEntry* mountOf(const std::vector<MountEntry>& mounts, std::string_view canonicalPath);

// True for the kernel's virtual file systems (proc, sysfs, devtmpfs, cgroup, ...),
// which the program never walks.
bool isVirtualFileSystemType(std::string_view fsType);

} // namespace tw
