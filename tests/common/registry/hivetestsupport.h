#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "common/base/atomicfile.h"

namespace tw::test {

// A temporary folder for one test, removed with its contents at the end.
class ScratchFolder {
public:
    ScratchFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "tidewick-registry-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            throw std::runtime_error("cannot create a temporary folder");
        m_path = pattern;
    }
    ~ScratchFolder()
    {
        std::error_code error;
        // Give back write rights a test took away, so everything can be removed.
        std::filesystem::permissions(m_path, std::filesystem::perms::owner_all, std::filesystem::perm_options::add,
            error);
        std::filesystem::remove_all(m_path, error);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

// The registry files written by a real Wine (never written to: tests copy them).
inline std::filesystem::path wineFixture(std::string_view name)
{
    return std::filesystem::path(TIDEWICK_FIXTURE_DIR) / "wine-prefix" / name;
}

inline std::string fileBytes(const std::filesystem::path& file)
{
    std::string bytes;
    if (!readWholeFile(file, bytes))
        throw std::runtime_error("cannot read " + file.string());
    return bytes;
}

inline void writeBytes(const std::filesystem::path& file, std::string_view bytes)
{
    if (!writeFileAtomically(file, bytes))
        throw std::runtime_error("cannot write " + file.string());
}

// UTF-16LE bytes of a text with its terminating NUL, as text values hold them.
inline std::vector<uint8_t> utf16Data(std::u16string_view text)
{
    std::vector<uint8_t> data;
    for (const char16_t unit : text) {
        data.push_back(static_cast<uint8_t>(unit & 0xFF));
        data.push_back(static_cast<uint8_t>(unit >> 8));
    }
    data.push_back(0);
    data.push_back(0);
    return data;
}

} // namespace tw::test
