#pragma once

#include <cstdint>
#include <string_view>

namespace tw {

class FileSystem;

// Sum of the sizes of every file below the folder, entering only sub-folders whose
// attribute value is the folder attribute alone (so never hidden folders or links);
// 0 for a folder that cannot be read.
uint64_t FolderSize(const FileSystem& fileSystem, std::string_view folder);

} // namespace tw
