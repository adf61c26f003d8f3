#include "common/shell/trash.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <map>
#include <random>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

#include "common/base/atomicfile.h"
#include "common/base/text.h"
#include "common/fs/mountinfo.h"
#include "common/shell/hosttree.h"

namespace tw {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view infoSuffix = ".trashinfo";
// Longest name of an item in files/, so that its info file name still fits NAME_MAX.
constexpr size_t maxItemName = 255 - infoSuffix.size();

bool fail(std::string* error, const std::string& text)
{
    if (error)
        *error = text;
    return false;
}

bool failErrno(std::string* error, const std::string& text, int code)
{
    return fail(error, text + ": " + std::strerror(code));
}

// RFC 2396 escaping of the raw name bytes: every byte but A-Z a-z 0-9 - . _ ~ /.
std::string percentEncode(std::string_view bytes)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : bytes) {
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')
            || c == '-' || c == '.' || c == '_' || c == '~' || c == '/';
        if (plain) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 0xf];
        }
    }
    return out;
}

std::optional<std::string> percentDecode(std::string_view text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size())
            return std::nullopt;
        const int high = hexDigitValue(text[i + 1]);
        const int low = hexDigitValue(text[i + 2]);
        if (high < 0 || low < 0)
            return std::nullopt;
        out += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return out;
}

std::string deletionDate()
{
    const time_t now = ::time(nullptr);
    tm local {};
    ::localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
    return text;
}

// A name that can stand for an entry of files/: never one that leaves the folder.
bool isItemName(std::string_view name)
{
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos;
}

// The names of a folder's entries; empty when it cannot be read.
std::vector<std::string> entryNames(const fs::path& folder)
{
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        names.push_back(it->path().filename().string());
    return names;
}

// The item names of info/X.trashinfo files (regular files only).
std::vector<std::string> infoNames(const fs::path& trash)
{
    std::vector<std::string> items;
    for (const std::string& name : entryNames(trash / "info")) {
        if (name.size() <= infoSuffix.size() || name.compare(name.size() - infoSuffix.size(), infoSuffix.size(), infoSuffix) != 0)
            continue;
        const std::string item = name.substr(0, name.size() - infoSuffix.size());
        struct stat st {};
        if (isItemName(item) && ::lstat((trash / "info" / name).c_str(), &st) == 0 && S_ISREG(st.st_mode))
            items.push_back(item);
    }
    return items;
}

// A folder of ours that is not a link.
bool isOwnRealFolder(const fs::path& folder)
{
    struct stat st {};
    return ::lstat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid();
}

// Creates a private folder when it is missing; true when it is (now) one of ours.
bool makePrivateFolder(const fs::path& folder)
{
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return false;
    return isOwnRealFolder(folder);
}

bool makeTrashFolders(const fs::path& trash)
{
    return makePrivateFolder(trash) && makePrivateFolder(trash / "files") && makePrivateFolder(trash / "info");
}

std::string uidText() { return std::to_string(::geteuid()); }

