#include "common/shell/hosttree.h"

#include <fstream>
#include <csignal>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "support/hostfiles.h"
#include "support/tempprefix.h"

namespace tw {
namespace {

namespace fs = std::filesystem;
using test::readHostFile;
using test::writeHostFile;
using test::present;

class HostTreeTest : public ::testing::Test {
protected:
    test::TempPrefix prefix;
    fs::path tree = prefix.root() / "tree";
    fs::path outside = prefix.root() / "outside";

    void SetUp() override
    {
        writeHostFile(outside / "precious.txt", "precious");
        writeHostFile(tree / "a.txt", "a");
        writeHostFile(tree / "sub" / "deeper" / "b.txt", "b");
        fs::create_directory_symlink(outside, tree / "sub" / "folderlink");
        fs::create_symlink(outside / "precious.txt", tree / "filelink");
        fs::create_symlink(prefix.root() / "nowhere", tree / "dangling");
    }
};

TEST_F(HostTreeTest, RemovesEverythingAndFollowsNoLink)
{
    std::string error;
    ASSERT_TRUE(removeHostTree(tree, &error)) << error;
    EXPECT_FALSE(present(tree));
    EXPECT_EQ(readHostFile(outside / "precious.txt"), "precious");
}

TEST_F(HostTreeTest, OpensUpFoldersThatRefuseChanges)
{
    ::chmod((tree / "sub" / "deeper").c_str(), 0500);
    ::chmod((tree / "sub").c_str(), 0000);
    std::string error;
    ASSERT_TRUE(removeHostTree(tree, &error)) << error;
    EXPECT_FALSE(present(tree));
}

TEST_F(HostTreeTest, ALinkGivenAsThePathIsRemovedAsALink)
{
    ASSERT_TRUE(removeHostTree(tree / "sub" / "folderlink"));
    EXPECT_FALSE(present(tree / "sub" / "folderlink"));
    EXPECT_EQ(readHostFile(outside / "precious.txt"), "precious");
}

TEST_F(HostTreeTest, PathsEndingInDotsAreRefused)
{
    for (const fs::path& path : {tree / "sub" / "..", tree / "sub" / ".", fs::path("/")}) {
        std::string error;
        EXPECT_FALSE(removeHostTree(path, &error)) << path;
        EXPECT_FALSE(error.empty()) << path;
    }
    EXPECT_TRUE(fs::exists(tree / "sub" / "deeper" / "b.txt"));
    EXPECT_TRUE(fs::exists(tree / "a.txt"));
}

// A file system mounted inside the tree (a USB stick under a folder of Z:) holds
// files of its own: removing the tree never reaches them.
TEST_F(HostTreeTest, NeverEntersAFileSystemMountedInsideTheTree)
{
    const fs::path mounted = tree / "sub" / "mounted";
    fs::create_directory(mounted);
    if (::mount("tidewick-test", mounted.c_str(), "tmpfs", 0, "size=1m") != 0)
        GTEST_SKIP() << "mounting a tmpfs is not permitted here";
    writeHostFile(mounted / "stick.txt", "on the stick");
    std::string error;
    const bool removedTree = removeHostTree(tree, &error);
    const bool removedMountPoint = removeHostTree(mounted);
    const std::string stick = readHostFile(mounted / "stick.txt");
    ::umount2(mounted.c_str(), MNT_DETACH);
    EXPECT_FALSE(removedTree);
    EXPECT_NE(error.find(mounted.string()), std::string::npos) << error;
    EXPECT_FALSE(removedMountPoint);
    EXPECT_EQ(stick, "on the stick");
    EXPECT_FALSE(present(tree / "a.txt"));
}

TEST_F(HostTreeTest, AMissingPathIsAlreadyRemoved)
{
    EXPECT_TRUE(removeHostTree(tree / "not-there"));
}

TEST_F(HostTreeTest, DiskUsageCountsBlocksOnceAndLinksAsLinks)
{
    const fs::path big = prefix.root() / "usage";
    writeHostFile(big / "data", std::string(64 * 1024, 'd'));
    fs::create_hard_link(big / "data", big / "hardlink");
    fs::create_directory_symlink(outside, big / "link");
    struct stat folder {};
    struct stat data {};
    struct stat link {};
    ASSERT_EQ(::lstat(big.c_str(), &folder), 0);
    ASSERT_EQ(::lstat((big / "data").c_str(), &data), 0);
    ASSERT_EQ(::lstat((big / "link").c_str(), &link), 0);
    EXPECT_EQ(hostDiskUsage(big), static_cast<uint64_t>(folder.st_blocks + data.st_blocks + link.st_blocks) * 512u);
    EXPECT_EQ(hostDiskUsage(big / "data"), static_cast<uint64_t>(data.st_blocks) * 512u);
    EXPECT_EQ(hostDiskUsage(prefix.root() / "missing"), 0u);
}

TEST_F(HostTreeTest, CopiesATreeWithLinksAsLinksModesAndTimes)
{
    ::chmod((tree / "a.txt").c_str(), 0604);
    const auto stamp = fs::file_time_type::clock::now() - std::chrono::hours(48);
    fs::last_write_time(tree / "sub" / "deeper" / "b.txt", stamp);
    const fs::path copy = prefix.root() / "copy";
    std::string error;
    ASSERT_TRUE(copyHostTree(tree, copy, &error)) << error;
    EXPECT_EQ(readHostFile(copy / "sub" / "deeper" / "b.txt"), "b");
    EXPECT_EQ(fs::last_write_time(copy / "sub" / "deeper" / "b.txt"), stamp);
    EXPECT_EQ(fs::status(copy / "a.txt").permissions(), fs::perms(0604));
    EXPECT_EQ(fs::read_symlink(copy / "sub" / "folderlink"), outside);
    EXPECT_EQ(fs::read_symlink(copy / "dangling"), prefix.root() / "nowhere");
    EXPECT_TRUE(fs::is_symlink(copy / "filelink"));
}

TEST_F(HostTreeTest, CopyRefusesAnExistingTargetAndLeavesIt)
{
    writeHostFile(prefix.root() / "copy" / "mine.txt", "mine");
    EXPECT_FALSE(copyHostTree(tree, prefix.root() / "copy"));
    EXPECT_FALSE(copyHostTree(tree / "a.txt", prefix.root() / "copy" / "mine.txt"));
    EXPECT_EQ(readHostFile(prefix.root() / "copy" / "mine.txt"), "mine");
}

TEST_F(HostTreeTest, SpecialFilesAreNotCopied)
{
    ASSERT_EQ(::mkfifo((tree / "sub" / "fifo").c_str(), 0600), 0);
    const fs::path copy = prefix.root() / "copy";
    ASSERT_TRUE(copyHostTree(tree, copy));
    EXPECT_FALSE(present(copy / "sub" / "fifo"));
    EXPECT_EQ(readHostFile(copy / "a.txt"), "a");
}

TEST_F(HostTreeTest, ACopyThatFailsHalfwayLeavesNothingBehind)
{
    // A file-size limit makes writing the large file fail, after other files of
    // the tree may already have been copied; it holds for the super-user too.
    writeHostFile(tree / "sub" / "large.bin", std::string(1 << 20, 'L'));
    rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 256 * 1024;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const fs::path copy = prefix.root() / "copy";
    std::string error;
    const bool copied = copyHostTree(tree, copy, &error);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_FALSE(copied);
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(present(copy));
    EXPECT_EQ(fs::file_size(tree / "sub" / "large.bin"), 1u << 20);
}

} // namespace
} // namespace tw
