#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "common/registry/hivefile.h"

namespace tw {

// One hive file of a prefix: loaded into a tree, loaded again when the file on disk
// changed (Wine saved it meanwhile), and saved by replacing the file atomically.
// A file that cannot be read or does not parse is loaded as far as it goes and is
// never saved over.
class RegistryHive {
public:
    // relativeTo is the registry path of the header comment of a new file.
    RegistryHive(std::filesystem::path file, std::string relativeTo);

    // Loads the file; a missing one is an empty hive.
    void load();
    // Loads the file again when it is no longer the one loaded or last saved; true
    // when it did.
    bool reloadIfChanged();

    HiveFile& tree() { return m_tree; }
    const std::filesystem::path& path() const { return m_path; }
    // Why the hive may not be saved (the file and line of a load failure); "" if it may.
    const std::string& loadProblem() const { return m_loadProblem; }

    // Replaces the file with the tree; false with the reason when that failed (the
    // file is then as it was).
    bool save(std::string& reason);
    // Writes the tree to another file, atomically too.
    bool saveCopy(const std::filesystem::path& file, std::string& reason) const;

private:
    // What identifies one version of the file on disk.
    struct Stamp {
        bool exists = false;
        uint64_t device = 0;
        uint64_t inode = 0;
        int64_t size = 0;
        int64_t modifiedNs = 0;
        int64_t changedNs = 0;
        bool operator==(const Stamp&) const = default;
    };
    Stamp currentStamp() const;
    std::filesystem::path saveTarget() const;

    std::filesystem::path m_path;
    std::string m_relativeTo;
    HiveFile m_tree;
    std::string m_loadProblem;
    Stamp m_stamp;
};

} // namespace tw
