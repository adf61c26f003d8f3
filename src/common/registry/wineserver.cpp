#include "common/registry/wineserver.h"

#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace tw {
namespace {

bool isLockHeld(const std::filesystem::path& lockFile)
{
    const int fd = ::open(lockFile.c_str(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0)
        return false;
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = 0;
    lock.l_len = 1;
    const bool held = ::fcntl(fd, F_GETLK, &lock) == 0 && lock.l_type != F_UNLCK;
    ::close(fd);
    return held;
}

// The "/tmp/wine-XXXXXX" folders of this user (Debian's place for server folders).
std::vector<std::filesystem::path> userWineFolders(const std::filesystem::path& tmpFolder)
{
    std::vector<std::filesystem::path> folders;
    DIR* dir = ::opendir(tmpFolder.c_str());
    if (!dir)
        return folders;
    const uid_t uid = ::getuid();
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.rfind("wine-", 0) != 0)
            continue;
        const std::filesystem::path folder = tmpFolder / name;
        struct stat st {};
        if (::lstat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == uid)
            folders.push_back(folder);
    }
    ::closedir(dir);
    return folders;
}

} // namespace

std::optional<std::filesystem::path> findRunningWineServer(const std::filesystem::path& prefixFolder,
    const std::filesystem::path& tmpFolder)
{
    struct stat st {};
    if (::stat(prefixFolder.c_str(), &st) != 0)
        return std::nullopt;
    char serverName[64];
    std::snprintf(serverName, sizeof serverName, "server-%llx-%llx", static_cast<unsigned long long>(st.st_dev),
        static_cast<unsigned long long>(st.st_ino));

    std::vector<std::filesystem::path> folders{tmpFolder / (".wine-" + std::to_string(::getuid()))};
    for (auto& folder : userWineFolders(tmpFolder))
        folders.push_back(std::move(folder));
    for (const auto& folder : folders) {
        const std::filesystem::path lock = folder / serverName / "lock";
        if (isLockHeld(lock))
            return lock;
    }
    return std::nullopt;
}

} // namespace tw
