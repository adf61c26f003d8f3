#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "common/base/atomicfile.h"
#include "common/fs/dosattributes.h"
#include "common/fs/filesystem.h"
#include "common/fs/filetime.h"
#include "fstestfolder.h"

namespace tw::test {
namespace {

namespace fs = std::filesystem;

// Three moments of 2021 and 2022, each with 100-ns digits.
constexpr FileTime Creation = 132592839671234567ULL;
constexpr FileTime Access = 133000000001111111ULL;
constexpr FileTime Write = 133100000002222222ULL;

TEST(FileTimes, RoundTripWithHundredNanosecondPrecision)
{
    FsTestFolder folder;
    folder.file("t.txt", "x");
    ASSERT_TRUE(folder.fs().SetFileTimes("C:\\t.txt", {Creation, Access, Write}));
    const auto times = folder.fs().GetFileTimes("C:\\t.txt");
    ASSERT_TRUE(times);
    EXPECT_EQ(times->creation, Creation);
    EXPECT_EQ(times->lastAccess, Access);
    EXPECT_EQ(times->lastWrite, Write);
    const FindData entry = findEntry(folder.fs(), "C:", "t.txt");
    EXPECT_EQ(entry.creationTime, Creation) << "enumeration shows the same times";
    EXPECT_EQ(entry.lastAccessTime, Access);
    EXPECT_EQ(entry.lastWriteTime, Write);
}

TEST(FileTimes, WriteAndAccessAreTheHostTimesAndCreationIsStoredBeside)
{
    FsTestFolder folder;
    const fs::path file = folder.file("t.txt");
    ASSERT_TRUE(folder.fs().SetFileTimes("C:\\t.txt", {Creation, Access, Write}));
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(fileTimeFromUnix(st.st_mtim.tv_sec, static_cast<uint32_t>(st.st_mtim.tv_nsec)), Write);
    EXPECT_EQ(fileTimeFromUnix(st.st_atim.tv_sec, static_cast<uint32_t>(st.st_atim.tv_nsec)), Access);
    EXPECT_EQ(xattrOf(file, BirthTimeName), "1d7107c345d4007");
}

TEST(FileTimes, ZeroLeavesATimeAlone)
{
    FsTestFolder folder;
    folder.file("t.txt");
    ASSERT_TRUE(folder.fs().SetFileTimes("C:\\t.txt", {Creation, Access, Write}));
    ASSERT_TRUE(folder.fs().SetFileTimes("C:\\t.txt", {0, 0, Write + 10000000}));
    const auto times = folder.fs().GetFileTimes("C:\\t.txt");
    ASSERT_TRUE(times);
    EXPECT_EQ(times->creation, Creation);
    EXPECT_EQ(times->lastAccess, Access);
    EXPECT_EQ(times->lastWrite, Write + 10000000);
}

TEST(FileTimes, TimesBefore1970AndOfFoldersRoundTrip)
{
    FsTestFolder folder;
    folder.folder("Old");
    const FileTime in1965 = fileTimeFromUnix(-157766400, 500000000); // 1965-01-01 00:00:00.5
    ASSERT_TRUE(folder.fs().SetFileTimes("C:\\Old", {in1965, in1965, in1965}));
    const auto times = folder.fs().GetFileTimes("C:\\old");
    ASSERT_TRUE(times);
    EXPECT_EQ(times->lastWrite, in1965);
    EXPECT_EQ(times->creation, in1965);
}

TEST(FileTimes, CreationWithoutStoredTimeIsTheHostBirthOrChangeTime)
{
    FsTestFolder folder;
    const fs::path file = folder.file("new.txt");
    struct statx sx {};
    ASSERT_EQ(::statx(AT_FDCWD, file.c_str(), 0, STATX_BTIME | STATX_CTIME, &sx), 0);
    const statx_timestamp& expected = (sx.stx_mask & STATX_BTIME) ? sx.stx_btime : sx.stx_ctime;
    const auto times = folder.fs().GetFileTimes("C:\\new.txt");
    ASSERT_TRUE(times);
    EXPECT_EQ(times->creation, fileTimeFromUnix(expected.tv_sec, expected.tv_nsec));
}

TEST(FileTimes, MalformedStoredTimeIsIgnored)
{
    FsTestFolder folder;
    const fs::path file = folder.file("t.txt");
    setXattr(file, BirthTimeName, "not hex");
    const auto times = folder.fs().GetFileTimes("C:\\t.txt");
    ASSERT_TRUE(times);
    EXPECT_NE(times->creation, 0u);
}

TEST(FileTimes, ConversionOfTheEpochs)
{
    EXPECT_EQ(fileTimeFromUnix(0, 0), 116444736000000000ULL);
    EXPECT_EQ(unixFromFileTime(116444736000000000ULL + 15).tv_nsec, 1500);
    EXPECT_EQ(unixFromFileTime(Write).tv_sec, 1665526400) << "2022-10-11 22:13:20 UTC";
    EXPECT_EQ(unixFromFileTime(Write).tv_nsec, 222222200);
    EXPECT_EQ(fileTimeFromUnix(-11644473601LL, 0), 1u) << "before 1601 clamps to the first tick";
}

TEST(FileTimes, MissingEntriesFail)
{
    FsTestFolder folder;
    folder.fifo("pipe");
    EXPECT_FALSE(folder.fs().SetFileTimes("C:\\missing", {Creation, Access, Write}));
    EXPECT_FALSE(folder.fs().SetFileTimes("C:\\pipe", {0, Access, 0}));
    EXPECT_FALSE(folder.fs().GetFileTimes("C:\\missing"));
}

struct ExistsCase {
    const char* name;
    const char* path;
    bool file;
    bool folder;
};

class ExistsTests : public ::testing::TestWithParam<ExistsCase> {};

TEST_P(ExistsTests, AreFalseForTheOtherKind)
{
    FsTestFolder folder;
    folder.file("file.txt");
    folder.folder("Folder");
    folder.fifo("pipe");
    folder.link("file-link", "file.txt");
    folder.link("folder-link", "Folder");
    folder.link("dangling", "nowhere");
    const ExistsCase& c = GetParam();
    EXPECT_EQ(folder.fs().FileExists(c.path), c.file) << c.path;
    EXPECT_EQ(folder.fs().DirectoryExists(c.path), c.folder) << c.path;
}

const ExistsCase existsCases[] = {
    {"File", "C:\\file.txt", true, false},
    {"FileCaseBlind", "C:\\FILE.TXT", true, false},
    {"Folder", "C:\\Folder", false, true},
    {"FolderWithBackslash", "C:\\Folder\\", false, true},
    {"DriveRoot", "C:\\", false, true},
    {"Missing", "C:\\missing", false, false},
    {"Fifo", "C:\\pipe", false, false},
    {"LinkToFile", "C:\\file-link", true, false},
    {"LinkToFolder", "C:\\folder-link", false, true},
    {"DanglingLink", "C:\\dangling", false, false},
    {"UnknownDrive", "Q:\\file.txt", false, false},
    {"Unc", "\\\\server\\file.txt", false, false},
};

INSTANTIATE_TEST_SUITE_P(Table, ExistsTests, ::testing::ValuesIn(existsCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CreateDirectory, MakesOneLevelOnly)
{
    FsTestFolder folder;
    EXPECT_TRUE(folder.fs().CreateDirectory("C:\\New"));
    EXPECT_TRUE(fs::is_directory(folder.c() / "New"));
    EXPECT_FALSE(folder.fs().CreateDirectory("C:\\New")) << "exists already";
    EXPECT_FALSE(folder.fs().CreateDirectory("C:\\A\\B")) << "the parent is missing";
    EXPECT_FALSE(fs::exists(folder.c() / "A"));
    EXPECT_TRUE(folder.fs().CreateDirectory("C:\\NEW\\Inner")) << "the parent found without regard to case";
    EXPECT_TRUE(fs::is_directory(folder.c() / "New" / "Inner"));
}

TEST(CreateEmptyFile, CreatesAndTruncates)
{
    FsTestFolder folder;
    const fs::path file = folder.file("f.txt", "old content");
    EXPECT_TRUE(folder.fs().CreateEmptyFile("C:\\F.TXT"));
    EXPECT_EQ(fs::file_size(file), 0u);
    EXPECT_TRUE(folder.fs().CreateEmptyFile("C:\\g.txt"));
    EXPECT_TRUE(fs::is_regular_file(folder.c() / "g.txt"));
}

TEST(CreateEmptyFile, RefusesReadOnlyFilesFoldersAndFifos)
{
    FsTestFolder folder;
    const fs::path file = folder.file("ro.txt", "keep");
    ASSERT_EQ(::chmod(file.c_str(), 0444), 0);
    folder.folder("Folder");
    folder.fifo("pipe");
    EXPECT_FALSE(folder.fs().CreateEmptyFile("C:\\ro.txt"));
    EXPECT_EQ(fs::file_size(file), 4u);
    EXPECT_FALSE(folder.fs().CreateEmptyFile("C:\\Folder"));
    EXPECT_FALSE(folder.fs().CreateEmptyFile("C:\\pipe"));
}

TEST(DeleteFile, RemovesFilesAndLinksButNeverFolders)
{
    FsTestFolder folder;
    folder.file("f.txt");
    folder.file("Folder/inside.txt");
    folder.file("target.txt");
    folder.link("file-link", "target.txt");
    folder.link("folder-link", "Folder");
    EXPECT_TRUE(folder.fs().DeleteFile("C:\\F.txt"));
    EXPECT_FALSE(fs::exists(folder.c() / "f.txt"));
    EXPECT_FALSE(folder.fs().DeleteFile("C:\\Folder"));
    EXPECT_TRUE(fs::exists(folder.c() / "Folder" / "inside.txt"));
    EXPECT_TRUE(folder.fs().DeleteFile("C:\\file-link"));
    EXPECT_FALSE(fs::is_symlink(folder.c() / "file-link"));
    EXPECT_TRUE(fs::exists(folder.c() / "target.txt")) << "the target stays";
    EXPECT_TRUE(folder.fs().DeleteFile("C:\\folder-link"));
    EXPECT_TRUE(fs::exists(folder.c() / "Folder" / "inside.txt")) << "the linked folder stays whole";
}

TEST(DeleteFile, RefusesReadOnlyFilesFifosDanglingLinksAndMissingFiles)
{
    FsTestFolder folder;
    const fs::path readOnly = folder.file("ro.txt");
    ASSERT_EQ(::chmod(readOnly.c_str(), 0444), 0);
    folder.fifo("pipe");
    folder.link("dangling", "nowhere");
    EXPECT_FALSE(folder.fs().DeleteFile("C:\\ro.txt"));
    EXPECT_TRUE(fs::exists(readOnly));
    EXPECT_FALSE(folder.fs().DeleteFile("C:\\pipe"));
    EXPECT_TRUE(fs::exists(folder.c() / "pipe"));
    EXPECT_FALSE(folder.fs().DeleteFile("C:\\dangling"));
    EXPECT_TRUE(fs::is_symlink(folder.c() / "dangling"));
    EXPECT_FALSE(folder.fs().DeleteFile("C:\\missing"));
    ASSERT_TRUE(folder.fs().SetFileAttributes("C:\\ro.txt", 0));
    EXPECT_TRUE(folder.fs().DeleteFile("C:\\ro.txt")) << "after its attributes were cleared";
}

TEST(RemoveDirectory, RemovesEmptyFoldersOnly)
{
    FsTestFolder folder;
    folder.folder("Empty");
    folder.file("Full/x.txt");
    folder.file("f.txt");
    EXPECT_TRUE(folder.fs().RemoveDirectory("C:\\EMPTY"));
    EXPECT_FALSE(fs::exists(folder.c() / "Empty"));
    EXPECT_FALSE(folder.fs().RemoveDirectory("C:\\Full"));
    EXPECT_TRUE(fs::exists(folder.c() / "Full" / "x.txt"));
    EXPECT_FALSE(folder.fs().RemoveDirectory("C:\\f.txt"));
    EXPECT_FALSE(folder.fs().RemoveDirectory("C:\\missing"));
}

TEST(RemoveDirectory, OnALinkRemovesTheLinkOnly)
{
    FsTestFolder folder;
    folder.file("Full/x.txt");
    folder.file("f.txt");
    folder.link("folder-link", "Full");
    folder.link("file-link", "f.txt");
    EXPECT_TRUE(folder.fs().RemoveDirectory("C:\\folder-link"));
    EXPECT_FALSE(fs::is_symlink(folder.c() / "folder-link"));
    EXPECT_TRUE(fs::exists(folder.c() / "Full" / "x.txt"));
    EXPECT_FALSE(folder.fs().RemoveDirectory("C:\\file-link")) << "not a folder";
    EXPECT_TRUE(fs::is_symlink(folder.c() / "file-link"));
}

TEST(RemoveDirectory, NeverTheDriveRoot)
{
    FsTestFolder folder;
    const fs::path root = folder.addDrive('e');
    EXPECT_FALSE(folder.fs().RemoveDirectory("E:\\"));
    EXPECT_FALSE(folder.fs().RemoveDirectory("E:\\sub\\.."));
    EXPECT_TRUE(fs::is_directory(root));
}

TEST(GetFileSize, OfFilesOnly)
{
    FsTestFolder folder;
    folder.file("f.txt", "12345");
    folder.folder("Folder");
    const fs::path big = folder.file("big.bin");
    fs::resize_file(big, (4ULL << 30) + 1);
    EXPECT_EQ(folder.fs().GetFileSize("C:\\f.txt"), 5u);
    EXPECT_EQ(folder.fs().GetFileSize("C:\\big.bin"), (4ULL << 30) + 1);
    EXPECT_EQ(folder.fs().GetFileSize("C:\\Folder"), std::nullopt);
    EXPECT_EQ(folder.fs().GetFileSize("C:\\missing"), std::nullopt);
}

TEST(TextLines, ReadAcceptsEveryLineEnd)
{
    FsTestFolder folder;
    folder.file("t.ini", "one\r\ntwo\rthree\nfour");
    EXPECT_EQ(folder.fs().ReadLines("C:\\T.INI"), (std::vector<std::string>{"one", "two", "three", "four"}));
    folder.file("empty.ini");
    EXPECT_EQ(folder.fs().ReadLines("C:\\empty.ini"), std::vector<std::string>{});
}

TEST(TextLines, ReadFailsForMissingFilesFoldersAndFifos)
{
    FsTestFolder folder;
    folder.folder("Folder");
    folder.fifo("pipe");
    EXPECT_EQ(folder.fs().ReadLines("C:\\missing.ini"), std::nullopt);
    EXPECT_EQ(folder.fs().ReadLines("C:\\Folder"), std::nullopt);
    EXPECT_EQ(folder.fs().ReadLines("C:\\pipe"), std::nullopt) << "and does not block";
}

TEST(TextLines, WriteEndsEveryLineWithCrLf)
{
    FsTestFolder folder;
    ASSERT_TRUE(folder.fs().WriteLines("C:\\out.ini", {"a", "", "b"}));
    std::string bytes;
    ASSERT_TRUE(readWholeFile(folder.c() / "out.ini", bytes));
    EXPECT_EQ(bytes, "a\r\n\r\nb\r\n");
    ASSERT_TRUE(folder.fs().WriteLines("C:\\out.ini", {}));
    ASSERT_TRUE(readWholeFile(folder.c() / "out.ini", bytes));
    EXPECT_EQ(bytes, "");
}

TEST(TextLines, WriteReplacesAtomicallyAndLeavesNoTemporaryFile)
{
    FsTestFolder folder;
    folder.file("Config/out.ini", "old\r\n");
    ASSERT_TRUE(folder.fs().WriteLines("C:\\config\\OUT.ini", {"new"}));
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder.c() / "Config"))
        names.push_back(entry.path().filename().string());
    EXPECT_EQ(names, std::vector<std::string>{"out.ini"});
    EXPECT_EQ(folder.fs().ReadLines("C:\\Config\\out.ini"), std::vector<std::string>{"new"});
}

TEST(TextLines, WriteThroughALinkReplacesTheTargetAndKeepsTheLink)
{
    FsTestFolder folder;
    folder.file("real.ini", "old\r\n");
    folder.link("linked.ini", "real.ini");
    ASSERT_TRUE(folder.fs().WriteLines("C:\\linked.ini", {"new"}));
    EXPECT_TRUE(fs::is_symlink(folder.c() / "linked.ini"));
    EXPECT_EQ(folder.fs().ReadLines("C:\\real.ini"), std::vector<std::string>{"new"});
}

TEST(TextLines, WriteKeepsTheStoredAttributes)
{
    FsTestFolder folder;
    folder.file("hidden.ini", "old\r\n");
    ASSERT_TRUE(folder.fs().SetFileAttributes("C:\\hidden.ini", FileAttribute::Hidden));
    ASSERT_TRUE(folder.fs().WriteLines("C:\\hidden.ini", {"new"}));
    EXPECT_EQ(folder.fs().GetFileAttributes("C:\\hidden.ini"), FileAttribute::Hidden);
}

TEST(TextLines, WriteRefusesReadOnlyFilesFoldersAndFifos)
{
    FsTestFolder folder;
    const fs::path readOnly = folder.file("ro.ini", "keep\r\n");
    ASSERT_EQ(::chmod(readOnly.c_str(), 0444), 0);
    folder.folder("Folder");
    folder.fifo("pipe");
    EXPECT_FALSE(folder.fs().WriteLines("C:\\ro.ini", {"lost"}));
    EXPECT_EQ(folder.fs().ReadLines("C:\\ro.ini"), std::vector<std::string>{"keep"});
    EXPECT_FALSE(folder.fs().WriteLines("C:\\Folder", {"x"}));
    EXPECT_FALSE(folder.fs().WriteLines("C:\\pipe", {"x"}));
    EXPECT_FALSE(folder.fs().WriteLines("C:\\Missing\\x.ini", {"x"}));
    EXPECT_FALSE(folder.fs().WriteLines("Q:\\x.ini", {"x"}));
}

TEST(OpenExclusive, LocksTheFileAgainstASecondOpening)
{
    FsTestFolder folder;
    folder.file("f.bin", "data");
    const int fd = folder.fs().OpenExclusive("C:\\F.BIN", true);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(::write(fd, "DA", 2), 2);
    EXPECT_EQ(folder.fs().OpenExclusive("C:\\f.bin", false), -1) << "locked by the first";
    ::close(fd);
    const int again = folder.fs().OpenExclusive("C:\\f.bin", false);
    EXPECT_GE(again, 0) << "free once closed";
    ::close(again);
    EXPECT_EQ(folder.fs().ReadLines("C:\\f.bin"), std::vector<std::string>{"DAta"});
}

TEST(OpenExclusive, RefusesLinksFifosFoldersAndMissingFiles)
{
    FsTestFolder folder;
    folder.file("f.bin");
    folder.link("link.bin", "f.bin");
    folder.fifo("pipe");
    folder.folder("Folder");
    EXPECT_EQ(folder.fs().OpenExclusive("C:\\link.bin", true), -1);
    EXPECT_EQ(folder.fs().OpenExclusive("C:\\pipe", false), -1);
    EXPECT_EQ(folder.fs().OpenExclusive("C:\\Folder", false), -1);
    EXPECT_EQ(folder.fs().OpenExclusive("C:\\missing", false), -1);
}

TEST(OpenExclusive, FileLockedElsewhereIsRefused)
{
    FsTestFolder folder;
    const fs::path file = folder.file("f.bin");
    const int other = ::open(file.c_str(), O_RDONLY);
    ASSERT_GE(other, 0);
    ASSERT_EQ(::flock(other, LOCK_SH), 0);
    EXPECT_EQ(folder.fs().OpenExclusive("C:\\f.bin", true), -1);
    ::close(other);
}

} // namespace
} // namespace tw::test
