#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <unistd.h>

#include "common/machine/prefix.h"
#include "common/shell/hosttree.h"

// The temporary machine of one benchmark run: a scratch folder with its own HOME,
// XDG_DATA_HOME and XDG_CONFIG_HOME, and a prefix whose drive D: is the measured
// host folder, so a run touches neither the real home nor a real prefix. At the
// end the drive link goes first, as a link, so that nothing below can reach the
// measured folder; then the scratch folder is removed.
class BenchPrefix {
public:
    // DrivesOnly: just dosdevices/d:; Full: Wine's skeleton with C: and D: (no Z:).
    enum class Skeleton { DrivesOnly, Full };

    BenchPrefix(const std::filesystem::path& measured, Skeleton skeleton)
    {
        namespace fs = std::filesystem;
        std::string pattern = (fs::temp_directory_path() / "tidewick-bench-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) {
            std::perror("mkdtemp");
            std::exit(2);
        }
        m_root = fs::canonical(pattern);
        const fs::path home = m_root / "home";
        fs::create_directories(home / ".local" / "share");
        ::setenv("HOME", home.c_str(), 1);
        ::setenv("XDG_DATA_HOME", (home / ".local" / "share").c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (home / ".config").c_str(), 1);
        ::unsetenv("WINEPREFIX");

        m_prefix = m_root / "prefix";
        std::error_code error;
        if (skeleton == Skeleton::Full) {
            std::string failure;
            if (!tw::EnsurePrefix(m_prefix, &failure)) {
                std::fprintf(stderr, "cannot create the prefix: %s\n", failure.c_str());
                std::exit(1);
            }
            fs::remove(m_prefix / "dosdevices" / "z:", error);
        } else {
            fs::create_directories(m_prefix / "dosdevices");
        }
        fs::create_directory_symlink(measured, m_prefix / "dosdevices" / "d:");
    }

    ~BenchPrefix()
    {
        std::error_code ignored;
        std::filesystem::remove(m_prefix / "dosdevices" / "d:", ignored);
        std::string error;
        if (!tw::removeHostTree(m_root, &error))
            std::fprintf(stderr, "could not remove %s: %s\n", m_root.c_str(), error.c_str());
    }

    BenchPrefix(const BenchPrefix&) = delete;
    BenchPrefix& operator=(const BenchPrefix&) = delete;

    const std::filesystem::path& prefix() const { return m_prefix; }

private:
    std::filesystem::path m_root;
    std::filesystem::path m_prefix;
};
