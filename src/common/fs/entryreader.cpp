#include "common/fs/entryreader.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/xattr.h>
#include <unistd.h>

#include "common/fs/filetime.h"

// listxattrat(2) (Linux 6.13) lists an entry's attributes relative to its open
// folder, sparing the lookup of the whole path for every entry of a walk. Its
// number is the same on every architecture that uses the common table.
#if !defined(SYS_listxattrat) && (defined(__x86_64__) || defined(__aarch64__) || defined(__riscv) \
                                  || defined(__arm__) || defined(__i386__) || defined(__powerpc64__) \
                                  || defined(__s390x__) || defined(__loongarch64))
#define SYS_listxattrat 465
#endif

namespace tw {
namespace {

std::atomic<bool> listAtMissing {false};

// listxattrat, or -1 with errno ENOSYS when the kernel (or this build) lacks it.
ssize_t listAttributesAt(int dirFd, const char* name, bool followLink, char* list, size_t size)
{
#ifdef SYS_listxattrat
    if (!listAtMissing.load(std::memory_order_relaxed)) {
        const long n = ::syscall(SYS_listxattrat, dirFd, name, followLink ? 0 : AT_SYMLINK_NOFOLLOW, list, size);
        if (n >= 0 || errno != ENOSYS)
            return static_cast<ssize_t>(n);
        listAtMissing.store(true, std::memory_order_relaxed);
    }
#else
    (void)dirFd;
    (void)name;
    (void)followLink;
    (void)list;
    (void)size;
#endif
    errno = ENOSYS;
    return -1;
}

constexpr unsigned StatMask = STATX_TYPE | STATX_MODE | STATX_SIZE | STATX_ATIME | STATX_MTIME | STATX_CTIME | STATX_BTIME;

FileTime toFileTime(const statx_timestamp& t)
{
    return fileTimeFromUnix(t.tv_sec, t.tv_nsec);
}

// Reads one attribute's value into value; false when it is missing.
template <typename Get>
bool readValue(Get get, const char* attribute, std::string& value)
{
    char buffer[256];
    const ssize_t n = get(attribute, buffer, sizeof buffer);
    if (n >= 0) {
        value.assign(buffer, static_cast<size_t>(n));
        return true;
    }
    if (errno != ERANGE)
        return false;
    // A long value (a Samba 4 blob, say): ask for its size, then read it.
    for (int attempt = 0; attempt < 4; ++attempt) {
        const ssize_t size = get(attribute, nullptr, 0);
        if (size < 0)
            return false;
        value.resize(static_cast<size_t>(size));
        const ssize_t got = get(attribute, value.data(), value.size());
        if (got >= 0) {
            value.resize(static_cast<size_t>(got));
            return true;
        }
        if (errno != ERANGE)
            return false;
    }
    return false;
}

// One listing of the attribute names tells whether either attribute is there,
// so an entry without extended attributes (nearly all) costs one call.
template <typename List, typename Get>
void readStored(List list, Get get, StoredAttributes& stored)
{
    char names[1024];
    const ssize_t n = list(names, sizeof names);
    bool wantDos = false;
    bool wantBirth = false;
    if (n < 0) {
        if (errno != ERANGE)
            return;
        wantDos = wantBirth = true;
    }
    for (ssize_t i = 0; i < n;) {
        const char* attribute = names + i;
        const size_t length = ::strnlen(attribute, static_cast<size_t>(n - i));
        if (std::strcmp(attribute, DosAttribName) == 0)
            wantDos = true;
        else if (std::strcmp(attribute, BirthTimeName) == 0)
            wantBirth = true;
        i += static_cast<ssize_t>(length) + 1;
    }
    std::string value;
    if (wantDos && readValue(get, DosAttribName, value)) {
        stored.hasDosAttrib = true;
        stored.dosAttrib = parseDosAttrib(value);
    }
    if (wantBirth && readValue(get, BirthTimeName, value))
        stored.birthTime = parseBirthTime(value);
}

void fill(const struct statx& sx, std::string_view displayName, std::string_view ruleName,
          const StoredAttributes& stored, bool isLink, FindData& data)
{
    data.name.assign(displayName);
    data.attributes = attributesOf(sx.stx_mode, ruleName, stored);
    if (isLink)
        data.attributes |= FileAttribute::ReparsePoint;
    data.size = S_ISDIR(sx.stx_mode) ? 0 : sx.stx_size;
    data.lastAccessTime = toFileTime(sx.stx_atime);
    data.lastWriteTime = toFileTime(sx.stx_mtime);
    if (stored.birthTime && *stored.birthTime != 0)
        data.creationTime = *stored.birthTime;
    else if (sx.stx_mask & STATX_BTIME)
        data.creationTime = toFileTime(sx.stx_btime);
    else
        data.creationTime = toFileTime(sx.stx_ctime);
}

bool isListedType(mode_t mode)
{
    return S_ISDIR(mode) || S_ISREG(mode);
}

} // namespace

void readStoredAttributes(const char* path, bool followLink, StoredAttributes& stored)
{
    if (followLink)
        readStored([&](char* list, size_t size) { return ::listxattr(path, list, size); },
                   [&](const char* name, void* value, size_t size) { return ::getxattr(path, name, value, size); },
                   stored);
    else
        readStored([&](char* list, size_t size) { return ::llistxattr(path, list, size); },
                   [&](const char* name, void* value, size_t size) { return ::lgetxattr(path, name, value, size); },
                   stored);
}

void readStoredAttributesAt(int dirFd, const char* name, const char* path, bool followLink, StoredAttributes& stored)
{
    const auto get = [&](const char* attribute, void* value, size_t size) {
        return followLink ? ::getxattr(path, attribute, value, size) : ::lgetxattr(path, attribute, value, size);
    };
    const auto list = [&](char* names, size_t size) {
        const ssize_t n = listAttributesAt(dirFd, name, followLink, names, size);
        if (n >= 0 || errno != ENOSYS)
            return n;
        return followLink ? ::listxattr(path, names, size) : ::llistxattr(path, names, size);
    };
    readStored(list, get, stored);
}

EntryStatus readEntry(int dirFd, const char* name, const char* path, std::string_view displayName,
                      std::string_view ruleName, FindData& data)
{
    struct statx sx {};
    if (::statx(dirFd, name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, StatMask, &sx) != 0)
        return errno == ENOENT || errno == ENOTDIR ? EntryStatus::Missing : EntryStatus::Failed;
    const bool isLink = S_ISLNK(sx.stx_mode);
    if (isLink && ::statx(dirFd, name, AT_NO_AUTOMOUNT, StatMask, &sx) != 0)
        return errno == ENOENT || errno == ENOTDIR || errno == ELOOP ? EntryStatus::Unlisted : EntryStatus::Failed;
    if (!isListedType(sx.stx_mode))
        return EntryStatus::Unlisted;
    StoredAttributes stored;
    readStoredAttributesAt(dirFd, name, path, isLink, stored);
    fill(sx, displayName, ruleName, stored, isLink, data);
    return EntryStatus::Listed;
}

bool statOpenFolder(int fd, struct statx& sx)
{
    return ::statx(fd, "", AT_EMPTY_PATH, StatMask, &sx) == 0;
}

EntryStatus readOpenFolder(int fd, std::string_view displayName, std::string_view ruleName, FindData& data,
                           const struct statx* known)
{
    struct statx sx {};
    if (known)
        sx = *known;
    else if (!statOpenFolder(fd, sx))
        return EntryStatus::Failed;
    StoredAttributes stored;
    readStored([&](char* list, size_t size) { return ::flistxattr(fd, list, size); },
               [&](const char* name, void* value, size_t size) { return ::fgetxattr(fd, name, value, size); },
               stored);
    fill(sx, displayName, ruleName, stored, false, data);
    return EntryStatus::Listed;
}

} // namespace tw
