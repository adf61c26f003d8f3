#include "common/fs/profilefile.h"

#include "common/base/platformerror.h"
#include "common/fs/filesystem.h"
#include "common/fs/profiletext.h"

namespace tw {
namespace {

// The file as it is now; a missing or unreadable file reads as empty.
ProfileText load(const FileSystem& fs, std::string_view file)
{
    auto lines = fs.ReadLines(file);
    return ProfileText(lines ? std::move(*lines) : std::vector<std::string>());
}

} // namespace

std::vector<std::string> ProfileSectionNames(const FileSystem& fs, std::string_view file)
{
    return load(fs, file).sectionNames();
}

std::vector<std::string> ProfileKeyNames(const FileSystem& fs, std::string_view file, std::string_view section)
{
    return load(fs, file).keyNames(section);
}

std::vector<std::pair<std::string, std::string>> ProfileSectionEntries(const FileSystem& fs, std::string_view file,
                                                                       std::string_view section)
{
    return load(fs, file).entries(section);
}

std::string GetPrivateProfileString(const FileSystem& fs, std::string_view file, std::string_view section,
                                    std::string_view key, std::string_view defaultText)
{
    const auto value = load(fs, file).value(section, key);
    return value ? *value : std::string(defaultText);
}

void WritePrivateProfileString(FileSystem& fs, std::string_view file, std::string_view section,
                               std::optional<std::string_view> key, std::optional<std::string_view> value)
{
    const std::string failure = "Unable to write to " + std::string(file);
    auto lines = fs.ReadLines(file);
    // A file that exists but cannot be read is never replaced by a new one.
    if (!lines && fs.FileExists(file))
        throw PlatformError(failure, "the file cannot be read");
    if (!lines && !fs.hostPath(file))
        throw PlatformError(failure);
    ProfileText text(lines ? std::move(*lines) : std::vector<std::string>());
    bool changed = false;
    if (!key)
        changed = text.removeSection(section);
    else if (!value)
        changed = text.removeKey(section, *key);
    else
        changed = text.setValue(section, *key, *value);
    if (changed && !fs.WriteLines(file, text.lines()))
        throw PlatformError(failure);
}

} // namespace tw
