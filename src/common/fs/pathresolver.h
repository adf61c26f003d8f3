#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/fs/dosdevices.h"

namespace tw {

// A Windows path taken apart: its drive and its components with "." and ".."
// folded away (".." never climbs above the drive root). The views point into the
// text that was parsed.
struct WindowsPathParts {
    char drive = 0;
    std::vector<std::string_view> components;
};

// Splits "X:\a\b" ("\" and "/" both separate, empty components skipped). nullopt
// for paths without a drive (relative, UNC "\\server\share", device "\\.\x" and
// "\\?\x" paths) and for components that Windows cannot hold.
std::optional<WindowsPathParts> parseWindowsPath(std::string_view path);

// Turns Windows paths into host paths over the drives of one prefix.
class PathResolver {
public:
    explicit PathResolver(const DosDevices& drives) : m_drives(drives) {}

    // The host path of a Windows path: each component matched exactly, else
    // without regard to case (the first match in name order), else kept as
    // written. nullopt when the path does not parse or its drive is unknown.
    std::optional<std::string> resolve(std::string_view windowsPath) const;
    std::optional<std::string> resolve(const WindowsPathParts& parts) const;

    // The drive root joined with the components as written, without looking at
    // the disk; nullopt for an unknown drive. When this path exists, it is the
    // answer of resolve() too.
    std::optional<std::string> exactPath(const WindowsPathParts& parts) const;
    // The component-by-component lookup of resolve(), below the given host root.
    static std::string caseBlindPath(std::string root, const std::vector<std::string_view>& components);

private:
    const DosDevices& m_drives;
};

// The host name in folder that equals name without regard to case; the first in
// byte order when several do; invisible names are never chosen.
std::optional<std::string> findNameIgnoringCase(const std::string& folder, std::string_view name);

} // namespace tw
