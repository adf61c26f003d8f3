#pragma once

#include <filesystem>
#include <optional>

namespace tw {

// Looks for a Wine server that runs for the prefix. Such a server keeps the
// registry in memory and writes it back over the hive files, so changes made
// meanwhile would be lost. Its folder is "server-<dev>-<ino>" (hex device and inode
// of the prefix folder) under "<tmp>/.wine-<uid>/" or under a "<tmp>/wine-XXXXXX/"
// folder owned by the user; a live server holds a write lock on byte 0 of the
// folder's "lock" file. Returns that lock file, or nullopt when no server holds one.
std::optional<std::filesystem::path> findRunningWineServer(const std::filesystem::path& prefixFolder,
    const std::filesystem::path& tmpFolder);

} // namespace tw
