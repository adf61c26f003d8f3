#include "common/shell/shell.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <random>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "common/base/text.h"
#include "common/base/winpath.h"
#include "common/fs/filesystem.h"
#include "common/registry/registry.h"
#include "common/shell/hosttree.h"
#include "common/shell/registrytext.h"
#include "common/shell/windowsenvironment.h"

extern char** environ;

namespace tw {
namespace {

namespace fs = std::filesystem;
using namespace ShellOp;

constexpr std::string_view shellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr std::string_view userShellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

int codeForErrno(int code)
{
    switch (code) {
    case 0:
        return ShellError::Unknown;
    case ENOENT:
        return ShellError::FileNotFound;
    case ENOTDIR:
        return ShellError::PathNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
    case EBUSY:
    case ETXTBSY:
        return ShellError::AccessDenied;
    case ENOSPC:
    case EDQUOT:
        return ShellError::DiskFull;
    case EEXIST:
    case ENOTEMPTY:
        return ShellError::AlreadyExists;
    default:
        return ShellError::Unknown;
    }
}

// The paths of a double-NUL-terminated list (a text without NULs is one path).
std::vector<std::string_view> pathList(std::string_view from)
{
    std::vector<std::string_view> paths;
    size_t start = 0;
    while (start < from.size()) {
        const size_t end = std::min(from.find('\0', start), from.size());
        if (end == start)
            break; // the empty entry ends the list
        paths.push_back(from.substr(start, end - start));
        start = end + 1;
    }
    return paths;
}

// A source entry as the program sees it: a regular file or a folder, possibly
// reached through a link (which is then what gets moved or deleted).
struct Source {
    fs::path host;
    struct stat own {};   // lstat: the entry itself
    bool isFolder = false; // what it points to is a folder
    bool isLink = false;
};

int resolveSource(const FileSystem& fileSystem, std::string_view windowsPath, Source& source)
{
    const std::optional<fs::path> host = fileSystem.hostPath(windowsPath);
    if (!host)
        return ShellError::FileNotFound;
    source.host = host->lexically_normal();
    while (!source.host.has_filename() && source.host.has_relative_path())
        source.host = source.host.parent_path();
    if (::lstat(source.host.c_str(), &source.own) != 0)
        return errno == EACCES ? ShellError::AccessDenied : ShellError::FileNotFound;
    struct stat target = source.own;
    source.isLink = S_ISLNK(source.own.st_mode);
    // A dangling link, a device, a FIFO or a socket is not a file of the program.
    if (source.isLink && ::stat(source.host.c_str(), &target) != 0)
        return ShellError::FileNotFound;
    if (!S_ISREG(target.st_mode) && !S_ISDIR(target.st_mode))
        return ShellError::FileNotFound;
    source.isFolder = S_ISDIR(target.st_mode);

    // Never a drive root, whatever path leads to it.
    const char letter = DriveLetter(windowsPath);
    const std::optional<fs::path> root = letter ? fileSystem.hostPath(std::string(1, letter) + ":\\") : std::nullopt;
    fs::path rootPath = root ? root->lexically_normal() : fs::path();
    while (!rootPath.empty() && !rootPath.has_filename() && rootPath.has_relative_path())
        rootPath = rootPath.parent_path();
    if (source.host == "/" || !source.host.has_filename() || (root && source.host == rootPath))
        return ShellError::RootFolder;
    return 0;
}

// A fresh name for a temporary entry beside target, hidden and unlikely to clash.
fs::path temporaryBeside(const fs::path& target)
{
    static std::mt19937_64 random{std::random_device{}()};
    char suffix[24];
    std::snprintf(suffix, sizeof suffix, "%016llx", static_cast<unsigned long long>(random()));
    return target.parent_path() / (".tidewick-" + std::string(suffix) + ".tmp");
}

// Renames over a file target; a folder is renamed only to a name still free.
int renameInto(const fs::path& from, const fs::path& to, bool folder)
{
    const int result = folder ? ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE)
                              : ::rename(from.c_str(), to.c_str());
    if (result == 0)
        return 0;
    if (folder && (errno == EINVAL || errno == ENOSYS)) {
        struct stat st {};
        if (::lstat(to.c_str(), &st) == 0)
            return ShellError::AlreadyExists;
        if (::rename(from.c_str(), to.c_str()) == 0)
            return 0;
    }
    return -errno;
}

// Makes a copy of the source (a link as a link when asLink) at a temporary name
// beside target, then renames it over target. Nothing is left behind on failure.
int copyOver(const Source& source, const fs::path& target, bool asLink)
{
    const fs::path temp = temporaryBeside(target);
    if (asLink) {
        std::error_code ec;
        const fs::path linkTarget = fs::read_symlink(source.host, ec);
        if (ec)
            return codeForErrno(ec.value());
        if (::symlink(linkTarget.c_str(), temp.c_str()) != 0)
            return codeForErrno(errno);
    } else if (!copyHostTree(source.host, temp)) {
        const int code = errno;
        return codeForErrno(code);
    }
    const int renamed = renameInto(temp, target, source.isFolder && !asLink);
    if (renamed != 0) {
        removeHostTree(temp);
        return renamed < 0 ? codeForErrno(-renamed) : renamed;
    }
    return 0;
}

} // namespace

