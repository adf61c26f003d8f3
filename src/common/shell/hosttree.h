#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

// Whole-tree work on host paths that never follows a symbolic link below the
// path it is given: a link is removed, copied and measured as the link itself.
namespace tw {

// Removes a file, a link or a folder with everything in it. Folders that deny
// writing or reading are opened up first (they are being removed anyway). A folder
// where another file system is mounted is never entered: it stays, and so fails the call.
// False when something stayed; error then names the first entry that did.
bool removeHostTree(const std::filesystem::path& path, std::string* error = nullptr);

// Disk usage in bytes, counted the way `du -B1` counts: allocated blocks of the
// entry and of everything below it, each inode once, links as links.
uint64_t hostDiskUsage(const std::filesystem::path& path);

// Copies a regular file (following a link given as the source) or a folder tree
// (links inside copied as links, devices, FIFOs and sockets skipped) to target,
// which must not exist yet. Modes and modification times are kept. A failed copy
// leaves nothing at target.
bool copyHostTree(const std::filesystem::path& source, const std::filesystem::path& target,
                  std::string* error = nullptr);

} // namespace tw