// $topdir/.Trash/$uid when $topdir/.Trash is a real folder with the sticky bit.
std::optional<fs::path> adminTrash(const fs::path& topdir)
{
    struct stat st {};
    const fs::path shared = topdir / ".Trash";
    if (::lstat(shared.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || !(st.st_mode & S_ISVTX))
        return std::nullopt;
    return shared / uidText();
}

fs::path userTrash(const fs::path& topdir) { return topdir / (".Trash-" + uidText()); }

// Mount points of real file systems; the kernel's virtual ones never hold a trash.
std::vector<fs::path> systemMountPoints()
{
    std::vector<fs::path> points;
    for (const MountEntry& mount : readMountInfo()) {
        if (!isVirtualFileSystemType(mount.fsType))
            points.emplace_back(mount.mountPoint);
    }
    if (points.empty())
        points.emplace_back("/");
    return points;
}

// The mount point (of the given ones) whose folder holds path: the longest prefix.
std::optional<fs::path> mountOf(const fs::path& canonicalPath, const std::vector<fs::path>& mounts)
{
    std::optional<fs::path> best;
    size_t bestLength = 0;
    const std::string path = canonicalPath.string();
    for (const fs::path& mount : mounts) {
        std::string point = mount.lexically_normal().string();
        while (point.size() > 1 && point.back() == '/')
            point.pop_back();
        const bool holds = path == point || (point == "/" ? !path.empty() && path[0] == '/'
                                                         : path.compare(0, point.size() + 1, point + "/") == 0);
        if (holds && (!best || point.size() > bestLength)) {
            best = fs::path(point);
            bestLength = point.size();
        }
    }
    return best;
}

// The canonical form of the nearest existing folder at or above path.
fs::path nearestExisting(fs::path path)
{
    std::error_code ec;
    path = fs::absolute(path, ec).lexically_normal();
    while (!fs::exists(path, ec) && path.has_parent_path() && path != path.parent_path())
        path = path.parent_path();
    fs::path canonical = fs::canonical(path, ec);
    return ec ? path : canonical;
}

// --- directorysizes ---

struct DirectorySize {
    uint64_t size = 0;
    int64_t mtime = 0;
    bool operator==(const DirectorySize&) const = default;
};
using DirectorySizes = std::map<std::string, DirectorySize>;

DirectorySizes readDirectorySizes(const fs::path& trash, bool* present = nullptr)
{
    DirectorySizes sizes;
    std::string bytes;
    const bool found = readWholeFile(trash / "directorysizes", bytes);
    if (present)
        *present = found;
    for (const std::string& line : splitLines(bytes)) {
        const size_t first = line.find(' ');
        const size_t second = first == std::string::npos ? first : line.find(' ', first + 1);
        if (second == std::string::npos)
            continue;
        int64_t size = 0;
        int64_t mtime = 0;
        const std::optional<std::string> name = percentDecode(std::string_view(line).substr(second + 1));
        if (!parseInt64(std::string_view(line).substr(0, first), size) || size < 0
            || !parseInt64(std::string_view(line).substr(first + 1, second - first - 1), mtime) || !name
            || !isItemName(*name))
            continue;
        sizes[*name] = {static_cast<uint64_t>(size), mtime};
    }
    return sizes;
}

bool writeDirectorySizes(const fs::path& trash, const DirectorySizes& sizes)
{
    std::string text;
    for (const auto& [name, entry] : sizes)
        text += std::to_string(entry.size) + " " + std::to_string(entry.mtime) + " " + percentEncode(name) + "\n";
    return writeFileAtomically(trash / "directorysizes", text);
}

int64_t modificationTime(const fs::path& file)
{
    struct stat st {};
    return ::stat(file.c_str(), &st) == 0 ? static_cast<int64_t>(st.st_mtime) : 0;
}

fs::path infoFile(const fs::path& trash, const std::string& item)
{
    return trash / "info" / (item + std::string(infoSuffix));
}

// Cuts a name to at most size bytes without splitting a UTF-8 sequence.
std::string cutName(const std::string& name, size_t size)
{
    if (name.size() <= size)
        return name;
    size_t end = size;
    while (end > 0 && (static_cast<unsigned char>(name[end]) & 0xc0) == 0x80)
        --end;
    return name.substr(0, end);
}

// What tells the attempt-th name for an item apart: nothing, then "_1", "_2", ...
// as trash-cli names them, then a random number, so that trashing the thousandth
// "Thumbs.db" does not first try every name taken before it.
std::string collisionSuffix(unsigned attempt)
{
    constexpr unsigned numbered = 100;
    if (attempt == 0)
        return {};
    if (attempt < numbered)
        return "_" + std::to_string(attempt);
    static std::mt19937_64 random{std::random_device{}()};
    char text[24];
    std::snprintf(text, sizeof text, "_%016llx", static_cast<unsigned long long>(random()));
    return text;
}

enum class MoveResult { Done, Failed, OtherFileSystem };

// Moves the item into one trash folder: info file first, then the rename.
MoveResult moveInto(const fs::path& trash, const fs::path& item, bool isFolder, std::string* error)
{
    const std::string name = item.filename().string();
    const std::string info = "[Trash Info]\nPath=" + percentEncode(item.string()) + "\nDeletionDate=" + deletionDate() + "\n";
    for (unsigned attempt = 0; attempt < 10000; ++attempt) {
        const std::string suffix = collisionSuffix(attempt);
        const std::string candidate = cutName(name, maxItemName - suffix.size()) + suffix;
        if (!isItemName(candidate))
            continue;
        const fs::path target = trash / "files" / candidate;
        const fs::path infoPath = infoFile(trash, candidate);
        struct stat st {};
        if (::lstat(target.c_str(), &st) == 0)
            continue;
        const int fd = ::open(infoPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            failErrno(error, "cannot create " + infoPath.string(), errno);
            return MoveResult::Failed;
        }
        const bool written = ::write(fd, info.data(), info.size()) == static_cast<ssize_t>(info.size()) && ::fsync(fd) == 0;
        const int writeError = errno;
        ::close(fd);
        if (!written) {
            ::unlink(infoPath.c_str());
            failErrno(error, "cannot write " + infoPath.string(), writeError);
            return MoveResult::Failed;
        }
        // Never replace an entry that appeared in files/ meanwhile.
        int moved = ::renameat2(AT_FDCWD, item.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE);
        if (moved != 0 && (errno == EINVAL || errno == ENOSYS) && ::lstat(target.c_str(), &st) != 0)
            moved = ::rename(item.c_str(), target.c_str());
        if (moved != 0) {
            const int code = errno;
            ::unlink(infoPath.c_str());
            if (code == EEXIST)
                continue;
            failErrno(error, "cannot move " + item.string() + " to " + target.string(), code);
            return code == EXDEV ? MoveResult::OtherFileSystem : MoveResult::Failed;
        }
        if (isFolder) {
            DirectorySizes sizes = readDirectorySizes(trash);
            sizes[candidate] = {hostDiskUsage(target), modificationTime(infoPath)};
            writeDirectorySizes(trash, sizes);
        }
        return MoveResult::Done;
    }
    fail(error, "no free name for " + name + " in " + trash.string());
    return MoveResult::Failed;
}

} // namespace

