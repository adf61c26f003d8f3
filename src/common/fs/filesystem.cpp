#include "common/fs/filesystem.h"

#include <algorithm>
#include <cerrno>
#include <sys/sysmacros.h>

#include "common/fs/directoryfind.h"
#include "common/fs/filesystemimpl.h"
#include "common/fs/mountinfo.h"
#include "common/fs/windowsname.h"

namespace tw {
namespace {

bool isPrefixFolder(std::string_view folder, std::string_view path)
{
    if (folder == "/")
        return !path.empty() && path.front() == '/';
    return path.substr(0, folder.size()) == folder && (path.size() == folder.size() || path[folder.size()] == '/');
}

std::string withoutTrailingSlash(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

uint32_t findError(int sysError)
{
    switch (sysError) {
    case EACCES:
    case EPERM:
        return WinError::AccessDenied;
    default:
        return WinError::PathNotFound;
    }
}

} // namespace

FileSystem::Impl::Impl(const std::filesystem::path& prefixFolder)
    : prefix(prefixFolder)
    , drives((prefixFolder / "dosdevices").string())
    , resolver(drives)
{
}

bool FileSystem::Impl::isVirtualDevice(dev_t device) const
{
    std::call_once(m_virtualOnce, [this] {
        for (const auto& mount : readMountInfo())
            if (isVirtualFileSystemType(mount.fsType))
                m_virtualDevices.push_back(makedev(mount.major, mount.minor));
    });
    return std::find(m_virtualDevices.begin(), m_virtualDevices.end(), device) != m_virtualDevices.end();
}

std::string_view hostFileName(std::string_view path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

FileSystem::FileSystem(std::filesystem::path prefixFolder)
    : m_impl(std::make_unique<Impl>(prefixFolder))
{
}

FileSystem::~FileSystem() = default;

std::optional<std::filesystem::path> FileSystem::hostPath(std::string_view windowsPath) const
{
    auto path = m_impl->resolve(windowsPath);
    if (!path)
        return std::nullopt;
    return std::filesystem::path(std::move(*path));
}

std::optional<std::string> FileSystem::windowsPath(const std::filesystem::path& hostPath) const
{
    std::error_code error;
    const auto absolute = std::filesystem::absolute(hostPath, error);
    if (error)
        return std::nullopt;
    const std::string lexical = withoutTrailingSlash(absolute.lexically_normal().string());
    const auto canonicalPath = std::filesystem::weakly_canonical(absolute, error);
    const std::string canonical = error ? lexical : withoutTrailingSlash(canonicalPath.string());

    // The drive whose root is the longest prefix, trying the path as written
    // before the path with its links resolved, and each root both ways too.
    char bestLetter = 0;
    size_t bestLength = 0;
    std::string bestRest;
    for (const char letter : m_impl->drives.letters()) {
        for (const auto& root : {m_impl->drives.root(letter), m_impl->drives.canonicalRoot(letter)}) {
            if (!root)
                continue;
            for (const std::string* path : {&lexical, &canonical}) {
                if (!isPrefixFolder(*root, *path) || (bestLetter && root->size() <= bestLength))
                    continue;
                bestLetter = letter;
                bestLength = root->size();
                bestRest = path->substr(*root == "/" ? 1 : root->size());
            }
        }
    }
    if (!bestLetter)
        return std::nullopt;
    std::string result {bestLetter, ':', '\\'};
    size_t i = 0;
    while (i < bestRest.size()) {
        while (i < bestRest.size() && bestRest[i] == '/')
            ++i;
        const size_t start = i;
        while (i < bestRest.size() && bestRest[i] != '/')
            ++i;
        if (i == start)
            break;
        const std::string_view component = std::string_view(bestRest).substr(start, i - start);
        // A host name Windows cannot hold cannot be named by a Windows path.
        if (!isWindowsName(component))
            return std::nullopt;
        if (result.back() != '\\')
            result += '\\';
        result.append(component);
    }
    return result;
}

std::vector<std::string> FileSystem::GetLogicalDriveStrings() const
{
    std::vector<std::string> roots;
    for (const char letter : m_impl->drives.letters())
        roots.push_back(std::string {letter, ':', '\\'});
    return roots;
}

std::unique_ptr<FindHandle> FileSystem::FindFirstFile(std::string_view pattern, FindData& first,
                                                      uint32_t& error) const
{
    const size_t separator = pattern.find_last_of("\\/");
    std::string_view folder;
    std::string_view mask;
    if (separator != std::string_view::npos) {
        folder = pattern.substr(0, separator);
        mask = pattern.substr(separator + 1);
    } else if (pattern.size() >= 2 && pattern[1] == ':') {
        folder = pattern.substr(0, 2);
        mask = pattern.substr(2);
    } else {
        error = WinError::PathNotFound;
        return nullptr;
    }
    const auto parts = parseWindowsPath(folder);
    const auto exact = parts ? m_impl->resolver.exactPath(*parts) : std::nullopt;
    if (!exact) {
        error = WinError::PathNotFound;
        return nullptr;
    }
    // No visible name can match a pattern that Windows would refuse.
    if (!isWindowsPattern(mask)) {
        error = WinError::FileNotFound;
        return nullptr;
    }
    const size_t depth = parts->components.size();
    const DirectoryFind::VirtualDeviceTest isVirtual = [this](dev_t device) {
        return m_impl->isVirtualDevice(device);
    };
    int sysError = 0;
    auto handle = DirectoryFind::open(*exact, depth, mask, isVirtual, sysError);
    if (!handle && depth > 0 && (sysError == ENOENT || sysError == ENOTDIR)) {
        // The folder is not there as written: look its components up without
        // regard to case.
        const std::string folderPath = PathResolver::caseBlindPath(*m_impl->drives.root(parts->drive), parts->components);
        handle = DirectoryFind::open(folderPath, depth, mask, isVirtual, sysError);
    }
    if (!handle) {
        error = findError(sysError);
        return nullptr;
    }
    if (!handle->next(first)) {
        error = handle->error() == WinError::NoMoreFiles ? WinError::FileNotFound : handle->error();
        return nullptr;
    }
    error = WinError::Success;
    return handle;
}

} // namespace tw
