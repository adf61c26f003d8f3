#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// The freedesktop.org Trash (format version 1.0) of one user: the home trash
// under $XDG_DATA_HOME/Trash and $topdir/.Trash-$uid (or $topdir/.Trash/$uid)
// on other file systems. Works on host paths only.
namespace tw {

class Trash {
public:
    // homeTrash is $XDG_DATA_HOME/Trash; see homeTrashFolder(). The other file
    // systems are the mounts of /proc/self/mountinfo.
    explicit Trash(std::filesystem::path homeTrash);
    // Only the given folders count as mount points (the home trash's one among
    // them): a trash confined to a test's folder never sees the host's trashes.
    Trash(std::filesystem::path homeTrash, std::vector<std::filesystem::path> mountPoints);

    // $XDG_DATA_HOME/Trash, default ~/.local/share/Trash, from the process environment.
    static std::filesystem::path homeTrashFolder();

    // Moves a file or folder (a link as a link) into the right trash: info file
    // first (O_EXCL), then rename; the info file is removed again when the move
    // fails. The error text says what failed.
    bool put(const std::filesystem::path& item, std::string* error = nullptr);

    // Size in bytes (files by their size, folders by disk usage, from the
    // directorysizes cache when it is current) and number of items of every
    // trash folder, in one pass; the cache is brought up to date on the way.
    struct Usage {
        uint64_t size = 0;
        uint64_t items = 0;
    };
    Usage usage() const;
    uint64_t totalSize() const;
    uint64_t itemCount() const;
    // Removes every item (links as links), its info file and the size cache lines.
    bool empty();

    // Every trash folder in use: the home trash and those of mounted file systems.
    std::vector<std::filesystem::path> trashFolders() const;

private:
    std::filesystem::path m_homeTrash;
    std::optional<std::vector<std::filesystem::path>> m_mountPoints;
};

} // namespace tw
