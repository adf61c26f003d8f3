#include <fstream>
#include <sys/statvfs.h>

#include <gtest/gtest.h>

#include "common/fs/filesystem.h"
#include "common/fs/mountinfo.h"
#include "common/fs/volumeprobe.h"
#include "fstestfolder.h"

namespace tw::test {
namespace {

namespace fs = std::filesystem;

void writeText(const fs::path& path, std::string_view text)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

TEST(Drives, ListedInLetterOrderWhenTheirRootExists)
{
    FsTestFolder folder;
    folder.addDrive('e');
    folder.addDrive('d');
    const fs::path gone = folder.addDrive('x');
    fs::remove(gone);
    // Wine's raw device links ("d::") and other names are no drives.
    fs::create_symlink("/dev/null", folder.prefix() / "dosdevices" / "d::");
    fs::create_symlink("/tmp", folder.prefix() / "dosdevices" / "com1");
    EXPECT_EQ(folder.fs().GetLogicalDriveStrings(), (std::vector<std::string>{"C:\\", "D:\\", "E:\\"}));
}

TEST(Drives, TypeOfALocalFolderIsFixedAndOfAMissingDriveNoRootDir)
{
    FsTestFolder folder;
    EXPECT_EQ(folder.fs().GetDriveType("C:\\"), DriveType::Fixed);
    EXPECT_EQ(folder.fs().GetDriveType("c:"), DriveType::Fixed);
    EXPECT_EQ(folder.fs().GetDriveType("Q:\\"), DriveType::NoRootDir);
    EXPECT_EQ(folder.fs().GetDriveType("C:\\Windows"), DriveType::NoRootDir) << "not a root";
}

struct TypeCase {
    const char* name;
    const char* fsType;
    bool removable;
    uint32_t expected;
};

class DriveTypes : public ::testing::TestWithParam<TypeCase> {};

TEST_P(DriveTypes, FollowTheFileSystemAndDevice)
{
    EXPECT_EQ(driveTypeFor(GetParam().fsType, GetParam().removable), GetParam().expected);
}

const TypeCase typeCases[] = {
    {"Ext4", "ext4", false, DriveType::Fixed},
    {"Tmpfs", "tmpfs", false, DriveType::Fixed},
    {"UsbStick", "vfat", true, DriveType::Removable},
    {"Nfs", "nfs4", false, DriveType::Remote},
    {"Cifs", "cifs", false, DriveType::Remote},
    {"Smb3", "smb3", false, DriveType::Remote},
    {"Sshfs", "fuse.sshfs", false, DriveType::Remote},
    {"NineP", "9p", false, DriveType::Remote},
    {"Iso", "iso9660", true, DriveType::CdRom},
    {"Udf", "udf", false, DriveType::CdRom},
};

INSTANTIATE_TEST_SUITE_P(Table, DriveTypes, ::testing::ValuesIn(typeCases),
                         [](const auto& info) { return std::string(info.param.name); });

constexpr const char* SampleMountInfo =
    "22 28 0:21 / /proc rw,relatime - proc proc rw\n"
    "28 1 254:0 / / rw,relatime - ext4 /dev/vda rw\n"
    "40 28 8:17 / /media/My\\040Stick rw,nosuid shared:5 master:1 - vfat /dev/sdb1 rw\n"
    "41 28 0:50 / /mnt/share rw - cifs //server/share rw\n"
    "42 41 0:51 / /mnt/share/inner rw - nfs4 host:/export rw\n"
    "43 28 0:52 / /mnt/share rw - fuse.sshfs me@host: rw\n"
    "garbage line\n"
    "44 28 11:0 / /media/cd ro - iso9660 /dev/sr0 ro\n";

TEST(MountInfo, ParsesFieldsAndEscapes)
{
    const auto mounts = parseMountInfo(SampleMountInfo);
    ASSERT_EQ(mounts.size(), 7u) << "the garbage line is skipped";
    EXPECT_EQ(mounts[2].mountPoint, "/media/My Stick");
    EXPECT_EQ(mounts[2].fsType, "vfat") << "optional fields before the dash are skipped";
    EXPECT_EQ(mounts[2].source, "/dev/sdb1");
    EXPECT_EQ(mounts[2].major, 8u);
    EXPECT_EQ(mounts[2].minor, 17u);
}

struct MountCase {
    const char* name;
    const char* path;
    const char* expectedType;
};

class MountLookup : public ::testing::TestWithParam<MountCase> {};

TEST_P(MountLookup, TakesTheLongestAndLatestMountPoint)
{
    const auto mounts = parseMountInfo(SampleMountInfo);
    const MountEntry* mount = mountOf(mounts, GetParam().path);
    ASSERT_NE(mount, nullptr);
    EXPECT_EQ(mount->fsType, GetParam().expectedType);
}

const MountCase mountCases[] = {
    {"Root", "/", "ext4"},
    {"BelowRoot", "/home/me", "ext4"},
    {"Proc", "/proc/self", "proc"},
    {"BlankInMountPoint", "/media/My Stick/DCIM", "vfat"},
    {"PrefixIsNotAFolder", "/media/My Sticker", "ext4"},
    {"LaterMountHidesEarlier", "/mnt/share/docs", "fuse.sshfs"},
    {"NestedMount", "/mnt/share/inner/x", "nfs4"},
};

INSTANTIATE_TEST_SUITE_P(Table, MountLookup, ::testing::ValuesIn(mountCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(MountInfo, VirtualFileSystemTypes)
{
    for (const char* type : {"proc", "sysfs", "devtmpfs", "cgroup2", "devpts"})
        EXPECT_TRUE(isVirtualFileSystemType(type)) << type;
    for (const char* type : {"ext4", "tmpfs", "nfs4", "btrfs"})
        EXPECT_FALSE(isVirtualFileSystemType(type)) << type;
}

TEST(RemovableDevices, PartitionTakesTheRemovableFlagOfItsDisk)
{
    FsTestFolder folder;
    const fs::path sys = folder.root() / "sys";
    writeText(sys / "devices/usb/block/sdb/removable", "1\n");
    writeText(sys / "devices/usb/block/sdb/sdb1/partition", "1\n");
    writeText(sys / "devices/pci/block/sda/removable", "0\n");
    fs::create_directories(sys / "dev/block");
    fs::create_symlink("../../devices/usb/block/sdb/sdb1", sys / "dev/block/8:17");
    fs::create_symlink("../../devices/usb/block/sdb", sys / "dev/block/8:16");
    fs::create_symlink("../../devices/pci/block/sda", sys / "dev/block/8:0");
    EXPECT_TRUE(isRemovableBlockDevice(8, 17, sys.string()));
    EXPECT_TRUE(isRemovableBlockDevice(8, 16, sys.string()));
    EXPECT_FALSE(isRemovableBlockDevice(8, 0, sys.string()));
    EXPECT_FALSE(isRemovableBlockDevice(8, 99, sys.string())) << "unknown device";
    EXPECT_FALSE(isRemovableBlockDevice(0, 44, sys.string())) << "no block device at all";
}

TEST(VolumeInformation, LabelAndSerialFromTheFilesInTheDriveRoot)
{
    FsTestFolder folder;
    writeText(folder.c() / ".windows-label", "My Volume  \r\n");
    writeText(folder.c() / ".windows-serial", "1234abcd\n");
    const auto info = folder.fs().GetVolumeInformation("C:\\");
    ASSERT_TRUE(info);
    EXPECT_EQ(info->label, "My Volume");
    EXPECT_EQ(info->serialNumber, 0x1234ABCDu);
}

TEST(VolumeInformation, WithoutTheFilesTheFileSystemSpeaks)
{
    FsTestFolder folder;
    const auto info = folder.fs().GetVolumeInformation("C:\\");
    ASSERT_TRUE(info);
    const auto mounts = readMountInfo();
    const MountEntry* mount = mountOf(mounts, fs::canonical(folder.c()).string());
    ASSERT_NE(mount, nullptr);
    EXPECT_EQ(info->fileSystem, mount->fsType.substr(0, 15));
    EXPECT_LE(info->fileSystem.size(), 15u);
    const auto expectedSerial = deviceSerial(mount->major, mount->minor);
    EXPECT_EQ(info->serialNumber, expectedSerial ? *expectedSerial : fileSystemIdSerial(folder.c()).value_or(0));
}

TEST(VolumeInformation, MissingDriveHasNone)
{
    FsTestFolder folder;
    const fs::path gone = folder.addDrive('r');
    fs::remove(gone);
    EXPECT_FALSE(folder.fs().GetVolumeInformation("R:\\"));
    EXPECT_FALSE(folder.fs().GetVolumeInformation("Q:\\"));
}

struct SerialCase {
    const char* name;
    const char* text;
    std::optional<uint32_t> expected;
};

class SerialFiles : public ::testing::TestWithParam<SerialCase> {};

TEST_P(SerialFiles, AreReadAsHex)
{
    FsTestFolder folder;
    writeText(folder.c() / ".windows-serial", GetParam().text);
    EXPECT_EQ(readSerialFile(folder.c().string()), GetParam().expected);
}

const SerialCase serialCases[] = {
    {"Plain", "deadbeef", 0xDEADBEEF},
    {"WithPrefixAndNewline", "0x10\n", 0x10},
    {"UpperCase", "ABCD0123", 0xABCD0123},
    {"StopsAtNonDigit", "12zz", 0x12},
    {"LowHalfOfALongNumber", "1122334455667788", 0x55667788},
    {"NoDigits", "zz", std::nullopt},
    {"Empty", "", std::nullopt},
};

INSTANTIATE_TEST_SUITE_P(Table, SerialFiles, ::testing::ValuesIn(serialCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(VolumeSerials, FromWindowsStyleUuids)
{
    EXPECT_EQ(serialFromUuid("1A2B-3C4D"), 0x1A2B3C4Du) << "FAT";
    EXPECT_EQ(serialFromUuid("0123456789ABCDEF"), 0x89ABCDEFu) << "NTFS";
    EXPECT_EQ(serialFromUuid("c0ffee00-1111-2222-3333-444455556666"), std::nullopt) << "a GUID is no serial";
    EXPECT_EQ(decodeUdevName("My\\x20Disk\\x2fA"), "My Disk/A");
}

TEST(DiskSpace, IsTheVolumesTotalAndFreeBytes)
{
    FsTestFolder folder;
    const auto space = folder.fs().GetDiskFreeSpaceEx("C:\\");
    ASSERT_TRUE(space);
    struct statvfs sv {};
    ASSERT_EQ(::statvfs(folder.c().c_str(), &sv), 0);
    EXPECT_EQ(space->totalBytes, static_cast<uint64_t>(sv.f_blocks) * sv.f_frsize);
    EXPECT_GT(space->totalBytes, 0u);
    EXPECT_LE(space->freeBytes, space->totalBytes);
    EXPECT_FALSE(folder.fs().GetDiskFreeSpaceEx("Q:\\"));
}

} // namespace
} // namespace tw::test
