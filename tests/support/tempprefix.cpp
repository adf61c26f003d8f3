#include "support/tempprefix.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <stdexcept>
#include <unistd.h>

#include <gtest/gtest.h>

#include "common/machine/prefix.h"
#include "common/shell/hosttree.h"

namespace tw::test {

namespace fs = std::filesystem;

TempPrefix::TempPrefix()
{
    char pattern[] = "/tmp/tidewick-test-XXXXXX";
    if (!::mkdtemp(pattern))
        throw std::runtime_error(std::string("cannot create a temporary folder: ") + std::strerror(errno));
    // The canonical form, so that host paths compare equal whatever /tmp is.
    m_root = fs::canonical(pattern);
    m_home = m_root / "home";
    m_prefix = m_root / "prefix";
    fs::create_directories(m_home / ".local" / "share");

    for (const char* name : {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME"}) {
        const char* value = std::getenv(name);
        m_saved.push_back({name, value != nullptr, value ? value : ""});
    }
    ::setenv("HOME", m_home.c_str(), 1);
    ::setenv("XDG_DATA_HOME", (m_home / ".local" / "share").c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (m_home / ".config").c_str(), 1);

    std::string error;
    if (!EnsurePrefix(m_prefix, &error)) {
        cleanUp();
        throw std::runtime_error("cannot create the test prefix: " + error);
    }
    // Drive Z: would show the host's root to the test: drive C: only.
    fs::remove(m_prefix / "dosdevices" / "z:");
}

TempPrefix::~TempPrefix() { cleanUp(); }

void TempPrefix::cleanUp()
{
    m_env.reset();
    m_retired.clear();
    for (const SavedVariable& saved : m_saved) {
        if (saved.present)
            ::setenv(saved.name, saved.value.c_str(), 1);
        else
            ::unsetenv(saved.name);
    }
    std::string error;
    if (!removeHostTree(m_root, &error))
        ADD_FAILURE() << "the test folder was not removed completely: " << error;
}

Environment& TempPrefix::env()
{
    if (!m_env)
        m_env = std::make_unique<Environment>(m_prefix, Trash(homeTrash(), {m_root}));
    return *m_env;
}

void TempPrefix::reopen()
{
    if (m_env)
        m_retired.push_back(std::move(m_env));
}

fs::path TempPrefix::homeTrash() const { return m_home / ".local" / "share" / "Trash"; }

fs::path TempPrefix::addDrive(char letter, fs::path target)
{
    const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(letter)));
    if (target.empty())
        target = m_root / (std::string("drive_") + lower);
    fs::create_directories(target);
    const fs::path link = m_prefix / "dosdevices" / (std::string(1, lower) + ":");
    fs::remove(link);
    fs::create_symlink(target, link);
    reopen();
    return target;
}

void TempPrefix::useFixtureHives()
{
    for (const char* name : {"system.reg", "user.reg", "userdef.reg"})
        fs::copy_file(FixtureFolder() / name, m_prefix / name, fs::copy_options::overwrite_existing);
    reopen();
}

fs::path TempPrefix::host(std::string_view windowsPath)
{
    const std::optional<fs::path> path = env().fileSystem().hostPath(windowsPath);
    if (!path) {
        ADD_FAILURE() << "no host path for " << windowsPath;
        return {};
    }
    return *path;
}

fs::path TempPrefix::writeFile(std::string_view windowsPath, std::string_view bytes)
{
    const fs::path path = host(windowsPath);
    if (path.empty())
        return path;
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out)
        ADD_FAILURE() << "cannot write " << path;
    return path;
}

fs::path TempPrefix::makeFolder(std::string_view windowsPath)
{
    const fs::path path = host(windowsPath);
    if (!path.empty())
        fs::create_directories(path);
    return path;
}

fs::path FixtureFolder() { return fs::path(TIDEWICK_FIXTURE_DIR) / "wine-prefix"; }

} // namespace tw::test
