#include "common/shell/hosttree.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <set>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace tw {
namespace {

bool fail(std::string* error, const std::string& what, int code)
{
    if (error && error->empty())
        *error = what + ": " + std::strerror(code);
    return false;
}

// Closes a descriptor at the end of a scope.
class Fd {
public:
    explicit Fd(int fd) : m_fd(fd) {}
    ~Fd()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }

private:
    int m_fd;
};

// The names in an open folder, "." and ".." left out. The descriptor stays open.
bool listNames(int folderFd, std::vector<std::string>& names)
{
    const int copy = ::dup(folderFd);
    if (copy < 0)
        return false;
    DIR* dir = ::fdopendir(copy);
    if (!dir) {
        ::close(copy);
        return false;
    }
    ::rewinddir(dir);
    errno = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const char* name = entry->d_name;
        if (std::strcmp(name, ".") != 0 && std::strcmp(name, "..") != 0)
            names.emplace_back(name);
        errno = 0;
    }
    const bool ok = errno == 0;
    ::closedir(dir);
    return ok;
}

// Gives the owner full access to a folder found at parentFd/name without ever
// following a link: the folder is pinned by an O_PATH descriptor first.
bool openUpFolderAt(int parentFd, const char* name, mode_t mode)
{
    Fd pinned(::openat(parentFd, name, O_PATH | O_NOFOLLOW | O_DIRECTORY | O_CLOEXEC));
    if (!pinned.valid())
        return false;
    const std::string self = "/proc/self/fd/" + std::to_string(pinned.get());
    return ::chmod(self.c_str(), (mode & 07777) | S_IRWXU) == 0;
}

bool isPermissionError(int code) { return code == EACCES || code == EPERM; }

// Whether the folder parentFd/name is where another file system (or a bind mount)
// is mounted: its files belong to that file system, not to the tree being removed.
bool isMountPointAt(int parentFd, const char* name, const struct stat& folder)
{
    struct statx sx {};
    if (::statx(parentFd, name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, STATX_TYPE, &sx) == 0
        && (sx.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT))
        return (sx.stx_attributes & STATX_ATTR_MOUNT_ROOT) != 0;
    struct stat parent {};
    return ::fstat(parentFd, &parent) == 0 && parent.st_dev != folder.st_dev;
}