Shell::Shell(FileSystem& fileSystem, Registry& registry, Trash trash)
    : m_fileSystem(fileSystem), m_registry(registry), m_trash(std::move(trash))
{
}

Shell::~Shell() = default;

int Shell::SHFileOperation(FileOperation& operation)
{
    operation.anyOperationsAborted = false;
    if (operation.function != FO_DELETE && operation.function != FO_MOVE && operation.function != FO_COPY)
        return ShellError::InvalidParameter;
    const std::vector<std::string_view> sources = pathList(operation.from);
    if (sources.empty())
        return ShellError::InvalidFiles;
    const std::string_view destination = pathList(operation.to).empty() ? std::string_view() : pathList(operation.to)[0];
    for (std::string_view source : sources) {
        const int result = operation.function == FO_DELETE
            ? deleteOne(source, operation.flags)
            : transferOne(source, destination, operation.flags, operation.function == FO_MOVE);
        if (result != 0)
            return result;
    }
    return 0;
}

int Shell::deleteOne(std::string_view path, uint16_t flags)
{
    Source source;
    if (const int resolved = resolveSource(m_fileSystem, path, source); resolved != 0)
        return resolved;
    if ((flags & FOF_FILESONLY) && source.isFolder)
        return ShellError::InvalidFiles;
    if (flags & FOF_ALLOWUNDO)
        return m_trash.put(source.host) ? 0 : ShellError::AccessDenied;
    // For good: a link goes as a link, a folder with everything below it.
    if (S_ISDIR(source.own.st_mode)) {
        if (!removeHostTree(source.host))
            return codeForErrno(errno == 0 ? EACCES : errno);
        return 0;
    }
    return ::unlink(source.host.c_str()) == 0 ? 0 : codeForErrno(errno);
}

int Shell::transferOne(std::string_view path, std::string_view destination, uint16_t flags, bool move)
{
    Source source;
    if (const int resolved = resolveSource(m_fileSystem, path, source); resolved != 0)
        return resolved;
    if ((flags & FOF_FILESONLY) && source.isFolder)
        return ShellError::InvalidFiles;
    // An empty or missing destination is refused: taking it as the new name of the
    // file would send every later file onto the same name.
    if (trim(destination).empty())
        return ShellError::InvalidFiles;
    const std::optional<fs::path> folder = m_fileSystem.hostPath(destination);
    struct stat folderStat {};
    if (!folder || ::stat(folder->c_str(), &folderStat) != 0 || !S_ISDIR(folderStat.st_mode))
        return ShellError::PathNotFound;

    // The target is found the way Windows finds it: an existing entry whose name
    // differs only in case is the one replaced.
    const std::string name = source.host.filename().string();
    fs::path target = m_fileSystem.hostPath(IncludeTrailingBackslash(destination) + name).value_or(*folder / name);
    target = target.lexically_normal();

    struct stat targetOwn {};
    const bool targetExists = ::lstat(target.c_str(), &targetOwn) == 0;
    if (targetExists && targetOwn.st_dev == source.own.st_dev && targetOwn.st_ino == source.own.st_ino)
        return ShellError::SameFile;
    // A link whose target is the entry it would replace: the move would put the
    // link over the only copy of the data.
    struct stat sourceTarget {};
    if (targetExists && source.isLink && ::stat(source.host.c_str(), &sourceTarget) == 0
        && targetOwn.st_dev == sourceTarget.st_dev && targetOwn.st_ino == sourceTarget.st_ino)
        return ShellError::SameFile;
    std::error_code ec;
    if (source.isFolder) {
        const std::string from = fs::canonical(source.host, ec).string();
        const std::string into = fs::canonical(*folder, ec).string();
        if (!ec && (into == from || into.compare(0, from.size() + 1, from + "/") == 0))
            return ShellError::DestinationSubtree;
    }
    if (targetExists) {
        struct stat targetStat {};
        const bool targetIsFolder = ::stat(target.c_str(), &targetStat) == 0 && S_ISDIR(targetStat.st_mode);
        if (source.isFolder)
            return targetIsFolder ? ShellError::AlreadyExists : ShellError::FolderOntoFile;
        if (targetIsFolder)
            return ShellError::FileOntoFolder;
    }

    if (!move)
        return copyOver(source, target, false);

    const int renamed = renameInto(source.host, target, S_ISDIR(source.own.st_mode));
    if (renamed >= 0)
        return renamed;
    if (-renamed != EXDEV)
        return codeForErrno(-renamed);
    // Another file system: a copy beside the target, renamed over it, then the
    // source removed. A source that cannot be removed fails the move (the copy stays).
    if (const int copied = copyOver(source, target, source.isLink); copied != 0)
        return copied;
    const bool removed = S_ISDIR(source.own.st_mode) ? removeHostTree(source.host) : ::unlink(source.host.c_str()) == 0;
    return removed ? 0 : ShellError::AccessDenied;
}

