#include "common/fs/filesystem.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include "common/base/atomicfile.h"
#include "common/base/text.h"
#include "common/fs/dosattributes.h"
#include "common/fs/filesystemimpl.h"
#include "common/fs/hostmode.h"

namespace tw {
namespace {

// Reads a regular file; a FIFO or device is never opened for reading.
std::optional<std::string> readRegularFile(const std::string& host)
{
    const int fd = ::open(host.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return std::nullopt;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return std::nullopt;
    }
    std::string bytes;
    bytes.reserve(static_cast<size_t>(st.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0)
            break;
        bytes.append(buffer, static_cast<size_t>(n));
    }
    ::close(fd);
    return bytes;
}

// The extended attributes that replacing a file must carry over to the new one.
struct KeptAttributes {
    std::optional<std::string> dosAttrib;
    std::optional<std::string> birthTime;
};

std::optional<std::string> readRaw(const std::string& host, const char* name)
{
    char value[512];
    const ssize_t n = ::getxattr(host.c_str(), name, value, sizeof value);
    if (n < 0)
        return std::nullopt;
    return std::string(value, static_cast<size_t>(n));
}

void restore(const std::string& host, const char* name, const std::optional<std::string>& value)
{
    if (value)
        ::setxattr(host.c_str(), name, value->data(), value->size(), 0);
}

} // namespace

std::optional<std::vector<std::string>> FileSystem::ReadLines(std::string_view path) const
{
    const auto host = m_impl->resolve(path);
    if (!host)
        return std::nullopt;
    const auto bytes = readRegularFile(*host);
    if (!bytes)
        return std::nullopt;
    return splitLines(*bytes);
}

bool FileSystem::WriteLines(std::string_view path, const std::vector<std::string>& lines)
{
    const auto resolved = m_impl->resolve(path);
    if (!resolved)
        return false;
    std::string host = *resolved;
    struct stat st {};
    if (::lstat(host.c_str(), &st) == 0) {
        if (S_ISLNK(st.st_mode)) {
            // Replace the file the link names, not the link.
            char target[PATH_MAX];
            if (!::realpath(host.c_str(), target) || ::stat(target, &st) != 0)
                return false;
            host = target;
        }
        // Like on Windows, a read-only file cannot be written.
        if (!S_ISREG(st.st_mode) || isReadOnlyMode(st.st_mode))
            return false;
    } else if (errno != ENOENT) {
        return false;
    }
    const KeptAttributes kept {readRaw(host, DosAttribName), readRaw(host, BirthTimeName)};
    if (!writeFileAtomically(host, joinLinesCrLf(lines)))
        return false;
    restore(host, DosAttribName, kept.dosAttrib);
    restore(host, BirthTimeName, kept.birthTime);
    return true;
}

int FileSystem::OpenExclusive(std::string_view path, bool forWriting) const
{
    const auto host = m_impl->resolve(path);
    struct stat st {};
    // Look before opening: opening a device or FIFO can itself have effects.
    if (!host || ::lstat(host->c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return -1;
    const int flags = (forWriting ? O_RDWR : O_RDONLY) | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK | O_NOCTTY;
    const int fd = ::open(host->c_str(), flags);
    if (fd < 0)
        return -1;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return -1;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

} // namespace tw
