#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <sys/types.h>

#include "common/fs/filesystem.h"
#include "common/fs/findpattern.h"

namespace tw {

// An enumeration of one host folder: "." and ".." first (when they match), then
// the folder's entries in the order the file system returns them. One open and
// getdents64 calls into a buffer of its own per folder, one statx per entry
// relative to the folder (a second one only for links) and one listing of the
// extended attributes per entry: a walk of a big tree costs little more than
// find(1) does.
class DirectoryFind final : public FindHandle {
public:
    // Tells whether a device number belongs to a virtual file system.
    using VirtualDeviceTest = std::function<bool(dev_t)>;

    // Opens the host folder for the last component `mask` of a pattern. depth is
    // the folder's number of components below its drive root; at 0, ".." is the
    // root itself. nullptr on failure, with errno-style sysError (EACCES also for
    // folders of virtual file systems, which are never listed).
    static std::unique_ptr<DirectoryFind> open(const std::string& folder, size_t depth, std::string_view mask,
                                               const VirtualDeviceTest& isVirtual, int& sysError);
    ~DirectoryFind() override;

    bool next(FindData& entry) override;
    uint32_t error() const override { return m_error; }

private:
    DirectoryFind(int fd, const struct statx& self, std::string folder, size_t depth, std::string_view mask);

    bool nextDot(FindData& entry);
    bool nextLiteral(FindData& entry);
    bool nextScanned(FindData& entry);
    // The next raw entry of the folder; nullptr at the end or on an error (m_error set).
    const char* readName(unsigned char& type);
    const char* entryPath(const char* name);

    int m_fd = -1;
    struct statx m_self {}; // the folder itself, for "."
    std::string m_path;     // the folder and a "/", then the current entry's name
    size_t m_base = 0;      // length of the folder part of m_path
    size_t m_depth = 0;     // components below the drive root
    FindPattern m_pattern;
    std::string m_mask;
    int m_dotsDone = 0;     // how many of "." and ".." were considered
    bool m_literalTried = false;
    std::unique_ptr<char[]> m_buffer; // getdents64 records
    size_t m_position = 0;
    size_t m_filled = 0;
    uint32_t m_error = WinError::Success;
};

} // namespace tw
