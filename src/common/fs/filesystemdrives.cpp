#include "common/fs/filesystem.h"

#include <sys/stat.h>
#include <sys/statvfs.h>

#include "common/fs/filesystemimpl.h"
#include "common/fs/mountinfo.h"
#include "common/fs/volumeprobe.h"

namespace tw {
namespace {

// Longest file system name GetVolumeInformation hands out (its 16-byte buffer).
constexpr size_t MaxFileSystemName = 15;

} // namespace

uint32_t FileSystem::GetDriveType(std::string_view root) const
{
    const char letter = rootDriveLetter(root);
    const auto path = letter ? m_impl->drives.canonicalRoot(letter) : std::nullopt;
    struct stat st {};
    if (!path || ::stat(path->c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return DriveType::NoRootDir;
    const auto mounts = readMountInfo();
    const MountEntry* mount = mountOf(mounts, *path);
    if (!mount)
        return DriveType::Fixed;
    return driveTypeFor(mount->fsType, isRemovableBlockDevice(mount->major, mount->minor));
}

std::optional<VolumeInformation> FileSystem::GetVolumeInformation(std::string_view root) const
{
    const char letter = rootDriveLetter(root);
    const auto path = letter ? m_impl->drives.canonicalRoot(letter) : std::nullopt;
    struct stat st {};
    if (!path || ::stat(path->c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return std::nullopt;
    const auto mounts = readMountInfo();
    const MountEntry* mount = mountOf(mounts, *path);

    VolumeInformation info;
    // As Wine does, files in the drive root name the label and serial number.
    if (auto label = readLabelFile(*path))
        info.label = std::move(*label);
    else if (mount)
        info.label = deviceLabel(mount->major, mount->minor).value_or(std::string());
    if (auto serial = readSerialFile(*path))
        info.serialNumber = *serial;
    else if (auto deviceId = mount ? deviceSerial(mount->major, mount->minor) : std::nullopt)
        info.serialNumber = *deviceId;
    else
        info.serialNumber = fileSystemIdSerial(*path).value_or(0);
    if (mount)
        info.fileSystem = mount->fsType.substr(0, MaxFileSystemName);
    return info;
}

std::optional<DiskSpace> FileSystem::GetDiskFreeSpaceEx(std::string_view root) const
{
    // Any folder of the drive tells its volume's sizes.
    const auto path = m_impl->resolve(root);
    struct statvfs sv {};
    if (!path || ::statvfs(path->c_str(), &sv) != 0)
        return std::nullopt;
    DiskSpace space;
    space.totalBytes = static_cast<uint64_t>(sv.f_blocks) * sv.f_frsize;
    space.freeBytes = static_cast<uint64_t>(sv.f_bfree) * sv.f_frsize;
    return space;
}

} // namespace tw
