#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "common/foldersize.h"
#include "common/fs/filesystem.h"
#include "support/tempprefix.h"

namespace tw {
namespace {

class FolderSizeTest : public testing::Test {
protected:
    FolderSizeTest() { prefix.addDrive('D'); }

    FileSystem& fs() { return prefix.env().fileSystem(); }
    void file(std::string_view path, size_t size) { prefix.writeFile(path, std::string(size, 'x')); }
    // Three files of 100, 200 and 300 bytes in the folder.
    void fill(const std::string& folder)
    {
        file(folder + "\\a.bin", 100);
        file(folder + "\\b", 200);
        file(folder + "\\.c", 300);
    }

    test::TempPrefix prefix;
};

TEST_F(FolderSizeTest, SumsFilesOfPlainSubFolders)
{
    fill("D:\\f\\plain");
    file("D:\\f\\top.txt", 7);
    file("D:\\f\\plain\\deeper\\d.bin", 1000);
    EXPECT_EQ(FolderSize(fs(), "D:\\f"), 7u + 600u + 1000u);
}

TEST_F(FolderSizeTest, AHiddenSubFolderIsNotEntered)
{
    fill("D:\\f\\secret");
    ASSERT_TRUE(fs().SetFileAttributes("D:\\f\\secret", FileAttribute::Hidden));
    EXPECT_EQ(FolderSize(fs(), "D:\\f"), 0u);
}

TEST_F(FolderSizeTest, ASubFolderWithAnyOtherAttributeIsNotEntered)
{
    fill("D:\\f\\system");
    fill("D:\\f\\archive");
    fill("D:\\f\\plain");
    ASSERT_TRUE(fs().SetFileAttributes("D:\\f\\system", FileAttribute::System));
    ASSERT_TRUE(fs().SetFileAttributes("D:\\f\\archive", FileAttribute::Archive));
    EXPECT_EQ(FolderSize(fs(), "D:\\f"), 600u);
}

TEST_F(FolderSizeTest, ALinkedFolderIsNotEntered)
{
    const std::filesystem::path outside = prefix.root() / "outside";
    std::filesystem::create_directories(outside);
    std::ofstream(outside / "big.bin") << std::string(5000, 'y');
    file("D:\\f\\own.bin", 10);
    std::filesystem::create_directory_symlink(outside, prefix.host("D:\\f") / "link");
    std::filesystem::create_directory_symlink(prefix.host("D:\\f"), prefix.host("D:\\f") / "loop");
    EXPECT_EQ(FolderSize(fs(), "D:\\f"), 10u);
}

TEST_F(FolderSizeTest, AMissingFolderIsZero)
{
    EXPECT_EQ(FolderSize(fs(), "D:\\missing"), 0u);
    EXPECT_EQ(FolderSize(fs(), "Q:\\nowhere"), 0u);
}

TEST_F(FolderSizeTest, ATrailingBackslashGivesTheSameSum)
{
    fill("D:\\f\\plain");
    EXPECT_EQ(FolderSize(fs(), "D:\\f\\"), 600u);
}

TEST_F(FolderSizeTest, SizesAboveFourGibibytesAreKept)
{
    prefix.makeFolder("D:\\big");
    // A sparse file takes no room but has its full 64-bit size.
    std::filesystem::resize_file(prefix.writeFile("D:\\big\\sparse.bin"), 5ull << 30);
    file("D:\\big\\small.bin", 3);
    EXPECT_EQ(FolderSize(fs(), "D:\\big"), (5ull << 30) + 3u);
}

} // namespace
} // namespace tw
