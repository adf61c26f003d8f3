#include "common/fs/dosdevices.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace tw {
namespace {

char upper(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

char lower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

} // namespace

DosDevices::DosDevices(std::string dosdevicesFolder)
    : m_folder(std::move(dosdevicesFolder))
{
}

std::optional<std::string> DosDevices::root(char letter) const
{
    if (!isLetter(letter))
        return std::nullopt;
    // Wine names the links in lower case; an upper-case link is accepted too.
    for (const char c : {lower(letter), upper(letter)}) {
        const std::string link = m_folder + "/" + c + ":";
        char target[PATH_MAX];
        const ssize_t n = ::readlink(link.c_str(), target, sizeof target - 1);
        std::string path;
        if (n >= 0) {
            path.assign(target, static_cast<size_t>(n));
            if (path.empty())
                continue;
            if (path.front() != '/')
                path = m_folder + "/" + path;
        } else {
            // A real folder in dosdevices works as a drive as well.
            struct stat st {};
            if (errno != EINVAL || ::lstat(link.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
                continue;
            path = link;
        }
        std::string normal = std::filesystem::path(path).lexically_normal().string();
        while (normal.size() > 1 && normal.back() == '/')
            normal.pop_back();
        return normal;
    }
    return std::nullopt;
}

std::optional<std::string> DosDevices::canonicalRoot(char letter) const
{
    const auto path = root(letter);
    if (!path)
        return std::nullopt;
    char resolved[PATH_MAX];
    if (!::realpath(path->c_str(), resolved))
        return std::nullopt;
    return std::string(resolved);
}

std::vector<char> DosDevices::letters() const
{
    std::vector<char> result;
    for (char c = 'A'; c <= 'Z'; ++c) {
        const auto path = root(c);
        struct stat st {};
        if (path && ::stat(path->c_str(), &st) == 0 && S_ISDIR(st.st_mode))
            result.push_back(c);
    }
    return result;
}

char rootDriveLetter(std::string_view root)
{
    if (root.size() < 2 || root.size() > 3 || !isLetter(root[0]) || root[1] != ':')
        return 0;
    if (root.size() == 3 && root[2] != '\\' && root[2] != '/')
        return 0;
    return upper(root[0]);
}

} // namespace tw
