#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace tw {

class FileSystem;

// ProgramFolder for the executable's host folder: its Windows path without a
// trailing backslash ("Z:\opt\tidewick"; a drive root gives "Z:", so that
// ProgramFolder + "\config\" stays one path). nullopt when no drive reaches it.
std::optional<std::string> ProgramFolderOf(const FileSystem& fileSystem, const std::filesystem::path& executableFolder);

} // namespace tw
