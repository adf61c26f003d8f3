#include "fstestfolder.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <stdexcept>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace tw::test {

namespace fs = std::filesystem;

FsTestFolder::FsTestFolder()
{
    char pattern[] = "/tmp/tidewick-fs-test-XXXXXX";
    if (!::mkdtemp(pattern))
        throw std::runtime_error(std::string("cannot create a temporary folder: ") + std::strerror(errno));
    m_root = fs::canonical(pattern);
    m_prefix = m_root / "prefix";
    fs::create_directories(m_prefix / "dosdevices");
    fs::create_directories(m_prefix / "drive_c");
    fs::create_directory_symlink("../drive_c", m_prefix / "dosdevices" / "c:");
    fs::create_directories(m_root / "home" / ".local" / "share");

    for (const char* name : {"HOME", "XDG_DATA_HOME"}) {
        const char* value = std::getenv(name);
        m_saved.push_back({name, value != nullptr, value ? value : ""});
    }
    ::setenv("HOME", (m_root / "home").c_str(), 1);
    ::setenv("XDG_DATA_HOME", (m_root / "home" / ".local" / "share").c_str(), 1);
    m_savedUmask = ::umask(022);
    m_fs = std::make_unique<FileSystem>(m_prefix);
}

FsTestFolder::~FsTestFolder()
{
    m_fs.reset();
    ::umask(m_savedUmask);
    for (const Saved& saved : m_saved) {
        if (saved.present)
            ::setenv(saved.name, saved.value.c_str(), 1);
        else
            ::unsetenv(saved.name);
    }
    // Folders a test made unreadable must be opened up again to be removed.
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(m_root, fs::directory_options::skip_permission_denied, error);
         !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
        if (it->is_directory(error) && !it->is_symlink(error))
            ::chmod(it->path().c_str(), 0755);
    }
    fs::remove_all(m_root, error);
    if (error)
        ADD_FAILURE() << "the test folder was not removed: " << error.message();
}

fs::path FsTestFolder::addDrive(char letter, fs::path target)
{
    const char lower = static_cast<char>(letter | 0x20);
    if (target.empty()) {
        target = m_root / (std::string("drive_") + lower);
        fs::create_directories(target);
    }
    const fs::path link = m_prefix / "dosdevices" / (std::string(1, lower) + ":");
    fs::remove(link);
    fs::create_directory_symlink(target, link);
    return target;
}

fs::path FsTestFolder::file(std::string_view relative, std::string_view bytes)
{
    const fs::path path = c() / relative;
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        ADD_FAILURE() << "cannot write " << path;
    return path;
}

fs::path FsTestFolder::folder(std::string_view relative)
{
    const fs::path path = c() / relative;
    fs::create_directories(path);
    return path;
}

fs::path FsTestFolder::link(std::string_view relative, const fs::path& target)
{
    const fs::path path = c() / relative;
    fs::create_directories(path.parent_path());
    fs::create_symlink(target, path);
    return path;
}

fs::path FsTestFolder::fifo(std::string_view relative)
{
    const fs::path path = c() / relative;
    fs::create_directories(path.parent_path());
    if (::mkfifo(path.c_str(), 0644) != 0)
        ADD_FAILURE() << "cannot make the FIFO " << path;
    return path;
}

std::optional<std::string> xattrOf(const fs::path& path, const char* name)
{
    char value[512];
    const ssize_t n = ::lgetxattr(path.c_str(), name, value, sizeof value);
    if (n < 0)
        return std::nullopt;
    return std::string(value, static_cast<size_t>(n));
}

void setXattr(const fs::path& path, const char* name, std::string_view value)
{
    if (::lsetxattr(path.c_str(), name, value.data(), value.size(), 0) != 0)
        ADD_FAILURE() << "cannot set " << name << " on " << path << ": " << std::strerror(errno);
}

std::vector<std::string> listNames(const FileSystem& fs, std::string_view pattern)
{
    FindData data;
    uint32_t error = 0;
    auto handle = fs.FindFirstFile(pattern, data, error);
    if (!handle)
        return {"<error " + std::to_string(error) + ">"};
    std::vector<std::string> names;
    do
        names.push_back(data.name);
    while (handle->next(data));
    if (handle->error() != WinError::NoMoreFiles)
        names.push_back("<end " + std::to_string(handle->error()) + ">");
    return names;
}

FindData findEntry(const FileSystem& fs, std::string_view folder, std::string_view name)
{
    FindData data;
    uint32_t error = 0;
    auto handle = fs.FindFirstFile(std::string(folder) + "\\*", data, error);
    if (handle) {
        do
            if (data.name == name)
                return data;
        while (handle->next(data));
    }
    return {};
}

} // namespace tw::test
