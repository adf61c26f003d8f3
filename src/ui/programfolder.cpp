#include "ui/programfolder.h"

#include "common/fs/filesystem.h"

namespace tw {

std::optional<std::string> ProgramFolderOf(const FileSystem& fileSystem, const std::filesystem::path& executableFolder)
{
    std::optional<std::string> folder = fileSystem.windowsPath(executableFolder);
    if (!folder)
        return std::nullopt;
    while (!folder->empty() && folder->back() == '\\')
        folder->pop_back();
    return folder;
}

} // namespace tw
