#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "common/shell/shell.h"
#include "support/hostfiles.h"
#include "support/tempprefix.h"

namespace tw {
namespace {

namespace fs = std::filesystem;
using test::readHostFile;
using test::present;
using namespace ShellOp;

// The flags of the removal modes that every caller uses.
constexpr uint16_t RecycleFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_ALLOWUNDO | FOF_FILESONLY; // 0x00D4
constexpr uint16_t PlainFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_FILESONLY;                   // 0x0094
constexpr uint16_t FolderFlags = FOF_SILENT | FOF_NOCONFIRMATION;

class ShellFileOperationTest : public ::testing::Test {
protected:
    test::TempPrefix prefix;

    // The request as callers build it: the path with two NULs, the folder as given.
    int run(uint32_t function, std::string_view path, std::string_view destination, uint16_t flags)
    {
        FileOperation operation;
        operation.function = function;
        operation.from = std::string(path) + std::string(2, '\0');
        operation.to = std::string(destination);
        operation.flags = flags;
        return prefix.env().shell().SHFileOperation(operation);
    }

    uint64_t trashItems() { return prefix.env().shell().SHQueryRecycleBin().items; }
};

TEST_F(ShellFileOperationTest, ToTheRecycleBinWithAllowUndo)
{
    const fs::path file = prefix.writeFile("C:\\work\\junk.tmp", "junk");
    EXPECT_EQ(RecycleFlags, 0x00D4);
    EXPECT_EQ(run(FO_DELETE, "C:\\work\\junk.tmp", "C:\\deleted", RecycleFlags), 0);
    EXPECT_FALSE(present(file));
    EXPECT_EQ(readHostFile(prefix.homeTrash() / "files" / "junk.tmp"), "junk");
    EXPECT_NE(readHostFile(prefix.homeTrash() / "info" / "junk.tmp.trashinfo").find("Path=" + file.string() + "\n"),
              std::string::npos);
    EXPECT_EQ(trashItems(), 1u);
}

TEST_F(ShellFileOperationTest, PathsMatchWithoutRegardToCase)
{
    const fs::path file = prefix.writeFile("C:\\Work\\Junk.TMP", "junk");
    EXPECT_EQ(run(FO_DELETE, "c:\\WORK\\junk.tmp", "", RecycleFlags), 0);
    EXPECT_FALSE(present(file));
    EXPECT_TRUE(present(prefix.homeTrash() / "files" / "Junk.TMP"));
}

TEST_F(ShellFileOperationTest, PermanentDeleteBypassesTheRecycleBin)
{
    const fs::path file = prefix.writeFile("C:\\work\\junk.tmp", "junk");
    EXPECT_EQ(PlainFlags, 0x0094);
    EXPECT_EQ(run(FO_DELETE, "C:\\work\\junk.tmp", "C:\\deleted", PlainFlags), 0);
    EXPECT_FALSE(present(file));
    EXPECT_EQ(trashItems(), 0u);
}

TEST_F(ShellFileOperationTest, PermanentDeleteOfAFolderNeverFollowsLinks)
{
    const fs::path outside = prefix.writeFile("C:\\keep\\precious.txt", "precious");
    prefix.writeFile("C:\\tree\\a\\b.txt", "b");
    fs::create_directory_symlink(outside.parent_path(), prefix.host("C:\\tree\\a\\link"));
    EXPECT_EQ(run(FO_DELETE, "C:\\tree", "", FolderFlags), 0);
    EXPECT_FALSE(present(prefix.host("C:\\tree")));
    EXPECT_EQ(readHostFile(outside), "precious");
}

TEST_F(ShellFileOperationTest, DeletingALinkRemovesTheLinkOnly)
{
    const fs::path target = prefix.writeFile("C:\\keep\\target.txt", "target");
    const fs::path link = prefix.host("C:\\work\\link.txt");
    fs::create_directories(link.parent_path());
    fs::create_symlink(target, link);
    EXPECT_EQ(run(FO_DELETE, "C:\\work\\link.txt", "", RecycleFlags), 0);
    EXPECT_TRUE(fs::is_symlink(prefix.homeTrash() / "files" / "link.txt"));
    EXPECT_EQ(readHostFile(target), "target");

    fs::create_symlink(target, link);
    EXPECT_EQ(run(FO_DELETE, "C:\\work\\link.txt", "", PlainFlags), 0);
    EXPECT_FALSE(present(link));
    EXPECT_EQ(readHostFile(target), "target");
}

TEST_F(ShellFileOperationTest, ADanglingLinkIsNotAFile)
{
    const fs::path link = prefix.host("C:\\work\\dangling");
    fs::create_directories(link.parent_path());
    fs::create_symlink(prefix.root() / "nowhere", link);
    EXPECT_EQ(run(FO_DELETE, "C:\\work\\dangling", "", PlainFlags), ShellError::FileNotFound);
    EXPECT_TRUE(fs::is_symlink(link));
}

struct RefusalCase {
    const char* label;
    uint32_t function;
    const char* source;
    const char* destination;
    uint16_t flags;
    int expected;
};

class ShellRefusalTest : public ShellFileOperationTest, public ::testing::WithParamInterface<RefusalCase> {};

// Every refusal leaves the file, the folder and the destination exactly as they were.
TEST_P(ShellRefusalTest, FailsWithoutTouchingAnything)
{
    const RefusalCase& c = GetParam();
    const fs::path file = prefix.writeFile("C:\\work\\file.txt", "content");
    prefix.writeFile("C:\\work\\folder\\inner.txt", "inner");
    prefix.writeFile("C:\\dest\\other.txt", "other");
    prefix.writeFile("C:\\plainfile", "plain");

    EXPECT_EQ(run(c.function, c.source, c.destination, c.flags), c.expected);
    EXPECT_EQ(readHostFile(file), "content");
    EXPECT_EQ(readHostFile(prefix.host("C:\\work\\folder\\inner.txt")), "inner");
    EXPECT_EQ(readHostFile(prefix.host("C:\\plainfile")), "plain");
    std::vector<std::string> destination;
    for (const auto& entry : fs::directory_iterator(prefix.host("C:\\dest")))
        destination.push_back(entry.path().filename().string());
    EXPECT_EQ(destination, std::vector<std::string>{"other.txt"});
    EXPECT_FALSE(present(prefix.host("C:\\deleted")));
    EXPECT_EQ(trashItems(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Refusals, ShellRefusalTest,
    ::testing::Values(
        RefusalCase{"function_zero", 0, "C:\\work\\file.txt", "C:\\dest", 0, ShellError::InvalidParameter},
        RefusalCase{"unknown_function", 9, "C:\\work\\file.txt", "C:\\dest", PlainFlags, ShellError::InvalidParameter},
        RefusalCase{"recycle_missing_file", FO_DELETE, "C:\\work\\gone.txt", "", RecycleFlags, ShellError::FileNotFound},
        RefusalCase{"delete_missing_file", FO_DELETE, "C:\\work\\gone.txt", "", PlainFlags, ShellError::FileNotFound},
        RefusalCase{"move_missing_file", FO_MOVE, "C:\\work\\gone.txt", "C:\\dest", PlainFlags, ShellError::FileNotFound},
        RefusalCase{"copy_missing_file", FO_COPY, "C:\\work\\gone.txt", "C:\\dest", PlainFlags, ShellError::FileNotFound},
        RefusalCase{"unknown_drive", FO_DELETE, "Q:\\work\\file.txt", "", PlainFlags, ShellError::FileNotFound},
        RefusalCase{"no_source", FO_DELETE, "", "", PlainFlags, ShellError::InvalidFiles},
        RefusalCase{"recycle_folder_files_only", FO_DELETE, "C:\\work\\folder", "", RecycleFlags, ShellError::InvalidFiles},
        RefusalCase{"delete_folder_files_only", FO_DELETE, "C:\\work\\folder", "", PlainFlags, ShellError::InvalidFiles},
        RefusalCase{"move_folder_files_only", FO_MOVE, "C:\\work\\folder", "C:\\dest", PlainFlags, ShellError::InvalidFiles},
        RefusalCase{"copy_folder_files_only", FO_COPY, "C:\\work\\folder", "C:\\dest", PlainFlags, ShellError::InvalidFiles},
        RefusalCase{"move_empty_destination", FO_MOVE, "C:\\work\\file.txt", "", PlainFlags, ShellError::InvalidFiles},
        RefusalCase{"copy_empty_destination", FO_COPY, "C:\\work\\file.txt", "", PlainFlags, ShellError::InvalidFiles},
        RefusalCase{"move_blank_destination", FO_MOVE, "C:\\work\\file.txt", "  ", PlainFlags, ShellError::InvalidFiles},
        RefusalCase{"move_missing_destination", FO_MOVE, "C:\\work\\file.txt", "C:\\deleted", PlainFlags, ShellError::PathNotFound},
        RefusalCase{"copy_missing_destination", FO_COPY, "C:\\work\\file.txt", "C:\\deleted\\", PlainFlags, ShellError::PathNotFound},
        RefusalCase{"move_destination_is_a_file", FO_MOVE, "C:\\work\\file.txt", "C:\\plainfile", PlainFlags, ShellError::PathNotFound},
        RefusalCase{"move_destination_unknown_drive", FO_MOVE, "C:\\work\\file.txt", "Q:\\", PlainFlags, ShellError::PathNotFound},
        RefusalCase{"move_into_its_own_folder", FO_MOVE, "C:\\work\\file.txt", "C:\\work", PlainFlags, ShellError::SameFile},
        RefusalCase{"copy_into_its_own_folder", FO_COPY, "C:\\work\\file.txt", "c:\\WORK\\", PlainFlags, ShellError::SameFile},
        RefusalCase{"folder_into_itself", FO_MOVE, "C:\\work\\folder", "C:\\work\\folder", FolderFlags, ShellError::DestinationSubtree},
        RefusalCase{"delete_drive_root", FO_DELETE, "C:\\", "", FolderFlags, ShellError::RootFolder},
        RefusalCase{"delete_drive_root_by_dots", FO_DELETE, "C:\\work\\..\\..", "", FolderFlags, ShellError::RootFolder},
        RefusalCase{"move_drive_root", FO_MOVE, "C:\\", "C:\\dest", FolderFlags, ShellError::RootFolder}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(ShellFileOperationTest, MoveIntoTheFolderKeepsTheName)
{
    const fs::path file = prefix.writeFile("C:\\work\\dup.bin", "data");
    prefix.makeFolder("C:\\dest");
    EXPECT_EQ(run(FO_MOVE, "C:\\work\\dup.bin", "C:\\dest", PlainFlags), 0);
    EXPECT_FALSE(present(file));
    EXPECT_EQ(readHostFile(prefix.host("C:\\dest\\dup.bin")), "data");
}

TEST_F(ShellFileOperationTest, MoveAndCopyReplaceAnExistingFileWithoutAsking)
{
    for (const uint32_t function : {FO_MOVE, FO_COPY}) {
        const fs::path file = prefix.writeFile("C:\\work\\dup.bin", "new");
        const fs::path old = prefix.writeFile("C:\\dest\\dup.bin", "old and longer");
        EXPECT_EQ(run(function, "C:\\work\\dup.bin", "C:\\dest\\", PlainFlags), 0) << function;
        EXPECT_EQ(readHostFile(old), "new") << function;
        EXPECT_EQ(present(file), function == FO_COPY) << function;
        // Nothing beside it: no temporary file left, no renamed copy.
        EXPECT_EQ(std::distance(fs::directory_iterator(old.parent_path()), fs::directory_iterator()), 1);
    }
}

TEST_F(ShellFileOperationTest, AnExistingTargetOfAnotherCaseIsTheOneReplaced)
{
    prefix.writeFile("C:\\work\\Report.TXT", "new");
    const fs::path old = prefix.writeFile("C:\\dest\\report.txt", "old");
    EXPECT_EQ(run(FO_MOVE, "C:\\work\\Report.TXT", "C:\\dest", PlainFlags), 0);
    EXPECT_EQ(readHostFile(old), "new");
    EXPECT_EQ(std::distance(fs::directory_iterator(old.parent_path()), fs::directory_iterator()), 1);
}

TEST_F(ShellFileOperationTest, CopyKeepsContentModeAndModificationTime)
{
    const fs::path file = prefix.writeFile("C:\\work\\photo.jpg", std::string(100000, 'p'));
    ::chmod(file.c_str(), 0640);
    const auto stamp = fs::file_time_type::clock::now() - std::chrono::hours(240);
    fs::last_write_time(file, stamp);
    prefix.makeFolder("C:\\dest");
    EXPECT_EQ(run(FO_COPY, "C:\\work\\photo.jpg", "C:\\dest", PlainFlags), 0);
    const fs::path copy = prefix.host("C:\\dest\\photo.jpg");
    EXPECT_EQ(readHostFile(copy), readHostFile(file));
    EXPECT_EQ(fs::status(copy).permissions(), fs::status(file).permissions());
    EXPECT_EQ(fs::last_write_time(copy), stamp);
}

TEST_F(ShellFileOperationTest, AFileIsNeverPutOntoAFolderNorAFolderOntoAnything)
{
    prefix.writeFile("C:\\work\\name", "file");
    prefix.writeFile("C:\\dest\\name\\inside.txt", "inside");
    EXPECT_EQ(run(FO_MOVE, "C:\\work\\name", "C:\\dest", PlainFlags), ShellError::FileOntoFolder);
    EXPECT_EQ(run(FO_COPY, "C:\\work\\name", "C:\\dest", PlainFlags), ShellError::FileOntoFolder);
    EXPECT_EQ(readHostFile(prefix.host("C:\\work\\name")), "file");

    prefix.writeFile("C:\\work2\\name\\x.txt", "x");
    EXPECT_EQ(run(FO_MOVE, "C:\\work2\\name", "C:\\dest", FolderFlags), ShellError::AlreadyExists);
    EXPECT_EQ(readHostFile(prefix.host("C:\\dest\\name\\inside.txt")), "inside");
    EXPECT_FALSE(present(prefix.host("C:\\dest\\name\\x.txt")));

    prefix.writeFile("C:\\dest2\\name", "a file");
    EXPECT_EQ(run(FO_COPY, "C:\\work2\\name", "C:\\dest2", FolderFlags), ShellError::FolderOntoFile);
    EXPECT_EQ(readHostFile(prefix.host("C:\\dest2\\name")), "a file");
}

TEST_F(ShellFileOperationTest, FoldersMoveAndCopyWholeWithoutFilesOnly)
{
    prefix.writeFile("C:\\work\\tree\\a.txt", "a");
    prefix.writeFile("C:\\work\\tree\\sub\\b.txt", "b");
    const fs::path link = prefix.host("C:\\work\\tree\\sub\\link");
    fs::create_symlink(prefix.root() / "outside", link);
    prefix.makeFolder("C:\\copy");
    prefix.makeFolder("C:\\moved");

    EXPECT_EQ(run(FO_COPY, "C:\\work\\tree", "C:\\copy", FolderFlags), 0);
    EXPECT_EQ(readHostFile(prefix.host("C:\\copy\\tree\\sub\\b.txt")), "b");
    EXPECT_EQ(fs::read_symlink(prefix.host("C:\\copy\\tree\\sub\\link")), prefix.root() / "outside");

    EXPECT_EQ(run(FO_MOVE, "C:\\work\\tree", "C:\\moved", FolderFlags), 0);
    EXPECT_FALSE(present(prefix.host("C:\\work\\tree")));
    EXPECT_EQ(readHostFile(prefix.host("C:\\moved\\tree\\a.txt")), "a");
}

TEST_F(ShellFileOperationTest, ALinkIsNeverPutOverTheFileItPointsTo)
{
    const fs::path data = prefix.writeFile("C:\\dest\\report.txt", "the only copy");
    const fs::path link = prefix.host("C:\\work\\report.txt");
    fs::create_directories(link.parent_path());
    fs::create_symlink(data, link);
    for (const uint32_t function : {FO_MOVE, FO_COPY}) {
        EXPECT_EQ(run(function, "C:\\work\\report.txt", "C:\\dest", PlainFlags), ShellError::SameFile) << function;
        EXPECT_FALSE(fs::is_symlink(data)) << function;
        EXPECT_EQ(readHostFile(data), "the only copy") << function;
        EXPECT_TRUE(fs::is_symlink(link)) << function;
    }
}

TEST_F(ShellFileOperationTest, SeveralSourcesAreDoneInOrder)
{
    prefix.writeFile("C:\\work\\one", "1");
    prefix.writeFile("C:\\work\\two", "2");
    FileOperation operation;
    operation.function = FO_DELETE;
    operation.from = std::string("C:\\work\\one") + '\0' + "C:\\work\\two" + '\0' + '\0';
    operation.flags = PlainFlags;
    EXPECT_EQ(prefix.env().shell().SHFileOperation(operation), 0);
    EXPECT_FALSE(present(prefix.host("C:\\work\\one")));
    EXPECT_FALSE(present(prefix.host("C:\\work\\two")));
    EXPECT_FALSE(operation.anyOperationsAborted);
}

TEST_F(ShellFileOperationTest, RecyclingOnADriveOutsideTheKnownFileSystemsFails)
{
    // The test's Recycle Bin only knows the test folder: a drive elsewhere has no
    // trash, and the file stays where it is.
    char pattern[] = "/dev/shm/tidewick-drive-XXXXXX";
    if (!fs::is_directory("/dev/shm") || !::mkdtemp(pattern))
        GTEST_SKIP() << "no /dev/shm for a drive outside the test folder";
    const fs::path drive = pattern;
    prefix.addDrive('D', drive);
    std::ofstream(drive / "file.txt") << "stays";
    EXPECT_EQ(run(FO_DELETE, "D:\\file.txt", "", RecycleFlags), ShellError::AccessDenied);
    EXPECT_EQ(readHostFile(drive / "file.txt"), "stays");
    EXPECT_FALSE(present(drive / (".Trash-" + std::to_string(::geteuid()))));
    fs::remove_all(drive);
}

TEST_F(ShellFileOperationTest, MoveAcrossFileSystemsCopiesThenRemoves)
{
    char pattern[] = "/dev/shm/tidewick-drive-XXXXXX";
    struct stat shm {};
    struct stat tmp {};
    if (::stat("/dev/shm", &shm) != 0 || ::stat(prefix.root().c_str(), &tmp) != 0 || shm.st_dev == tmp.st_dev
        || !::mkdtemp(pattern))
        GTEST_SKIP() << "/dev/shm is not a file system of its own here";
    const fs::path drive = pattern;
    prefix.addDrive('D', drive);
    std::ofstream(drive / "file.txt") << "travels";
    fs::create_directories(drive / "tree" / "sub");
    std::ofstream(drive / "tree" / "sub" / "x.txt") << "x";
    const fs::path old = prefix.writeFile("C:\\dest\\file.txt", "old");

    EXPECT_EQ(run(FO_MOVE, "D:\\file.txt", "C:\\dest", PlainFlags), 0);
    EXPECT_EQ(readHostFile(old), "travels");
    EXPECT_FALSE(present(drive / "file.txt"));
    EXPECT_EQ(run(FO_MOVE, "D:\\tree", "C:\\dest", FolderFlags), 0);
    EXPECT_EQ(readHostFile(prefix.host("C:\\dest\\tree\\sub\\x.txt")), "x");
    EXPECT_FALSE(present(drive / "tree"));
    EXPECT_EQ(std::distance(fs::directory_iterator(old.parent_path()), fs::directory_iterator()), 2);
    fs::remove_all(drive);
}

} // namespace
} // namespace tw
