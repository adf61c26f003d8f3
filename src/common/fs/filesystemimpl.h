#pragma once

#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

#include "common/fs/dosdevices.h"
#include "common/fs/filesystem.h"
#include "common/fs/pathresolver.h"

namespace tw {

// The state behind FileSystem, shared by the files that implement its services.
struct FileSystem::Impl {
    explicit Impl(const std::filesystem::path& prefixFolder);

    // The host path of a Windows path (PathResolver::resolve).
    std::optional<std::string> resolve(std::string_view windowsPath) const { return resolver.resolve(windowsPath); }
    // True when the device number is that of a virtual file system (proc, sysfs,
    // ...); the mount table is read once, on first use.
    bool isVirtualDevice(dev_t device) const;

    std::filesystem::path prefix;
    DosDevices drives;
    PathResolver resolver;

private:
    mutable std::once_flag m_virtualOnce;
    mutable std::vector<dev_t> m_virtualDevices;
};

// The last component of a host path ("" for "/").
std::string_view hostFileName(std::string_view path);

} // namespace tw
