#include "common/fs/filesystem.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include "common/fs/dosattributes.h"
#include "common/fs/entryreader.h"
#include "common/fs/filesystemimpl.h"
#include "common/fs/filetime.h"
#include "common/fs/hostmode.h"

namespace tw {
namespace {

// The data of the entry a Windows path names; a drive root has no name for the
// dot-file rule.
std::optional<FindData> readWindowsEntry(const PathResolver& resolver, std::string_view path)
{
    const auto parts = parseWindowsPath(path);
    const auto host = parts ? resolver.resolve(*parts) : std::nullopt;
    if (!host)
        return std::nullopt;
    const std::string_view name = parts->components.empty() ? std::string_view() : hostFileName(*host);
    FindData data;
    if (readEntry(AT_FDCWD, host->c_str(), host->c_str(), name, name, data) != EntryStatus::Listed)
        return std::nullopt;
    return data;
}

bool statFollowing(const std::optional<std::string>& host, struct stat& st)
{
    return host && ::stat(host->c_str(), &st) == 0;
}

// Writes the hidden, system and archive bits so that they read back as wanted:
// with no stored value when the defaults give them, else as "0x..".
bool storeAttributes(const std::string& host, std::string_view ruleName, bool isFolder, uint32_t wanted)
{
    StoredAttributes stored;
    readStoredAttributes(host.c_str(), true, stored);
    if (wanted == defaultStoredAttributes(ruleName, isFolder)) {
        if (!stored.hasDosAttrib)
            return true;
        return ::removexattr(host.c_str(), DosAttribName) == 0 || errno == ENODATA;
    }
    if (stored.dosAttrib && *stored.dosAttrib == wanted)
        return true;
    const std::string value = formatDosAttrib(wanted);
    return ::setxattr(host.c_str(), DosAttribName, value.data(), value.size(), 0) == 0;
}

} // namespace

std::optional<uint32_t> FileSystem::GetFileAttributes(std::string_view path) const
{
    const auto data = readWindowsEntry(m_impl->resolver, path);
    if (!data)
        return std::nullopt;
    return data->attributes;
}

bool FileSystem::SetFileAttributes(std::string_view path, uint32_t attributes)
{
    const auto parts = parseWindowsPath(path);
    const auto host = parts ? m_impl->resolver.resolve(*parts) : std::nullopt;
    struct stat st {};
    if (!statFollowing(host, st) || !(S_ISDIR(st.st_mode) || S_ISREG(st.st_mode)))
        return false;
    const bool isFolder = S_ISDIR(st.st_mode);
    const mode_t mode = st.st_mode & 07777;
    const mode_t newMode = modeForReadOnly(mode, isFolder, attributes & FileAttribute::ReadOnly);
    // A file without write bits may refuse a new extended attribute, so write
    // access is granted before it is stored and taken away after.
    const bool grantsWrite = (newMode & 0222) && !(mode & 0222);
    if (grantsWrite && ::chmod(host->c_str(), newMode) != 0)
        return false;
    const std::string_view ruleName = parts->components.empty() ? std::string_view() : hostFileName(*host);
    if (!storeAttributes(*host, ruleName, isFolder, attributes & StoredAttributeMask)) {
        if (grantsWrite)
            ::chmod(host->c_str(), mode);
        return false;
    }
    if (!grantsWrite && newMode != mode && ::chmod(host->c_str(), newMode) != 0)
        return false;
    return true;
}

std::optional<FileTimes> FileSystem::GetFileTimes(std::string_view path) const
{
    const auto data = readWindowsEntry(m_impl->resolver, path);
    if (!data)
        return std::nullopt;
    return FileTimes {data->creationTime, data->lastAccessTime, data->lastWriteTime};
}

bool FileSystem::SetFileTimes(std::string_view path, const FileTimes& times)
{
    const auto host = m_impl->resolve(path);
    struct stat st {};
    if (!statFollowing(host, st) || !(S_ISDIR(st.st_mode) || S_ISREG(st.st_mode)))
        return false;
    if (times.lastAccess != 0 || times.lastWrite != 0) {
        timespec ts[2];
        ts[0] = times.lastAccess ? unixFromFileTime(times.lastAccess) : timespec {0, UTIME_OMIT};
        ts[1] = times.lastWrite ? unixFromFileTime(times.lastWrite) : timespec {0, UTIME_OMIT};
        if (::utimensat(AT_FDCWD, host->c_str(), ts, 0) != 0)
            return false;
    }
    if (times.creation != 0) {
        // The host cannot set a birth time; the one we set is kept beside the file.
        const std::string value = formatBirthTime(times.creation);
        if (::setxattr(host->c_str(), BirthTimeName, value.data(), value.size(), 0) != 0)
            return false;
    }
    return true;
}

std::optional<uint64_t> FileSystem::GetFileSize(std::string_view path) const
{
    struct stat st {};
    if (!statFollowing(m_impl->resolve(path), st) || !S_ISREG(st.st_mode))
        return std::nullopt;
    return static_cast<uint64_t>(st.st_size);
}

bool FileSystem::FileExists(std::string_view path) const
{
    struct stat st {};
    return statFollowing(m_impl->resolve(path), st) && S_ISREG(st.st_mode);
}

bool FileSystem::DirectoryExists(std::string_view path) const
{
    struct stat st {};
    return statFollowing(m_impl->resolve(path), st) && S_ISDIR(st.st_mode);
}

bool FileSystem::CreateDirectory(std::string_view path)
{
    const auto host = m_impl->resolve(path);
    return host && ::mkdir(host->c_str(), 0777) == 0;
}

bool FileSystem::CreateEmptyFile(std::string_view path)
{
    const auto host = m_impl->resolve(path);
    if (!host)
        return false;
    struct stat st {};
    if (::stat(host->c_str(), &st) == 0) {
        // Only a regular file is replaced, and like on Windows not a read-only one.
        if (!S_ISREG(st.st_mode) || isReadOnlyMode(st.st_mode))
            return false;
    } else if (errno != ENOENT) {
        return false;
    }
    const int fd = ::open(host->c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NONBLOCK | O_NOCTTY, 0666);
    if (fd < 0)
        return false;
    return ::close(fd) == 0;
}

bool FileSystem::DeleteFile(std::string_view path)
{
    const auto host = m_impl->resolve(path);
    struct stat st {};
    if (!host || ::lstat(host->c_str(), &st) != 0)
        return false;
    if (S_ISLNK(st.st_mode)) {
        // A link is removed as a link; a dangling one does not exist for us.
        struct stat target {};
        if (::stat(host->c_str(), &target) != 0 || !(S_ISREG(target.st_mode) || S_ISDIR(target.st_mode)))
            return false;
        return ::unlink(host->c_str()) == 0;
    }
    // Windows refuses to delete a read-only file; its attributes must be cleared first.
    if (!S_ISREG(st.st_mode) || isReadOnlyMode(st.st_mode))
        return false;
    return ::unlink(host->c_str()) == 0;
}

bool FileSystem::RemoveDirectory(std::string_view path)
{
    const auto parts = parseWindowsPath(path);
    if (!parts || parts->components.empty())
        return false; // never a drive root
    const auto host = m_impl->resolver.resolve(*parts);
    struct stat st {};
    if (!host || ::lstat(host->c_str(), &st) != 0)
        return false;
    if (S_ISLNK(st.st_mode)) {
        struct stat target {};
        if (::stat(host->c_str(), &target) != 0 || !S_ISDIR(target.st_mode))
            return false;
        return ::unlink(host->c_str()) == 0;
    }
    return S_ISDIR(st.st_mode) && ::rmdir(host->c_str()) == 0;
}

} // namespace tw
