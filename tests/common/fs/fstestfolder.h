#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

#include "common/fs/filesystem.h"

namespace tw::test {

// A throw-away prefix for the file-system tests: a temporary folder holding
// prefix/dosdevices/c: -> ../drive_c and nothing else, with HOME and
// XDG_DATA_HOME pointed inside it and the umask set to 022 while it lives.
// FileSystem is opened over it directly, without the rest of the machine.
class FsTestFolder {
public:
    FsTestFolder();
    ~FsTestFolder();
    FsTestFolder(const FsTestFolder&) = delete;
    FsTestFolder& operator=(const FsTestFolder&) = delete;

    const std::filesystem::path& root() const { return m_root; }
    const std::filesystem::path& prefix() const { return m_prefix; }
    // The host root of drive C: (prefix/drive_c).
    std::filesystem::path c() const { return m_prefix / "drive_c"; }
    FileSystem& fs() { return *m_fs; }

    // Links drive letter to target (a new folder below root() when empty).
    std::filesystem::path addDrive(char letter, std::filesystem::path target = {});

    // Helpers on host paths relative to C:'s root.
    std::filesystem::path file(std::string_view relative, std::string_view bytes = {});
    std::filesystem::path folder(std::string_view relative);
    std::filesystem::path link(std::string_view relative, const std::filesystem::path& target);
    std::filesystem::path fifo(std::string_view relative);

private:
    std::filesystem::path m_root;
    std::filesystem::path m_prefix;
    std::unique_ptr<FileSystem> m_fs;
    struct Saved {
        const char* name;
        bool present;
        std::string value;
    };
    std::vector<Saved> m_saved;
    mode_t m_savedUmask = 022;
};

// The text value of an extended attribute of a host file (without following a
// link), or nullopt when it is not there.
std::optional<std::string> xattrOf(const std::filesystem::path& path, const char* name);
void setXattr(const std::filesystem::path& path, const char* name, std::string_view value);

// The names of every entry an enumeration of pattern yields; "<error N>" alone
// when FindFirstFile fails.
std::vector<std::string> listNames(const FileSystem& fs, std::string_view pattern);
// The entry named name of the folder's enumeration ("folder\*"); empty name when missing.
FindData findEntry(const FileSystem& fs, std::string_view folder, std::string_view name);

} // namespace tw::test
