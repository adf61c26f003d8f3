#pragma once

#include <string>
#include <string_view>

// String functions on Windows paths ("C:\a\b.txt"). They never touch the disk.
namespace tw {

// The last component: "b.txt" of "C:\a\b.txt"; the whole text when there is no "\" or ":".
std::string_view ExtractFileName(std::string_view path);
// Everything before the last component, without its trailing backslash, except
// that a drive root keeps it: "C:\a" of "C:\a\b.txt", "C:\" of "C:\b.txt".
std::string_view ExtractFileDir(std::string_view path);
// The path with exactly one trailing backslash added when it has none.
std::string IncludeTrailingBackslash(std::string_view path);
// The path without its trailing backslash (a drive root "C:\" keeps it).
std::string ExcludeTrailingBackslash(std::string_view path);
// The drive letter, upper-cased, of "x:..." paths; 0 for any other path.
char DriveLetter(std::string_view path);

} // namespace tw
