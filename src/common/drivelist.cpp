#include "common/drivelist.h"

#include <cstdio>

#include "common/base/text.h"
#include "common/fs/filesystem.h"
#include "common/sizetext.h"

namespace tw {
namespace {

std::string serialText(uint32_t serial)
{
    char text[16];
    std::snprintf(text, sizeof text, "%04X-%04X", serial >> 16, serial & 0xFFFFu);
    return text;
}

} // namespace

void BuildDriveList(const FileSystem& fileSystem, std::vector<TDriveInfo>& drives)
{
    for (const std::string& root : fileSystem.GetLogicalDriveStrings()) {
        const uint32_t type = fileSystem.GetDriveType(root);
        if (type != DriveType::Removable && type != DriveType::Fixed && type != DriveType::Remote)
            continue;
        TDriveInfo drive;
        drive.RootPath = root;
        drive.DriveType = static_cast<int32_t>(type);
        uint32_t serial = 0;
        if (const std::optional<VolumeInformation> volume = fileSystem.GetVolumeInformation(root)) {
            drive.VolumeLabel = volume->label;
            drive.FileSystem = volume->fileSystem;
            serial = volume->serialNumber;
        }
        drive.SerialText = serialText(serial);
        if (const std::optional<DiskSpace> space = fileSystem.GetDiskFreeSpaceEx(root)) {
            drive.TotalSize = static_cast<int64_t>(space->totalBytes);
            drive.FreeSize = static_cast<int64_t>(space->freeBytes);
        }
        drives.push_back(std::move(drive));
    }
}

std::vector<std::string> DriveRow(const TDriveInfo& drive)
{
    return {drive.RootPath,           drive.VolumeLabel,        drive.FileSystem,         drive.SerialText,
            SizeText(drive.TotalSize), SizeText(drive.FreeSize), decimal(drive.DriveType)};
}

std::vector<std::string> FolderRow(std::string_view path)
{
    return {std::string(path), "", "", "", "", "", "-1"};
}

} // namespace tw
