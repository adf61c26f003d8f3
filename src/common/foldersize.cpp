#include "common/foldersize.h"

#include <string>
#include <vector>

#include "common/fs/filesystem.h"

namespace tw {
namespace {

void addFolder(const FileSystem& fileSystem, const std::string& folder, uint64_t& sum)
{
    std::vector<std::string> subFolders;
    {
        FindData entry;
        uint32_t error = 0;
        std::unique_ptr<FindHandle> find = fileSystem.FindFirstFile(folder + "\\*.*", entry, error);
        if (!find)
            return;
        do {
            // Only a folder with no other attribute is entered: hidden, system or
            // read-only folders, and links (reparse point), count as their own
            // recorded size, which is 0 for a folder.
            if (entry.attributes == FileAttribute::Directory) {
                if (entry.name != "." && entry.name != "..")
                    subFolders.push_back(entry.name);
            } else {
                sum += entry.size;
            }
        } while (find->next(entry));
    }
    // Walked after the enumeration is closed, so open folders never pile up.
    for (const std::string& name : subFolders)
        addFolder(fileSystem, folder + "\\" + name, sum);
}

} // namespace

uint64_t FolderSize(const FileSystem& fileSystem, std::string_view folder)
{
    uint64_t sum = 0;
    addFolder(fileSystem, std::string(folder), sum);
    return sum;
}

} // namespace tw
