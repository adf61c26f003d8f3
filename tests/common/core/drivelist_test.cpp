#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "common/drivelist.h"
#include "common/fs/filesystem.h"
#include "support/tempprefix.h"

namespace tw {
namespace {

TEST(DriveRow, CellsAreRootLabelFileSystemSerialSizesAndType)
{
    TDriveInfo drive;
    drive.RootPath = "C:\\";
    drive.VolumeLabel = "System";
    drive.FileSystem = "NTFS";
    drive.SerialText = "1A2B-3C4D";
    drive.TotalSize = 5ll << 30;
    drive.FreeSize = 1536;
    drive.DriveType = 3;
    EXPECT_EQ(DriveRow(drive),
              (std::vector<std::string>{"C:\\", "System", "NTFS", "1A2B-3C4D", "5.00 Gb", "1.50 Kb", "3"}));
}

TEST(DriveRow, UnreadableDriveShowsEmptyTextsAndZeroSizes)
{
    TDriveInfo drive;
    drive.RootPath = "E:\\";
    drive.SerialText = "0000-0000";
    drive.DriveType = 2;
    EXPECT_EQ(DriveRow(drive), (std::vector<std::string>{"E:\\", "", "", "0000-0000", "0 b", "0 b", "2"}));
}

TEST(FolderRow, PathFiveEmptyCellsAndMinusOne)
{
    EXPECT_EQ(FolderRow("D:\\Data\\Old"), (std::vector<std::string>{"D:\\Data\\Old", "", "", "", "", "", "-1"}));
}

TEST(BuildDriveList, ListsEveryDriveInLetterOrder)
{
    test::TempPrefix prefix;
    prefix.addDrive('M');
    prefix.addDrive('D');
    std::vector<TDriveInfo> drives;
    BuildDriveList(prefix.env().fileSystem(), drives);

    std::vector<std::string> roots;
    for (const TDriveInfo& drive : drives)
        roots.push_back(drive.RootPath);
    EXPECT_EQ(roots, (std::vector<std::string>{"C:\\", "D:\\", "M:\\"}));
    const std::regex serial("[0-9A-F]{4}-[0-9A-F]{4}");
    for (const TDriveInfo& drive : drives) {
        EXPECT_EQ(drive.DriveType, 3) << drive.RootPath << " is a folder of a local disk";
        EXPECT_TRUE(std::regex_match(drive.SerialText, serial)) << drive.SerialText;
        EXPECT_GT(drive.TotalSize, 0) << drive.RootPath;
        EXPECT_LE(drive.FreeSize, drive.TotalSize) << drive.RootPath;
    }
}

TEST(BuildDriveList, SerialIsTwoUpperCaseHexGroupsHighHalfFirst)
{
    test::TempPrefix prefix;
    const std::filesystem::path root = prefix.addDrive('D');
    std::ofstream(root / ".windows-serial") << "a1b2c3d\n";
    std::ofstream(root / ".windows-label") << "Backup\n";
    std::vector<TDriveInfo> drives;
    BuildDriveList(prefix.env().fileSystem(), drives);
    ASSERT_EQ(drives.size(), 2u);
    EXPECT_EQ(drives[1].RootPath, "D:\\");
    EXPECT_EQ(drives[1].SerialText, "0A1B-2C3D");
    EXPECT_EQ(drives[1].VolumeLabel, "Backup");
}

TEST(BuildDriveList, LeavesOutADriveWithoutRoot)
{
    test::TempPrefix prefix;
    // A drive link whose target is gone, as Wine leaves one for an unplugged disk.
    std::filesystem::create_directory_symlink(prefix.root() / "not-there", prefix.prefixFolder() / "dosdevices" / "e:");
    prefix.reopen();
    ASSERT_NE(prefix.env().fileSystem().GetDriveType("E:\\"), DriveType::Fixed);
    std::vector<TDriveInfo> drives;
    BuildDriveList(prefix.env().fileSystem(), drives);
    ASSERT_EQ(drives.size(), 1u);
    EXPECT_EQ(drives[0].RootPath, "C:\\");
}

TEST(BuildDriveList, AppendsToTheList)
{
    test::TempPrefix prefix;
    std::vector<TDriveInfo> drives(1);
    drives[0].RootPath = "kept";
    BuildDriveList(prefix.env().fileSystem(), drives);
    ASSERT_EQ(drives.size(), 2u);
    EXPECT_EQ(drives[0].RootPath, "kept");
    EXPECT_EQ(drives[1].RootPath, "C:\\");
}

} // namespace
} // namespace tw
