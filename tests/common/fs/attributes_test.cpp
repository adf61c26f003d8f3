#include <cstdio>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "common/fs/dosattributes.h"
#include "common/fs/filesystem.h"
#include "common/fs/hostmode.h"
#include "fstestfolder.h"

namespace tw::test {
namespace {

namespace fs = std::filesystem;
using namespace FileAttribute;

mode_t modeOf(const fs::path& path)
{
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st.st_mode & 07777;
}

struct DosAttribCase {
    const char* name;
    std::string_view value;
    std::optional<uint32_t> expected;
};

class DosAttribParsing : public ::testing::TestWithParam<DosAttribCase> {};

TEST_P(DosAttribParsing, AcceptsOnlyHexAfterZeroX)
{
    EXPECT_EQ(parseDosAttrib(GetParam().value), GetParam().expected);
}

using namespace std::string_view_literals;

const DosAttribCase dosAttribCases[] = {
    {"Hidden", "0x2", 0x2},
    {"HiddenSystem", "0x6", 0x6},
    {"UpperCaseDigits", "0x2A", 0x2A},
    {"Padded", "0x00000020", 0x20},
    {"EndsAtNul", "0x22\0binary\x01\x02"sv, 0x22},
    {"SambaBlob", "0x20\0\x04\x00\x04\x00\x00\x00"sv, 0x20},
    {"UpperCaseX", "0X2", std::nullopt},
    {"NoPrefix", "2", std::nullopt},
    {"PrefixOnly", "0x", std::nullopt},
    {"NotHex", "0xg", std::nullopt},
    {"TrailingBlank", "0x2 ", std::nullopt},
    {"TrailingNewline", "0x2\n", std::nullopt},
    {"TooWide", "0x123456789", std::nullopt},
    {"Empty", "", std::nullopt},
};

INSTANTIATE_TEST_SUITE_P(Table, DosAttribParsing, ::testing::ValuesIn(dosAttribCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct StoredCase {
    const char* name;
    const char* fileName;
    bool folder;
    const char* stored; // the raw user.DOSATTRIB value; nullptr: none
    uint32_t expected;
};

class StoredAttributesRead : public ::testing::TestWithParam<StoredCase> {};

TEST_P(StoredAttributesRead, GiveTheAttributes)
{
    FsTestFolder folder;
    const StoredCase& c = GetParam();
    const fs::path path = c.folder ? folder.folder(c.fileName) : folder.file(c.fileName);
    if (c.stored)
        setXattr(path, DosAttribName, c.stored);
    EXPECT_EQ(folder.fs().GetFileAttributes(std::string("C:\\") + c.fileName), c.expected);
    EXPECT_EQ(findEntry(folder.fs(), "C:", c.fileName).attributes, c.expected) << "enumeration agrees";
}

const StoredCase storedCases[] = {
    {"PlainFileIsArchive", "plain.txt", false, nullptr, Archive},
    {"DotFileIsHiddenArchive", ".bashrc", false, nullptr, Hidden | Archive},
    {"PlainFolder", "Folder", true, nullptr, Directory},
    {"DotFolderIsHidden", ".cache", true, nullptr, Directory | Hidden},
    {"StoredHiddenWithoutArchive", "plain.txt", false, "0x2", Hidden},
    {"StoredHiddenSystemArchive", "plain.txt", false, "0x26", Hidden | System | Archive},
    {"StoredZeroMakesDotFileVisible", ".bashrc", false, "0x0", 0},
    {"StoredSystemFolder", "Folder", true, "0x4", Directory | System},
    {"OtherBitsIgnored", "plain.txt", false, "0x83", Hidden},
    {"InvalidValueGivesNoHiddenEvenForDotFile", ".bashrc", false, "junk", Archive},
    {"InvalidValueOnFolder", "Folder", true, "2", Directory},
};

INSTANTIATE_TEST_SUITE_P(Table, StoredAttributesRead, ::testing::ValuesIn(storedCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct RoundTripCase {
    const char* name;
    const char* fileName;
    bool folder;
    uint32_t set;
    uint32_t expected;
};

class AttributeRoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(AttributeRoundTrip, ReadsBackWhatWasSet)
{
    FsTestFolder folder;
    const RoundTripCase& c = GetParam();
    if (c.folder)
        folder.folder(c.fileName);
    else
        folder.file(c.fileName);
    const std::string path = std::string("C:\\") + c.fileName;
    ASSERT_TRUE(folder.fs().SetFileAttributes(path, c.set));
    EXPECT_EQ(folder.fs().GetFileAttributes(path), c.expected);
    // And back to nothing: setting 0 clears every settable bit.
    ASSERT_TRUE(folder.fs().SetFileAttributes(path, 0));
    EXPECT_EQ(folder.fs().GetFileAttributes(path), c.folder ? Directory : 0u);
}

const RoundTripCase roundTripCases[] = {
    {"FileZero", "f.txt", false, 0, 0},
    {"FileNormalIsZero", "f.txt", false, Normal, 0},
    {"FileReadOnly", "f.txt", false, ReadOnly, ReadOnly},
    {"FileHidden", "f.txt", false, Hidden, Hidden},
    {"FileSystem", "f.txt", false, System, System},
    {"FileArchive", "f.txt", false, Archive, Archive},
    {"FileAll", "f.txt", false, ReadOnly | Hidden | System | Archive, ReadOnly | Hidden | System | Archive},
    {"DotFileZero", ".f", false, 0, 0},
    {"DotFileHiddenArchive", ".f", false, Hidden | Archive, Hidden | Archive},
    {"DotFileSystem", ".f", false, System, System},
    {"FolderHiddenSystem", "D", true, Hidden | System, Directory | Hidden | System},
    {"FolderArchive", "D", true, Archive, Directory | Archive},
    {"FolderReadOnlyIgnored", "D", true, ReadOnly, Directory},
    {"DirectoryBitIgnored", "f.txt", false, Directory | Hidden, Hidden},
};

INSTANTIATE_TEST_SUITE_P(Table, AttributeRoundTrip, ::testing::ValuesIn(roundTripCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(AttributeStorage, WritesWinesTextFormOnlyWhenTheDefaultsDiffer)
{
    FsTestFolder folder;
    const fs::path file = folder.file("f.txt");
    ASSERT_TRUE(folder.fs().SetFileAttributes("C:\\f.txt", Hidden | System));
    EXPECT_EQ(xattrOf(file, DosAttribName), "0x6");
    ASSERT_TRUE(folder.fs().SetFileAttributes("C:\\f.txt", Archive));
    EXPECT_EQ(xattrOf(file, DosAttribName), std::nullopt) << "archive alone is a file's default";
    ASSERT_TRUE(folder.fs().SetFileAttributes("C:\\f.txt", 0));
    EXPECT_EQ(xattrOf(file, DosAttribName), "0x0") << "without it the file would read back as archive";
}

TEST(AttributeStorage, OnDiskFormIsWhatGetfattrShows)
{
    if (std::system("command -v getfattr >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "getfattr is not installed";
    FsTestFolder folder;
    const fs::path file = folder.file("seen.txt");
    ASSERT_TRUE(folder.fs().SetFileAttributes("C:\\seen.txt", Hidden));
    const std::string command = "getfattr --absolute-names --only-values -n user.DOSATTRIB '" + file.string() + "'";
    FILE* pipe = ::popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    char buffer[64] = {};
    const size_t n = std::fread(buffer, 1, sizeof buffer - 1, pipe);
    ::pclose(pipe);
    EXPECT_EQ(std::string(buffer, n), "0x2");
}

TEST(ReadOnlyAttribute, SettingClearsEveryWriteBit)
{
    FsTestFolder folder;
    const fs::path file = folder.file("f.txt");
    ASSERT_EQ(::chmod(file.c_str(), 0664), 0);
    ASSERT_TRUE(folder.fs().SetFileAttributes("C:\\f.txt", ReadOnly));
    EXPECT_EQ(modeOf(file), 0444u);
}

TEST(ReadOnlyAttribute, ClearingAddsWriteWhereReadIsLessTheUmask)
{
    FsTestFolder folder; // umask 022
    const fs::path file = folder.file("f.txt");
    ASSERT_EQ(::chmod(file.c_str(), 0440), 0);
    EXPECT_EQ(folder.fs().GetFileAttributes("C:\\f.txt"), ReadOnly | Archive);
    ASSERT_TRUE(folder.fs().SetFileAttributes("C:\\f.txt", Archive));
    EXPECT_EQ(modeOf(file), 0640u);
    EXPECT_EQ(folder.fs().GetFileAttributes("C:\\f.txt"), Archive);
}

TEST(ReadOnlyAttribute, ClearingLeavesAWritableModeAlone)
{
    FsTestFolder folder;
    const fs::path file = folder.file("f.txt");
    ASSERT_EQ(::chmod(file.c_str(), 0602), 0);
    ASSERT_TRUE(folder.fs().SetFileAttributes("C:\\f.txt", 0));
    EXPECT_EQ(modeOf(file), 0602u);
}

TEST(ReadOnlyAttribute, ModeRules)
{
    EXPECT_EQ(modeForReadOnly(0755, true, true), 0755u) << "folders keep their write bits";
    EXPECT_EQ(modeForReadOnly(0555, true, false), 0755u) << "clearing works on folders too";
    EXPECT_EQ(modeForReadOnly(0000, false, false), 0600u) << "owner read and write";
    EXPECT_TRUE(isReadOnlyMode(0444));
    EXPECT_FALSE(isReadOnlyMode(0446));
}

TEST(ReadOnlyAttribute, HiddenCanBeSetOnAReadOnlyFileInOneCall)
{
    FsTestFolder folder;
    const fs::path file = folder.file("f.txt");
    ASSERT_EQ(::chmod(file.c_str(), 0444), 0);
    ASSERT_TRUE(folder.fs().SetFileAttributes("C:\\f.txt", Hidden));
    EXPECT_EQ(folder.fs().GetFileAttributes("C:\\f.txt"), Hidden);
    ASSERT_TRUE(folder.fs().SetFileAttributes("C:\\f.txt", ReadOnly | System));
    EXPECT_EQ(folder.fs().GetFileAttributes("C:\\f.txt"), ReadOnly | System);
}

TEST(AttributeChanges, ThroughALinkChangeTheTarget)
{
    FsTestFolder folder;
    const fs::path target = folder.file("target.txt");
    folder.link("link.txt", "target.txt");
    ASSERT_TRUE(folder.fs().SetFileAttributes("C:\\link.txt", Hidden));
    EXPECT_EQ(folder.fs().GetFileAttributes("C:\\target.txt"), Hidden);
    EXPECT_EQ(folder.fs().GetFileAttributes("C:\\link.txt"), Hidden | ReparsePoint);
}

TEST(AttributeChanges, FailForMissingEntriesAndFifos)
{
    FsTestFolder folder;
    folder.fifo("pipe");
    EXPECT_FALSE(folder.fs().SetFileAttributes("C:\\missing.txt", Hidden));
    EXPECT_FALSE(folder.fs().SetFileAttributes("C:\\pipe", Hidden));
    EXPECT_FALSE(folder.fs().SetFileAttributes("Q:\\x", 0));
    EXPECT_EQ(folder.fs().GetFileAttributes("C:\\pipe"), std::nullopt);
    EXPECT_EQ(folder.fs().GetFileAttributes("C:\\missing.txt"), std::nullopt);
}

TEST(AttributeChanges, FileSystemWithoutUserAttributesRefusesHiddenButNotTheDefaults)
{
    // proc holds regular files but no user extended attributes; the test only
    // tries to mark a file of its own process, which the kernel refuses.
    FsTestFolder folder;
    folder.addDrive('p', "/proc/self");
    ASSERT_EQ(folder.fs().GetFileAttributes("P:\\comm"), Archive);
    EXPECT_FALSE(folder.fs().SetFileAttributes("P:\\comm", Hidden | Archive));
    EXPECT_FALSE(folder.fs().SetFileAttributes("P:\\comm", 0)) << "clearing archive needs the attribute too";
    EXPECT_TRUE(folder.fs().SetFileAttributes("P:\\comm", Archive)) << "what the file shows already needs nothing";
    EXPECT_EQ(folder.fs().GetFileAttributes("P:\\comm"), Archive);
}

TEST(AttributeChanges, DriveRootIsNotHiddenByItsHostName)
{
    FsTestFolder folder;
    const fs::path hiddenRoot = folder.root() / ".hidden-root";
    fs::create_directories(hiddenRoot);
    folder.addDrive('h', hiddenRoot);
    EXPECT_EQ(folder.fs().GetFileAttributes("H:\\"), Directory);
}

} // namespace
} // namespace tw::test
