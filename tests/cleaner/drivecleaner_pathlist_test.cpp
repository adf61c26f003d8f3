#include "cleaner/drivecleanerfixture.h"

#include <unistd.h>

#include <filesystem>

#include "common/base/platformerror.h"
#include "config/configpaths.h"

namespace tw::test {
namespace {

TDriveInfo drive(std::string root, int32_t type)
{
    TDriveInfo info;
    info.RootPath = std::move(root);
    info.VolumeLabel = "Label";
    info.FileSystem = "ext4";
    info.SerialText = "1234-ABCD";
    info.TotalSize = 2048;
    info.FreeSize = 1024;
    info.DriveType = type;
    return info;
}

TEST_F(DriveCleanerTest, DiskCleanListsFixedDrivesOnlyThenUserFoldersInFileOrder)
{
    state().drives = {drive("A:\\", 2), drive("C:\\", 3), drive("N:\\", 4), drive("X:\\", 3)};
    writeConfig(ConfigPath::UserFolderFile, {"D:\\work", "C:\\temp", "D:\\work"});

    tool().sSpeedButton1Click();

    EXPECT_EQ(paths(), (std::vector<std::string>{"C:\\", "X:\\", "D:\\work", "C:\\temp", "D:\\work"}));
    const CheckList& list = tool().lvDCDrive();
    EXPECT_EQ(list.cell(0, DriveCleaner::LabelColumn), "Label");
    EXPECT_EQ(list.cell(0, DriveCleaner::SerialColumn), "1234-ABCD");
    EXPECT_EQ(list.cell(0, DriveCleaner::TotalColumn), "2.00 Kb");
    EXPECT_EQ(list.cell(0, DriveCleaner::FreeColumn), "1024 b");
    EXPECT_EQ(list.cell(0, DriveCleaner::TypeColumn), "3");
    EXPECT_EQ(list.icon(0), DriveCleaner::FixedDriveIcon);
    EXPECT_EQ(list.cell(2, DriveCleaner::TypeColumn), "-1");
    EXPECT_EQ(list.cell(2, DriveCleaner::LabelColumn), "");
    EXPECT_EQ(list.icon(2), DriveCleaner::FolderIcon);
    EXPECT_EQ(list.checkedCount(), 0u);
}

TEST_F(DriveCleanerTest, DiskCleanShowsThePanelBetweenTheDriveRowsAndTheFolderRows)
{
    writeConfig(ConfigPath::UserFolderFile, {"D:\\work"});
    tool().sSpeedButton1Click();
    std::vector<std::string> listedWhenShown;
    tool().sSpeedButton1Click([&] { listedWhenShown = paths(); });
    EXPECT_EQ(listedWhenShown, (std::vector<std::string>{"C:\\", "D:\\"}));
    EXPECT_EQ(paths(), (std::vector<std::string>{"C:\\", "D:\\", "D:\\work"}));
}

TEST_F(DriveCleanerTest, DiskCleanCreatesTheUserFolderFileAndClearsCheckMarks)
{
    ASSERT_FALSE(env().fileSystem().FileExists(ConfigPath::configFile(ProgramFolder, ConfigPath::UserFolderFile)));
    tool().sSpeedButton1Click();
    EXPECT_TRUE(env().fileSystem().FileExists(ConfigPath::configFile(ProgramFolder, ConfigPath::UserFolderFile)));

    checkPath("D:\\");
    tool().sSpeedButton1Click();
    EXPECT_EQ(tool().lvDCDrive().checkedCount(), 0u) << "a refill starts without check marks";
    EXPECT_EQ(paths(), (std::vector<std::string>{"C:\\", "D:\\"}));
}

TEST_F(DriveCleanerTest, AddListsThePickedFolderAndAppendsItToTheFile)
{
    writeConfig(ConfigPath::UserFolderFile, {"D:\\one"});
    tool().sSpeedButton1Click();
    host.answerFolder("D:\\one");
    tool().btnDCAddPathClick();

    EXPECT_EQ(paths().back(), "D:\\one") << "duplicates are not refused";
    const size_t last = tool().lvDCDrive().rowCount() - 1;
    EXPECT_FALSE(tool().lvDCDrive().checked(last));
    EXPECT_EQ(tool().lvDCDrive().icon(last), DriveCleaner::FolderIcon);
    EXPECT_EQ(readConfig(ConfigPath::UserFolderFile), (std::vector<std::string>{"D:\\one", "D:\\one"}));
}

TEST_F(DriveCleanerTest, AddCancelledChangesNothing)
{
    tool().sSpeedButton1Click();
    const auto before = paths();
    host.answerFolder(std::nullopt);
    tool().btnDCAddPathClick();
    EXPECT_EQ(paths(), before);
    EXPECT_TRUE(readConfig(ConfigPath::UserFolderFile).empty());
}

TEST_F(DriveCleanerTest, AddNeverWritesOverAUserFolderFileItCannotRead)
{
    writeConfig(ConfigPath::UserFolderFile, {"D:\\one", "D:\\two"});
    const std::filesystem::path file = prefix.host(ConfigPath::configFile(ProgramFolder, ConfigPath::UserFolderFile));
    std::filesystem::permissions(file, std::filesystem::perms::none);
    if (::geteuid() == 0 || env().fileSystem().ReadLines(ConfigPath::configFile(ProgramFolder, ConfigPath::UserFolderFile)))
        GTEST_SKIP() << "the file stays readable here (running as root)";
    host.answerFolder("D:\\three");
    EXPECT_THROW(tool().btnDCAddPathClick(), PlatformError);
    std::filesystem::permissions(file, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    EXPECT_EQ(readConfig(ConfigPath::UserFolderFile), (std::vector<std::string>{"D:\\one", "D:\\two"}));
}

TEST_F(DriveCleanerTest, RemoveRewritesTheFileFromThisListsFolderRowsOnly)
{
    writeConfig(ConfigPath::UserFolderFile, {"D:\\a", "D:\\b"});
    tool().sSpeedButton1Click();
    // Another tool appends a folder after this list was filled.
    writeConfig(ConfigPath::UserFolderFile, {"D:\\a", "D:\\b", "D:\\c"});

    tool().lvDCDrive().setSelectedRow(3);  // C:\, D:\, D:\a, D:\b
    ASSERT_EQ(tool().lvDCDrive().cell(3, DriveCleaner::PathColumn), "D:\\b");
    tool().btnDCRemovePathClick();

    EXPECT_EQ(paths(), (std::vector<std::string>{"C:\\", "D:\\", "D:\\a"}));
    EXPECT_EQ(readConfig(ConfigPath::UserFolderFile), (std::vector<std::string>{"D:\\a"}));
}

struct RemoveNoOpCase {
    const char* name;
    std::optional<size_t> selected;
};

class DriveCleanerRemoveNoOp : public DriveCleanerTest, public ::testing::WithParamInterface<RemoveNoOpCase> {};

TEST_P(DriveCleanerRemoveNoOp, LeavesListAndFileAlone)
{
    writeConfig(ConfigPath::UserFolderFile, {"D:\\a"});
    tool().sSpeedButton1Click();
    tool().lvDCDrive().setSelectedRow(GetParam().selected);
    tool().btnDCRemovePathClick();
    EXPECT_EQ(paths(), (std::vector<std::string>{"C:\\", "D:\\", "D:\\a"}));
    EXPECT_EQ(readConfig(ConfigPath::UserFolderFile), (std::vector<std::string>{"D:\\a"}));
}

INSTANTIATE_TEST_SUITE_P(Rows, DriveCleanerRemoveNoOp,
                         ::testing::Values(RemoveNoOpCase{"NothingSelected", std::nullopt},
                                           RemoveNoOpCase{"DriveSelected", 1}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace tw::test