Trash::Trash(fs::path homeTrash) : m_homeTrash(std::move(homeTrash)) {}

Trash::Trash(fs::path homeTrash, std::vector<fs::path> mountPoints)
    : m_homeTrash(std::move(homeTrash)), m_mountPoints(std::move(mountPoints))
{
}

fs::path Trash::homeTrashFolder()
{
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome && dataHome[0] == '/')
        return fs::path(dataHome) / "Trash";
    const char* home = std::getenv("HOME");
    return fs::path(home && home[0] ? home : "/") / ".local" / "share" / "Trash";
}

bool Trash::put(const fs::path& given, std::string* error)
{
    std::error_code ec;
    fs::path item = fs::absolute(given, ec);
    if (ec)
        return fail(error, "cannot locate " + given.string());
    while (!item.has_filename() && item.has_relative_path())
        item = item.parent_path();
    const std::string name = item.filename().string();
    if (name.empty() || name == "." || name == "..")
        return fail(error, "refusing to trash " + given.string());
    // The folder is followed, the item itself is not: a link is trashed as a link.
    const fs::path folder = fs::canonical(item.parent_path(), ec);
    if (ec)
        return fail(error, "cannot locate the folder of " + given.string() + ": " + ec.message());
    item = folder / name;

    struct stat st {};
    struct stat folderStat {};
    if (::lstat(item.c_str(), &st) != 0)
        return failErrno(error, "cannot trash " + item.string(), errno);
    if (::stat(folder.c_str(), &folderStat) != 0)
        return failErrno(error, "cannot examine " + folder.string(), errno);
    const bool isFolder = S_ISDIR(st.st_mode);
    if (isFolder && st.st_dev != folderStat.st_dev)
        return fail(error, "refusing to trash the mount point " + item.string());

    const std::vector<fs::path> mounts = m_mountPoints ? *m_mountPoints : systemMountPoints();
    const std::optional<fs::path> itemMount = mountOf(folder, mounts);
    if (!itemMount)
        return fail(error, "no trash for " + item.string() + ": it lies outside the known file systems");
    const std::optional<fs::path> homeMount = mountOf(nearestExisting(m_homeTrash), mounts);

    // The home trash for its own file system; else (or when the rename finds the
    // two on different devices after all) the trash at the top of the item's mount.
    std::vector<fs::path> candidates;
    if (homeMount && *homeMount == *itemMount)
        candidates.push_back(m_homeTrash);
    struct stat adminStat {};
    if (std::optional<fs::path> admin = adminTrash(*itemMount);
        admin && (isOwnRealFolder(*admin) || ::lstat(admin->c_str(), &adminStat) != 0))
        candidates.push_back(*admin);
    else
        candidates.push_back(userTrash(*itemMount));

    std::string lastError;
    for (const fs::path& trash : candidates) {
        if (trash == m_homeTrash)
            fs::create_directories(m_homeTrash.parent_path(), ec);
        if (!makeTrashFolders(trash))
            return fail(error, "cannot use the trash folder " + trash.string());
        switch (moveInto(trash, item, isFolder, &lastError)) {
        case MoveResult::Done:
            return true;
        case MoveResult::Failed:
            return fail(error, lastError);
        case MoveResult::OtherFileSystem:
            break;
        }
    }
    return fail(error, lastError);
}

