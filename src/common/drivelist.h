#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tw {

class FileSystem;

// One removable, fixed or remote drive with its volume data.
struct TDriveInfo {
    std::string RootPath;     // "C:\"
    std::string VolumeLabel;  // "" when it cannot be read
    std::string FileSystem;   // "" when it cannot be read
    std::string SerialText;   // "XXXX-XXXX", upper-case hex, high half first; "0000-0000" when unreadable
    int64_t TotalSize = 0;    // bytes of the volume, 0 when unreadable
    int64_t FreeSize = 0;     // free bytes of the volume (not the quota share), 0 when unreadable
    int32_t DriveType = 0;    // 2 removable, 3 fixed, 4 remote
};

// Appends one entry per drive of type 2, 3 or 4, in drive-letter order.
void BuildDriveList(const FileSystem& fileSystem, std::vector<TDriveInfo>& drives);

// The row of a path list for a drive: root, label, file system, serial, total and
// free size text, drive type.
std::vector<std::string> DriveRow(const TDriveInfo& drive);

// The row of a path list for a folder the user added: its path, five empty cells, "-1".
std::vector<std::string> FolderRow(std::string_view path);

} // namespace tw
