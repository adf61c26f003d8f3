#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/machine/environment.h"

namespace tw::test {

// A throw-away Windows machine for one test: a temporary folder holding a fresh
// prefix skeleton (drive C: only, unless more drives are added), with HOME,
// XDG_DATA_HOME and XDG_CONFIG_HOME pointed inside it for the test's lifetime, so
// that nothing can reach the real home, trash or prefix. The machine's Recycle
// Bin is the home trash below home() and sees no other file system's trash.
// Removed with everything in it at the end (links removed, never followed).
class TempPrefix {
public:
    TempPrefix();
    ~TempPrefix();
    TempPrefix(const TempPrefix&) = delete;
    TempPrefix& operator=(const TempPrefix&) = delete;

    // The temporary folder (prefix, home and extra drive roots live below it).
    const std::filesystem::path& root() const { return m_root; }
    const std::filesystem::path& prefixFolder() const { return m_prefix; }
    const std::filesystem::path& home() const { return m_home; }

    // The machine over the prefix, opened on first use; reopen() retires it so the
    // next call loads the registry and drives afresh. A retired machine stays
    // alive until the end of the test, so references taken earlier never dangle
    // (they see the old state).
    Environment& env();
    void reopen();

    // $XDG_DATA_HOME/Trash of the test.
    std::filesystem::path homeTrash() const;

    // Adds drive letter -> a new host folder below root() (or the given target)
    // and reopens the machine. Returns the drive's host root.
    std::filesystem::path addDrive(char letter, std::filesystem::path target = {});

    // Replaces the prefix's registry files with those of the real Wine fixture
    // (system.reg, user.reg, userdef.reg) and reopens the machine.
    void useFixtureHives();

    // The host path of a Windows path (through the machine's resolution).
    std::filesystem::path host(std::string_view windowsPath);
    // Creates a file (and its folders) at a Windows path with the given bytes.
    std::filesystem::path writeFile(std::string_view windowsPath, std::string_view bytes = {});
    // Creates a folder (and its parents) at a Windows path.
    std::filesystem::path makeFolder(std::string_view windowsPath);

private:
    // Drops the machines, restores the variables and removes the folder.
    void cleanUp();

    std::filesystem::path m_root;
    std::filesystem::path m_prefix;
    std::filesystem::path m_home;
    struct SavedVariable {
        const char* name;
        bool present = false;
        std::string value;
    };
    std::vector<SavedVariable> m_saved;
    std::unique_ptr<Environment> m_env;
    std::vector<std::unique_ptr<Environment>> m_retired;
};

// A copy of the registry files written by a real Wine, for tests that read them.
std::filesystem::path FixtureFolder();

} // namespace tw::test