std::vector<fs::path> Trash::trashFolders() const
{
    std::vector<fs::path> folders;
    std::set<fs::path> seen;
    const auto add = [&](const fs::path& folder) {
        std::error_code ec;
        const fs::path canonical = fs::canonical(folder, ec);
        if (!ec && fs::is_directory(canonical / "files", ec) && seen.insert(canonical).second)
            folders.push_back(folder);
    };
    add(m_homeTrash);
    for (const fs::path& mount : m_mountPoints ? *m_mountPoints : systemMountPoints()) {
        if (std::optional<fs::path> admin = adminTrash(mount); admin && isOwnRealFolder(*admin))
            add(*admin);
        if (const fs::path own = userTrash(mount); isOwnRealFolder(own))
            add(own);
    }
    return folders;
}

Trash::Usage Trash::usage() const
{
    Usage total;
    for (const fs::path& trash : trashFolders()) {
        const DirectorySizes cached = readDirectorySizes(trash);
        DirectorySizes current;
        for (const std::string& item : infoNames(trash)) {
            const fs::path entry = trash / "files" / item;
            struct stat st {};
            if (::lstat(entry.c_str(), &st) != 0)
                continue;
            ++total.items;
            if (!S_ISDIR(st.st_mode)) {
                total.size += static_cast<uint64_t>(st.st_size);
                continue;
            }
            const int64_t mtime = modificationTime(infoFile(trash, item));
            const auto hit = cached.find(item);
            const DirectorySize size = hit != cached.end() && hit->second.mtime == mtime
                ? hit->second
                : DirectorySize{hostDiskUsage(entry), mtime};
            current[item] = size;
            total.size += size.size;
        }
        if (current != cached)
            writeDirectorySizes(trash, current);
    }
    return total;
}

uint64_t Trash::totalSize() const { return usage().size; }

uint64_t Trash::itemCount() const { return usage().items; }

bool Trash::empty()
{
    bool ok = true;
    for (const fs::path& trash : trashFolders()) {
        std::set<std::string> kept;
        for (const std::string& item : infoNames(trash)) {
            // The item first: an info file without its item is harmless, an item
            // without its info file could no longer be restored.
            if (removeHostTree(trash / "files" / item) && ::unlink(infoFile(trash, item).c_str()) == 0) {
                continue;
            }
            kept.insert(item);
            ok = false;
        }
        // Strays: entries of files/ that no info file describes.
        for (const std::string& name : entryNames(trash / "files")) {
            if (!isItemName(name) || kept.count(name))
                continue;
            if (!removeHostTree(trash / "files" / name))
                ok = false;
        }
        bool cachePresent = false;
        DirectorySizes sizes = readDirectorySizes(trash, &cachePresent);
        if (cachePresent) {
            std::erase_if(sizes, [&](const auto& entry) { return !kept.count(entry.first); });
            if (!writeDirectorySizes(trash, sizes))
                ok = false;
        }
    }
    return ok;
}

} // namespace tw
