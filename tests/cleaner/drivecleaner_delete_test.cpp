#include "cleaner/drivecleanerfixture.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <filesystem>
#include <optional>

#include "common/base/atomicfile.h"
#include "common/base/platformerror.h"
#include "common/registry/registry.h"
#include "config/checksettings.h"

namespace tw::test {
namespace {

constexpr std::string_view Complete = "Complete.";
constexpr std::string_view SomeLeft = "Complete. Some files can not be deleted.";

class DriveCleanerDelete : public DriveCleanerTest {
protected:
    // Lists D:\a.tmp (10 bytes), D:\b.tmp (20) and D:\c.tmp (30) with the given removal method.
    void listThree(int32_t method, std::string_view folder = {})
    {
        useWildcards({"*.tmp"});
        file("D:\\a.tmp", 10);
        file("D:\\b.tmp", 20);
        file("D:\\c.tmp", 30);
        SaveRemovalSettings(env(), ProgramFolder, method, folder, false);
        search({"D:\\"});
        ASSERT_EQ(results().size(), 3u);
        ASSERT_EQ(tool().fileSizeSum(), 60);
    }
    void check(std::string_view path) { tool().lvDCResult().setChecked(resultRow(path), true); }
    // "Delete" answered with Yes; returns the text of the closing box, which must
    // be an information box with an OK button.
    std::string deleteChecked()
    {
        host.answerMessage(MessageAnswer::Yes);
        tool().btnDCDeleteClick();
        if (host.messages().empty())
            return {};
        const RecordedMessage& closing = host.messages().back();
        EXPECT_EQ(closing.kind, MessageKind::Information) << closing.text;
        EXPECT_EQ(closing.caption, "Information") << closing.text;
        EXPECT_EQ(closing.buttons, MessageButtons::Ok) << closing.text;
        return closing.text;
    }
    bool exists(std::string_view path) { return env().fileSystem().FileExists(path); }
};

TEST_F(DriveCleanerDelete, AnsweringNoChangesNothing)
{
    listThree(2);
    tool().sBitBtn15Click();
    host.answerMessage(MessageAnswer::No);
    tool().btnDCDeleteClick();
    EXPECT_EQ(host.messages().back().text, "Delete files?");
    EXPECT_EQ(host.messages().back().kind, MessageKind::Confirmation);
    EXPECT_EQ(host.messages().back().caption, "Confirm");
    EXPECT_EQ(host.messages().back().buttons, MessageButtons::YesNo);
    EXPECT_EQ(results().size(), 3u);
    EXPECT_TRUE(exists("D:\\a.tmp") && exists("D:\\b.tmp") && exists("D:\\c.tmp"));
    EXPECT_EQ(tool().fileCount(), 3);
}

class DriveCleanerDeleteAll : public DriveCleanerDelete, public ::testing::WithParamInterface<int32_t> {};

TEST_P(DriveCleanerDeleteAll, EmptiesListAndCounters)
{
    listThree(GetParam());
    tool().sBitBtn5Click();
    EXPECT_EQ(deleteChecked(), Complete);
    EXPECT_TRUE(results().empty());
    EXPECT_EQ(tool().fileCount(), 0);
    EXPECT_EQ(tool().lblDCFileCount(), "0");
    EXPECT_EQ(tool().lblDCFileSize(), "0 b");
    EXPECT_FALSE(exists("D:\\a.tmp") || exists("D:\\b.tmp") || exists("D:\\c.tmp"));
    EXPECT_TRUE(tool().controls().btnDCDelete) << "Delete is not disabled again";
}

INSTANTIATE_TEST_SUITE_P(Methods, DriveCleanerDeleteAll, ::testing::Values(1, 2),
                         [](const auto& info) { return info.param == 1 ? "RecycleBin" : "Permanently"; });

TEST_F(DriveCleanerDelete, UncheckedRowsStayAndTheMessageSaysSo)
{
    listThree(2);
    check("D:\\a.tmp");
    check("D:\\c.tmp");
    EXPECT_EQ(deleteChecked(), SomeLeft);
    EXPECT_EQ(results(), (std::vector<std::string>{"D:\\b.tmp"}));
    EXPECT_EQ(tool().fileCount(), 1);
    EXPECT_EQ(tool().fileSizeSum(), 20);
    EXPECT_EQ(tool().lblDCFileSize(), "20 b");
    EXPECT_TRUE(exists("D:\\b.tmp"));
}

TEST_F(DriveCleanerDelete, FileGoneMeanwhileKeepsItsRowCheckedAndTheCounters)
{
    listThree(2);
    tool().sBitBtn15Click();
    ASSERT_TRUE(env().fileSystem().DeleteFile("D:\\b.tmp"));
    EXPECT_EQ(deleteChecked(), SomeLeft);
    EXPECT_EQ(results(), (std::vector<std::string>{"D:\\b.tmp"}));
    EXPECT_TRUE(tool().lvDCResult().checked(0)) << "a second Delete tries it again";
    EXPECT_EQ(tool().fileCount(), 1);
    EXPECT_EQ(tool().fileSizeSum(), 20);
}

// Sets the immutable flag of a host file for its lifetime, so that even root cannot remove it.
class Immutable {
public:
    explicit Immutable(const std::filesystem::path& file) : m_fd(::open(file.c_str(), O_RDONLY))
    {
        int flags = 0;
        if (m_fd >= 0 && ::ioctl(m_fd, FS_IOC_GETFLAGS, &flags) == 0) {
            flags |= FS_IMMUTABLE_FL;
            m_set = ::ioctl(m_fd, FS_IOC_SETFLAGS, &flags) == 0;
        }
    }
    ~Immutable()
    {
        int flags = 0;
        if (m_set && ::ioctl(m_fd, FS_IOC_GETFLAGS, &flags) == 0) {
            flags &= ~FS_IMMUTABLE_FL;
            ::ioctl(m_fd, FS_IOC_SETFLAGS, &flags);
        }
        if (m_fd >= 0)
            ::close(m_fd);
    }
    bool set() const { return m_set; }

private:
    int m_fd;
    bool m_set = false;
};

// Makes a folder read-only for its lifetime: an ordinary user cannot remove its files.
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(std::filesystem::path folder) : m_folder(std::move(folder))
    {
        std::filesystem::permissions(m_folder, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    }
    ~ReadOnlyFolder() { std::filesystem::permissions(m_folder, std::filesystem::perms::owner_all); }

private:
    std::filesystem::path m_folder;
};

TEST_F(DriveCleanerDelete, UndeletableFileKeepsItsRow)
{
    useWildcards({"*.tmp"});
    file("D:\\a.tmp", 10);
    file("D:\\locked\\c.tmp", 30);
    SaveRemovalSettings(env(), ProgramFolder, 2, "", false);
    search({"D:\\"});
    tool().sBitBtn15Click();

    // Root may remove files from read-only folders; the immutable flag stops it too.
    const Immutable immutable(prefix.host("D:\\locked\\c.tmp"));
    std::optional<ReadOnlyFolder> readOnly;
    if (!immutable.set()) {
        if (::geteuid() == 0)
            GTEST_SKIP() << "cannot make a file undeletable here";
        readOnly.emplace(prefix.host("D:\\locked"));
    }
    EXPECT_EQ(deleteChecked(), SomeLeft);
    EXPECT_EQ(results(), (std::vector<std::string>{"D:\\locked\\c.tmp"}));
    EXPECT_TRUE(tool().lvDCResult().checked(0));
    EXPECT_EQ(tool().fileCount(), 1);
    EXPECT_EQ(tool().fileSizeSum(), 30);
    EXPECT_FALSE(exists("D:\\a.tmp"));
    EXPECT_TRUE(exists("D:\\locked\\c.tmp"));
}

TEST_F(DriveCleanerDelete, UnknownMethodRemovesNothing)
{
    listThree(2);
    auto key = env().registry().openKeyForWrite(RegRoot::CurrentUser, SettingsKey);
    ASSERT_TRUE(key);
    key->writeInteger("Remove method", 0);
    tool().sBitBtn15Click();
    EXPECT_EQ(deleteChecked(), SomeLeft);
    EXPECT_EQ(results().size(), 3u);
    EXPECT_TRUE(exists("D:\\a.tmp") && exists("D:\\b.tmp") && exists("D:\\c.tmp"));
}

TEST_F(DriveCleanerDelete, MissingMethodEndsTheCommandBeforeAnyFile)
{
    listThree(2);
    auto key = env().registry().openKeyForWrite(RegRoot::CurrentUser, SettingsKey);
    ASSERT_TRUE(key);
    ASSERT_TRUE(key->deleteValue("Remove method"));
    tool().sBitBtn15Click();
    host.answerMessage(MessageAnswer::Yes);
    EXPECT_THROW(tool().btnDCDeleteClick(), PlatformError);
    EXPECT_EQ(results().size(), 3u);
    EXPECT_TRUE(exists("D:\\a.tmp") && exists("D:\\b.tmp") && exists("D:\\c.tmp"));
    EXPECT_EQ(host.messageTexts().back(), "Delete files?") << "no closing box";
    EXPECT_TRUE(tool().controls().sBitBtn15) << "the result list is not left locked";
}

TEST_F(DriveCleanerDelete, MoveToFolderReplacesAFileOfTheSameName)
{
    const std::string removal = std::string(ProgramFolder) + "\\deleted\\";
    prefix.writeFile(removal + "a.tmp", "old content");
    listThree(3, removal);
    check("D:\\a.tmp");
    EXPECT_EQ(deleteChecked(), SomeLeft);
    EXPECT_FALSE(exists("D:\\a.tmp"));
    std::string moved;
    ASSERT_TRUE(readWholeFile(prefix.host(removal + "a.tmp"), moved));
    EXPECT_EQ(moved, std::string(10, 'x'));
    EXPECT_EQ(results().size(), 2u);
}

TEST_F(DriveCleanerDelete, DeletedRemovalFolderIsRecreatedBeforeEachFile)
{
    const std::string removal = std::string(ProgramFolder) + "\\deleted\\";
    listThree(3, removal);
    ASSERT_TRUE(env().fileSystem().RemoveDirectory(std::string(ProgramFolder) + "\\deleted"));
    tool().sBitBtn15Click();
    EXPECT_EQ(deleteChecked(), Complete);
    EXPECT_TRUE(exists(removal + "a.tmp") && exists(removal + "b.tmp") && exists(removal + "c.tmp"));
}

TEST_F(DriveCleanerDelete, FileOfFiveGibibytesIsCountedAndSubtractedExactly)
{
    useWildcards({"*.tmp"});
    file("D:\\small.tmp", 100);
    const std::filesystem::path big = prefix.host("D:\\big.tmp");
    {
        const int fd = ::open(big.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::ftruncate(fd, int64_t(5) << 30), 0);  // sparse: no blocks written
        ::close(fd);
    }
    SaveRemovalSettings(env(), ProgramFolder, 2, "", false);
    search({"D:\\"});

    const size_t row = resultRow("D:\\big.tmp");
    EXPECT_EQ(tool().lvDCResult().cell(row, DriveCleaner::SizeColumn), "5.00 Gb");
    EXPECT_EQ(tool().lvDCResult().cell(row, DriveCleaner::RealSizeColumn), "5368709120");
    EXPECT_EQ(tool().fileSizeSum(), 5368709220);
    EXPECT_EQ(tool().lblDCFileSize(), "5.00 Gb");

    tool().lvDCResult().setChecked(row, true);
    EXPECT_EQ(deleteChecked(), SomeLeft);
    EXPECT_EQ(results(), (std::vector<std::string>{"D:\\small.tmp"}));
    EXPECT_EQ(tool().fileCount(), 1);
    EXPECT_EQ(tool().fileSizeSum(), 100);
    EXPECT_EQ(tool().lblDCFileSize(), "100 b");
    EXPECT_FALSE(exists("D:\\big.tmp"));
}

TEST_F(DriveCleanerDelete, EmptyListAfterYesSaysComplete)
{
    listThree(2);
    tool().sBitBtn15Click();
    ASSERT_EQ(deleteChecked(), Complete);
    ASSERT_TRUE(tool().controls().btnDCDelete);
    EXPECT_EQ(deleteChecked(), Complete);
}

TEST_F(DriveCleanerDelete, CommandsCannotChangeTheListWhileItIsWalked)
{
    listThree(2);
    tool().sBitBtn15Click();
    bool sawLock = false;
    host.onEveryPump([&] {
        if (!tool().deleting())
            return;
        sawLock = true;
        EXPECT_FALSE(tool().lvDCResult().enabled());
        EXPECT_FALSE(tool().controls().btnDCSearch);
        tool().sBitBtn16Click();
        tool().sBitBtn6Click();
        tool().sBitBtn17Click();
        tool().btnDCSearchClick();
        tool().btnDCDeleteClick();  // would ask again if it ran
    });
    EXPECT_EQ(deleteChecked(), Complete);
    EXPECT_TRUE(sawLock);
    EXPECT_TRUE(results().empty());
    EXPECT_EQ(host.messageTexts(), (std::vector<std::string>{"Complete.", "Delete files?", "Complete."}));
    const DriveCleanerControls& controls = tool().controls();
    EXPECT_TRUE(controls.sBitBtn15 && controls.sBitBtn16 && controls.sBitBtn17 && controls.lvDCResult);
    EXPECT_TRUE(controls.btnDCSearch && controls.btnDCDelete);
    EXPECT_TRUE(tool().lvDCResult().enabled());
}

} // namespace
} // namespace tw::test