// Removes parentFd/name. insideTree: parentFd is a folder of the tree being
// removed, so it may be opened up when it refuses the removal.
bool removeAt(int parentFd, const char* name, const std::string& shown, bool insideTree, std::string* error)
{
    struct stat st {};
    if (::fstatat(parentFd, name, &st, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT ? true : fail(error, "cannot examine " + shown, errno);

    const auto retryAfterOpeningParent = [&](int flags) {
        struct stat parent {};
        if (!insideTree || ::fstat(parentFd, &parent) != 0 || ::fchmod(parentFd, (parent.st_mode & 07777) | S_IRWXU) != 0)
            return false;
        return ::unlinkat(parentFd, name, flags) == 0 || errno == ENOENT;
    };

    if (!S_ISDIR(st.st_mode)) {
        if (::unlinkat(parentFd, name, 0) == 0 || errno == ENOENT)
            return true;
        const int code = errno;
        if (isPermissionError(code) && retryAfterOpeningParent(0))
            return true;
        return fail(error, "cannot remove " + shown, code);
    }

    if (isMountPointAt(parentFd, name, st))
        return fail(error, "cannot remove " + shown + ", another file system is mounted there", EBUSY);
    int fd = ::openat(parentFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0 && isPermissionError(errno) && openUpFolderAt(parentFd, name, st.st_mode))
        fd = ::openat(parentFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return fail(error, "cannot open " + shown, errno);
    {
        Fd folder(fd);
        std::vector<std::string> names;
        if (!listNames(folder.get(), names))
            return fail(error, "cannot read " + shown, errno);
        if (!names.empty() && (st.st_mode & S_IRWXU) != S_IRWXU)
            ::fchmod(folder.get(), (st.st_mode & 07777) | S_IRWXU);
        bool ok = true;
        for (const std::string& child : names)
            ok = removeAt(folder.get(), child.c_str(), shown + "/" + child, true, error) && ok;
        if (!ok)
            return false;
    }
    if (::unlinkat(parentFd, name, AT_REMOVEDIR) == 0 || errno == ENOENT)
        return true;
    const int code = errno;
    if (isPermissionError(code) && retryAfterOpeningParent(AT_REMOVEDIR))
        return true;
    return fail(error, "cannot remove " + shown, code);
}

// The folder and the last component of a path, for the *at calls. False for
// paths whose last component names no entry of its folder ("/", ".", ".."):
// "x/.." must never stand for x's parent.
bool splitLast(const std::filesystem::path& path, std::filesystem::path& folder, std::string& name)
{
    std::filesystem::path raw = path;
    while (!raw.has_filename() && raw.has_relative_path())
        raw = raw.parent_path();
    name = raw.filename().string();
    if (name.empty() || name == "." || name == "..")
        return false;
    folder = raw.has_parent_path() ? raw.parent_path() : std::filesystem::path(".");
    return true;
}

uint64_t usageAt(int parentFd, const char* name, std::set<std::pair<dev_t, ino_t>>& seen)
{
    struct stat st {};
    if (::fstatat(parentFd, name, &st, AT_SYMLINK_NOFOLLOW) != 0)
        return 0;
    if (!S_ISDIR(st.st_mode) && st.st_nlink > 1 && !seen.insert({st.st_dev, st.st_ino}).second)
        return 0;
    uint64_t total = static_cast<uint64_t>(st.st_blocks) * 512u;
    if (!S_ISDIR(st.st_mode))
        return total;
    Fd folder(::openat(parentFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!folder.valid())
        return total;
    std::vector<std::string> names;
    listNames(folder.get(), names);
    for (const std::string& child : names)
        total += usageAt(folder.get(), child.c_str(), seen);
    return total;
}

bool writeAll(int fd, const char* data, size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

// Copies the bytes of one open file into another: copy_file_range while the
// kernel offers it for the pair of file systems, else read and write.
bool copyBytes(int from, int to)
{
    bool kernelCopy = true;
    for (;;) {
        if (kernelCopy) {
            const ssize_t n = ::copy_file_range(from, nullptr, to, nullptr, size_t{1} << 30, 0);
            if (n > 0)
                continue;
            if (n == 0)
                return true;
            if (errno == EINTR)
                continue;
            if (errno != EXDEV && errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP && errno != EBADF)
                return false;
            kernelCopy = false;
        }
        char buffer[1 << 16];
        const ssize_t n = ::read(from, buffer, sizeof buffer);
        if (n == 0)
            return true;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (!writeAll(to, buffer, static_cast<size_t>(n)))
            return false;
    }
}

// Copies the regular file open as sourceFd to targetFolderFd/name (new file).
bool copyFileTo(int sourceFd, const struct stat& st, int targetFolderFd, const char* name,
                const std::string& shown, std::string* error)
{
    Fd target(::openat(targetFolderFd, name, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (!target.valid())
        return fail(error, "cannot create " + shown, errno);
    const auto abandon = [&](const std::string& what) {
        const int code = errno;
        ::unlinkat(targetFolderFd, name, 0);
        return fail(error, what, code);
    };
    if (!copyBytes(sourceFd, target.get()))
        return abandon("cannot copy into " + shown);
    if (::fchmod(target.get(), st.st_mode & 07777) != 0)
        return abandon("cannot set the mode of " + shown);
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    if (::futimens(target.get(), times) != 0)
        return abandon("cannot set the times of " + shown);
    if (::fsync(target.get()) != 0)
        return abandon("cannot flush " + shown);
    return true;
}

bool copyFolderContents(int sourceFd, int targetFd, const std::string& shownSource,
                        const std::string& shownTarget, std::string* error)
{
    std::vector<std::string> names;
    if (!listNames(sourceFd, names))
        return fail(error, "cannot read " + shownSource, errno);
    for (const std::string& child : names) {
        const std::string from = shownSource + "/" + child;
        const std::string to = shownTarget + "/" + child;
        struct stat st {};
        if (::fstatat(sourceFd, child.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
            return fail(error, "cannot examine " + from, errno);
        if (S_ISLNK(st.st_mode)) {
            std::string target(static_cast<size_t>(st.st_size > 0 ? st.st_size : 256) + 1, '\0');
            const ssize_t n = ::readlinkat(sourceFd, child.c_str(), target.data(), target.size());
            if (n < 0)
                return fail(error, "cannot read the link " + from, errno);
            target.resize(static_cast<size_t>(n));
            if (::symlinkat(target.c_str(), targetFd, child.c_str()) != 0)
                return fail(error, "cannot create the link " + to, errno);
        } else if (S_ISREG(st.st_mode)) {
            Fd file(::openat(sourceFd, child.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
            if (!file.valid())
                return fail(error, "cannot open " + from, errno);
            if (!copyFileTo(file.get(), st, targetFd, child.c_str(), to, error))
                return false;
        } else if (S_ISDIR(st.st_mode)) {
            Fd folder(::openat(sourceFd, child.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
            if (!folder.valid())
                return fail(error, "cannot open " + from, errno);
            if (::mkdirat(targetFd, child.c_str(), 0700) != 0)
                return fail(error, "cannot create " + to, errno);
            Fd copy(::openat(targetFd, child.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
            if (!copy.valid())
                return fail(error, "cannot open " + to, errno);
            if (!copyFolderContents(folder.get(), copy.get(), from, to, error))
                return false;
            const struct timespec times[2] = {st.st_atim, st.st_mtim};
            if (::fchmod(copy.get(), st.st_mode & 07777) != 0 || ::futimens(copy.get(), times) != 0)
                return fail(error, "cannot set the mode or times of " + to, errno);
        }
        // Devices, FIFOs and sockets are not files of the program: not copied.
    }
    return true;
}

} // namespace

bool removeHostTree(const std::filesystem::path& path, std::string* error)
{
    std::filesystem::path folder;
    std::string name;
    if (!splitLast(path, folder, name))
        return fail(error, "refusing to remove " + path.string(), EINVAL);
    Fd parent(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!parent.valid())
        return errno == ENOENT ? true : fail(error, "cannot open " + folder.string(), errno);
    return removeAt(parent.get(), name.c_str(), path.string(), false, error);
}

uint64_t hostDiskUsage(const std::filesystem::path& path)
{
    std::filesystem::path folder;
    std::string name;
    if (!splitLast(path, folder, name)) {
        folder = path;
        name = ".";
    }
    Fd parent(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!parent.valid())
        return 0;
    std::set<std::pair<dev_t, ino_t>> seen;
    return usageAt(parent.get(), name.c_str(), seen);
}

bool copyHostTree(const std::filesystem::path& source, const std::filesystem::path& target, std::string* error)
{
    std::filesystem::path targetFolder;
    std::string targetName;
    if (!splitLast(target, targetFolder, targetName))
        return fail(error, "cannot copy to " + target.string(), EINVAL);
    Fd targetParent(::open(targetFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!targetParent.valid())
        return fail(error, "cannot open " + targetFolder.string(), errno);

    Fd from(::open(source.c_str(), O_RDONLY | O_CLOEXEC));
    if (!from.valid())
        return fail(error, "cannot open " + source.string(), errno);
    struct stat st {};
    if (::fstat(from.get(), &st) != 0)
        return fail(error, "cannot examine " + source.string(), errno);

    if (S_ISREG(st.st_mode))
        return copyFileTo(from.get(), st, targetParent.get(), targetName.c_str(), target.string(), error);
    if (!S_ISDIR(st.st_mode))
        return fail(error, "cannot copy " + source.string(), EINVAL);

    if (::mkdirat(targetParent.get(), targetName.c_str(), 0700) != 0)
        return fail(error, "cannot create " + target.string(), errno);
    bool ok = false;
    {
        Fd copy(::openat(targetParent.get(), targetName.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (!copy.valid()) {
            fail(error, "cannot open " + target.string(), errno);
        } else if (copyFolderContents(from.get(), copy.get(), source.string(), target.string(), error)) {
            const struct timespec times[2] = {st.st_atim, st.st_mtim};
            ok = ::fchmod(copy.get(), st.st_mode & 07777) == 0 && ::futimens(copy.get(), times) == 0;
            if (!ok)
                fail(error, "cannot set the mode or times of " + target.string(), errno);
        }
    }
    if (!ok)
        removeHostTree(target);
    return ok;
}

} // namespace tw
