#pragma once

#include <dirent.h>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <sys/types.h>

#include "common/fs/filesystem.h"
#include "common/fs/findpattern.h"

namespace tw {

// An enumeration of one host folder: "." and ".." first (when they match), then
// the folder's entries in the order the file system returns them. One open and
// one readdir stream per folder, one statx per entry relative to the folder (a
// second one only for links) and one extended-attribute listing per entry on a
// reused path buffer: a walk of a big tree costs little more than find(1).
class DirectoryFind final : public FindHandle {
public:
    // Tells whether a device number belongs to a virtual file system.
    using VirtualDeviceTest = std::function<bool(dev_t)>;

    // Opens the host folder for the last component `mask` of a pattern. depth is
    // the folder's number of components below its drive root; at 0, ".." is the
    // root itself. nullptr on failure, with errno-style sysError
    // (EACCES also for folders of virtual file systems, which are never listed).
    static std::unique_ptr<DirectoryFind> open(const std::string& folder, size_t depth, std::string_view mask,
                                               const VirtualDeviceTest& isVirtual, int& sysError);
    ~DirectoryFind() override;

    bool next(FindData& entry) override;
    uint32_t error() const override { return m_error; }

private:
    DirectoryFind(int fd, std::string folder, size_t depth, std::string_view mask);

    bool nextDot(FindData& entry);
    bool nextLiteral(FindData& entry);
    bool nextScanned(FindData& entry);
    const char* entryPath(const char* name);

    int m_fd = -1;
    DIR* m_dir = nullptr;
    std::string m_path;  // the folder and a "/", then the current entry's name
    size_t m_base = 0;   // length of the folder part of m_path
    size_t m_depth = 0;  // components below the drive root
    FindPattern m_pattern;
    std::string m_mask;
    int m_dotsDone = 0;  // how many of "." and ".." were considered
    bool m_literalTried = false;
    uint32_t m_error = WinError::Success;
};

} // namespace tw
