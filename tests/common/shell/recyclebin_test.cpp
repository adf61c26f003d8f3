#include <fstream>

#include <gtest/gtest.h>

#include "common/shell/shell.h"
#include "support/tempprefix.h"

namespace tw {
namespace {

namespace fs = std::filesystem;
using namespace ShellOp;

class RecycleBinTest : public ::testing::Test {
protected:
    test::TempPrefix prefix;
    Shell& shell() { return prefix.env().shell(); }

    void recycle(const std::string& windowsPath, std::string_view bytes)
    {
        prefix.writeFile(windowsPath, bytes);
        FileOperation operation;
        operation.function = FO_DELETE;
        operation.from = windowsPath + std::string(2, '\0');
        operation.flags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_ALLOWUNDO | FOF_FILESONLY;
        ASSERT_EQ(shell().SHFileOperation(operation), 0) << windowsPath;
    }
};

TEST_F(RecycleBinTest, QuerySumsSizesAndItems)
{
    EXPECT_EQ(shell().SHQueryRecycleBin().items, 0u);
    EXPECT_EQ(shell().SHQueryRecycleBin().size, 0u);
    recycle("C:\\a\\one.tmp", std::string(1000, '1'));
    recycle("C:\\b\\one.tmp", std::string(24, '2'));
    const Shell::RecycleBinInfo info = shell().SHQueryRecycleBin();
    EXPECT_EQ(info.items, 2u);
    EXPECT_EQ(info.size, 1024u);
}

TEST_F(RecycleBinTest, QueryIncludesTheTrashOfEveryFileSystem)
{
    // The home trash and the trash at the top of the test folder's "file system".
    recycle("C:\\home.tmp", std::string(10, 'h'));
    const fs::path topTrash = prefix.root() / (".Trash-" + std::to_string(::geteuid()));
    fs::create_directories(topTrash / "files");
    fs::create_directories(topTrash / "info");
    std::ofstream(topTrash / "files" / "other.tmp") << std::string(5, 'o');
    std::ofstream(topTrash / "info" / "other.tmp.trashinfo") << "[Trash Info]\nPath=/x/other.tmp\nDeletionDate=2024-01-02T03:04:05\n";
    const Shell::RecycleBinInfo info = shell().SHQueryRecycleBin();
    EXPECT_EQ(info.items, 2u);
    EXPECT_EQ(info.size, 15u);
    EXPECT_TRUE(shell().SHEmptyRecycleBin({}));
    EXPECT_TRUE(fs::is_empty(topTrash / "files"));
}

TEST_F(RecycleBinTest, EmptyingAsksFirstAndKeepsEverythingWhenDeclined)
{
    recycle("C:\\a\\keep.tmp", "k");
    int asked = 0;
    EXPECT_FALSE(shell().SHEmptyRecycleBin([&] { ++asked; return false; }));
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(shell().SHQueryRecycleBin().items, 1u);

    EXPECT_TRUE(shell().SHEmptyRecycleBin([&] { ++asked; return true; }));
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(shell().SHQueryRecycleBin().items, 0u);
    EXPECT_TRUE(fs::is_empty(prefix.homeTrash() / "files"));
    EXPECT_TRUE(fs::is_empty(prefix.homeTrash() / "info"));
}

TEST_F(RecycleBinTest, AnEmptyBinIsNotAskedAbout)
{
    int asked = 0;
    EXPECT_TRUE(shell().SHEmptyRecycleBin([&] { ++asked; return true; }));
    recycle("C:\\x.tmp", "x");
    ASSERT_TRUE(shell().SHEmptyRecycleBin([] { return true; }));
    EXPECT_TRUE(shell().SHEmptyRecycleBin([&] { ++asked; return true; }));
    EXPECT_EQ(asked, 0);
}

TEST_F(RecycleBinTest, StraysAloneStillCountAsSomethingToEmpty)
{
    fs::create_directories(prefix.homeTrash() / "files");
    fs::create_directories(prefix.homeTrash() / "info");
    std::ofstream(prefix.homeTrash() / "files" / "stray") << "s";
    int asked = 0;
    EXPECT_TRUE(shell().SHEmptyRecycleBin([&] { ++asked; return true; }));
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(fs::exists(prefix.homeTrash() / "files" / "stray"));
}

} // namespace
} // namespace tw