Shell::RecycleBinInfo Shell::SHQueryRecycleBin() const
{
    const Trash::Usage usage = m_trash.usage();
    return {usage.size, usage.items};
}

bool Shell::SHEmptyRecycleBin(const std::function<bool()>& confirm)
{
    bool hasContent = m_trash.usage().items > 0;
    if (!hasContent) {
        // Entries without an info file are not items, but they are still trash.
        for (const fs::path& folder : m_trash.trashFolders()) {
            std::error_code ec;
            if (fs::directory_iterator(folder / "files", ec) != fs::directory_iterator())
                hasContent = true;
        }
    }
    if (!hasContent)
        return true;
    if (confirm && !confirm())
        return false;
    return m_trash.empty();
}

std::string Shell::SpecialFolderPath(int csidl) const
{
    RegRoot root = RegRoot::CurrentUser;
    std::string_view value;
    switch (csidl) {
    case Csidl::Desktop: value = "Desktop"; break;
    case Csidl::StartUp: value = "StartUp"; break;
    case Csidl::Recent: value = "Recent"; break;
    case Csidl::CommonStartUp: value = "Common Startup"; root = RegRoot::LocalMachine; break;
    default: return {};
    }
    std::string path;
    if (const std::optional<RegistryText> text = readRegistryText(m_registry, root, shellFolders, value)) {
        path = text->expandable ? WindowsEnvironment::load(m_registry).expand(text->text) : text->text;
    } else if (const std::optional<RegistryText> user = readRegistryText(m_registry, root, userShellFolders, value)) {
        // Windows keeps "Shell Folders" as a copy of these; a prefix without the copy still has them.
        path = WindowsEnvironment::load(m_registry).expand(user->text);
    }
    if (path.empty())
        return {};
    return ExcludeTrailingBackslash(path);
}

std::string Shell::GetWindowsDirectory() const { return "C:\\windows"; }

std::optional<std::string> Shell::GetEnvironmentVariable(std::string_view name) const
{
    return WindowsEnvironment::load(m_registry).get(name);
}

std::string Shell::FileVersion() { return TIDEWICK_FILE_VERSION; }

bool Shell::ShellExecuteOpen(std::string_view windowsPath) const
{
    const std::optional<fs::path> host = m_fileSystem.hostPath(windowsPath);
    struct stat st {};
    if (!host || ::stat(host->c_str(), &st) != 0)
        return false;

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // The document viewer gets none of our descriptors beyond the standard three.
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);
    const std::string file = host->string();
    char program[] = "xdg-open";
    std::vector<char*> argv = {program, const_cast<char*>(file.c_str()), nullptr};
    pid_t pid = 0;
    const int spawned = ::posix_spawnp(&pid, program, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return false;
    // Nobody waits for the viewer; a detached thread reaps it so no zombie stays.
    std::thread([pid] {
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
    return true;
}

} // namespace tw
