#include "common/fs/pathresolver.h"

#include <dirent.h>
#include <sys/stat.h>

#include "common/base/text.h"
#include "common/fs/windowsname.h"

namespace tw {
namespace {

bool isSeparator(char c)
{
    return c == '\\' || c == '/';
}

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool exists(const std::string& path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

void append(std::string& path, std::string_view component)
{
    if (path.empty() || path.back() != '/')
        path += '/';
    path.append(component);
}

} // namespace

std::optional<WindowsPathParts> parseWindowsPath(std::string_view path)
{
    if (path.size() < 2 || !isLetter(path[0]) || path[1] != ':')
        return std::nullopt;
    WindowsPathParts parts;
    parts.drive = static_cast<char>(path[0] & ~0x20);
    // "X:name" is taken as "X:\name": there is no current folder per drive.
    size_t i = 2;
    while (i < path.size()) {
        while (i < path.size() && isSeparator(path[i]))
            ++i;
        const size_t start = i;
        while (i < path.size() && !isSeparator(path[i]))
            ++i;
        if (i == start)
            break;
        const std::string_view component = path.substr(start, i - start);
        if (component == ".")
            continue;
        if (component == "..") {
            if (!parts.components.empty())
                parts.components.pop_back();
            continue;
        }
        if (!isWindowsName(component))
            return std::nullopt;
        parts.components.push_back(component);
    }
    return parts;
}

std::optional<std::string> PathResolver::resolve(std::string_view windowsPath) const
{
    const auto parts = parseWindowsPath(windowsPath);
    if (!parts)
        return std::nullopt;
    return resolve(*parts);
}

std::optional<std::string> PathResolver::resolve(const WindowsPathParts& parts) const
{
    auto exact = exactPath(parts);
    // The common case: the path exists as written, so every component matched
    // exactly and no folder has to be read.
    if (!exact || parts.components.empty() || exists(*exact))
        return exact;
    return caseBlindPath(*m_drives.root(parts.drive), parts.components);
}

std::optional<std::string> PathResolver::exactPath(const WindowsPathParts& parts) const
{
    auto path = m_drives.root(parts.drive);
    if (!path)
        return std::nullopt;
    for (const auto component : parts.components)
        append(*path, component);
    return path;
}

std::string PathResolver::caseBlindPath(std::string root, const std::vector<std::string_view>& components)
{
    std::string path = std::move(root);
    bool lookUp = true;
    for (const auto component : components) {
        const size_t base = path.size();
        append(path, component);
        if (!lookUp || exists(path))
            continue;
        path.resize(base);
        const auto match = findNameIgnoringCase(path, component);
        if (match) {
            append(path, *match);
        } else {
            // Nothing below a missing component can exist: keep the rest as written.
            append(path, component);
            lookUp = false;
        }
    }
    return path;
}

std::optional<std::string> findNameIgnoringCase(const std::string& folder, std::string_view name)
{
    DIR* dir = ::opendir(folder.empty() ? "/" : folder.c_str());
    if (!dir)
        return std::nullopt;
    std::optional<std::string> best;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view candidate(entry->d_name);
        if (candidate == "." || candidate == ".." || !isWindowsName(candidate))
            continue;
        if (!equalsIgnoreCase(candidate, name))
            continue;
        if (!best || candidate < *best)
            best = std::string(candidate);
    }
    ::closedir(dir);
    return best;
}

} // namespace tw
