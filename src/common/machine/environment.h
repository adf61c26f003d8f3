#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "common/fs/filesystem.h"
#include "common/registry/registry.h"
#include "common/shell/shell.h"

// One Windows machine: the registry, the file-system view and the shell
// services of one prefix. Every tool receives it by reference; there are no globals.
namespace tw {

class Environment {
public:
    // Opens an existing prefix folder (its dosdevices/ and registry files).
    explicit Environment(const std::filesystem::path& prefixFolder);
    // The same with the given Recycle Bin instead of the user's (tests confine it).
    Environment(const std::filesystem::path& prefixFolder, Trash trash);
    ~Environment();
    Environment(const Environment&) = delete;
    Environment& operator=(const Environment&) = delete;

    const std::filesystem::path& prefixFolder() const { return m_prefixFolder; }
    Registry& registry() { return *m_registry; }
    FileSystem& fileSystem() { return *m_fileSystem; }
    const FileSystem& fileSystem() const { return *m_fileSystem; }
    Shell& shell() { return *m_shell; }

private:
    std::filesystem::path m_prefixFolder;
    std::unique_ptr<Registry> m_registry;
    std::unique_ptr<FileSystem> m_fileSystem;
    std::unique_ptr<Shell> m_shell;
};

} // namespace tw
