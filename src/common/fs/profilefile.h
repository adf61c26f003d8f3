#pragma once

#include <optional>
#include <string>
#include <utility>
#include <string_view>
#include <vector>

// Profile (INI) files with the semantics of GetPrivateProfileString and
// WritePrivateProfileString: sections and keys in file order, names compared
// without regard to case, the file read afresh on every call.
namespace tw {

class FileSystem;

// Section names in file order (GetPrivateProfileString with no section).
std::vector<std::string> ProfileSectionNames(const FileSystem& fs, std::string_view file);
// Key names of a section in file order (no key given).
std::vector<std::string> ProfileKeyNames(const FileSystem& fs, std::string_view file, std::string_view section);
// The key=value lines of a section in file order, each as key and value
// (GetPrivateProfileSection).
std::vector<std::pair<std::string, std::string>> ProfileSectionEntries(const FileSystem& fs, std::string_view file,
                                                                       std::string_view section);
// The text after the first "=" of the key's line, trimmed; defaultText when missing.
std::string GetPrivateProfileString(const FileSystem& fs, std::string_view file, std::string_view section,
                                    std::string_view key, std::string_view defaultText);
// Writes key=value into the section (created at the end when missing); a null
// value deletes the key, a null key deletes the whole section. Throws
// PlatformError "Unable to write to <file>" when the file cannot be replaced.
void WritePrivateProfileString(FileSystem& fs, std::string_view file, std::string_view section,
                               std::optional<std::string_view> key, std::optional<std::string_view> value);

} // namespace tw
