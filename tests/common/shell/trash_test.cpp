#include "common/shell/trash.h"

#include <ctime>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

#include <gtest/gtest.h>

#include "common/base/text.h"
#include "common/shell/hosttree.h"
#include "support/hostfiles.h"
#include "support/tempprefix.h"

namespace tw {
namespace {

namespace fs = std::filesystem;
using test::readHostFile;
using test::writeHostFile;

mode_t modeOf(const fs::path& path)
{
    struct stat st {};
    EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
    return st.st_mode & 07777;
}

// The lines of an info file as a map key -> value (the first line kept as "").
std::map<std::string, std::string> infoOf(const fs::path& trash, const std::string& item)
{
    std::map<std::string, std::string> fields;
    const std::vector<std::string> lines = splitLines(readHostFile(trash / "info" / (item + ".trashinfo")));
    EXPECT_FALSE(lines.empty()) << "no info file for " << item;
    if (lines.empty())
        return fields;
    fields[""] = lines[0];
    for (size_t i = 1; i < lines.size(); ++i) {
        const size_t eq = lines[i].find('=');
        if (eq != std::string::npos)
            fields[lines[i].substr(0, eq)] = lines[i].substr(eq + 1);
    }
    return fields;
}

class TrashTest : public ::testing::Test {
protected:
    test::TempPrefix prefix;
    fs::path work = prefix.root() / "work";
    fs::path home = prefix.homeTrash();
    Trash trash{home, {prefix.root()}};

    void SetUp() override { fs::create_directories(work); }
};

TEST_F(TrashTest, PutMovesTheFileAndWritesItsInfoFileFirst)
{
    const fs::path file = work / "a.txt";
    writeHostFile(file, "hello");
    std::string error;
    ASSERT_TRUE(trash.put(file, &error)) << error;

    EXPECT_FALSE(fs::exists(file));
    EXPECT_EQ(readHostFile(home / "files" / "a.txt"), "hello");
    const auto info = infoOf(home, "a.txt");
    EXPECT_EQ(info.at(""), "[Trash Info]");
    EXPECT_EQ(info.at("Path"), file.string());

    // DeletionDate: local time, YYYY-MM-DDThh:mm:ss, and it is now.
    tm parsed {};
    const std::string date = info.at("DeletionDate");
    ASSERT_EQ(date.size(), 19u) << date;
    const char* end = ::strptime(date.c_str(), "%Y-%m-%dT%H:%M:%S", &parsed);
    ASSERT_TRUE(end && *end == '\0') << date;
    parsed.tm_isdst = -1;
    EXPECT_LE(std::abs(std::difftime(std::mktime(&parsed), std::time(nullptr))), 60.0) << date;

    EXPECT_EQ(modeOf(home), 0700u);
    EXPECT_EQ(modeOf(home / "files"), 0700u);
    EXPECT_EQ(modeOf(home / "info"), 0700u);
    EXPECT_EQ(modeOf(home / "info" / "a.txt.trashinfo"), 0600u);
}

TEST_F(TrashTest, SameNamesGetNumberedNamesAndNothingIsOverwritten)
{
    for (int i = 0; i < 3; ++i) {
        const fs::path file = work / std::to_string(i) / "same.txt";
        writeHostFile(file, "content " + std::to_string(i));
        ASSERT_TRUE(trash.put(file)) << i;
    }
    const std::string names[] = {"same.txt", "same.txt_1", "same.txt_2"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(readHostFile(home / "files" / names[i]), "content " + std::to_string(i)) << names[i];
        EXPECT_EQ(infoOf(home, names[i]).at("Path"), (work / std::to_string(i) / "same.txt").string());
    }
    EXPECT_EQ(trash.itemCount(), 3u);
}

// Junk of many folders often shares one name (Thumbs.db); numbered names run
// out, and trying them all each time would make every put slower than the last.
TEST_F(TrashTest, ManyItemsOfOneNameAllFindAFreeName)
{
    writeHostFile(home / "files" / "same.txt", "first");
    for (int i = 1; i < 10000; ++i)
        writeHostFile(home / "files" / ("same.txt_" + std::to_string(i)), "");
    writeHostFile(work / "same.txt", "newest");
    std::string error;
    ASSERT_TRUE(trash.put(work / "same.txt", &error)) << error;
    EXPECT_EQ(readHostFile(home / "files" / "same.txt"), "first");
    size_t infoFiles = 0;
    for (const auto& entry : fs::directory_iterator(home / "info")) {
        const std::string item = entry.path().stem().string();
        ++infoFiles;
        EXPECT_EQ(item.rfind("same.txt_", 0), 0u) << item;
        EXPECT_EQ(readHostFile(home / "files" / item), "newest");
        EXPECT_EQ(infoOf(home, item).at("Path"), (work / "same.txt").string());
    }
    EXPECT_EQ(infoFiles, 1u);
}

TEST_F(TrashTest, AnExistingInfoFileWithoutItsItemIsNotReused)
{
    writeHostFile(home / "info" / "x.trashinfo", "[Trash Info]\nPath=/elsewhere/x\n");
    writeHostFile(work / "x", "new");
    ASSERT_TRUE(trash.put(work / "x"));
    EXPECT_EQ(readHostFile(home / "info" / "x.trashinfo"), "[Trash Info]\nPath=/elsewhere/x\n");
    EXPECT_EQ(readHostFile(home / "files" / "x_1"), "new");
    EXPECT_EQ(infoOf(home, "x_1").at("Path"), (work / "x").string());
}

struct EncodingCase {
    const char* label;
    std::string name;
    std::string encoded;
};

class TrashEncodingTest : public TrashTest, public ::testing::WithParamInterface<EncodingCase> {};

TEST_P(TrashEncodingTest, PathIsPercentEncodedExceptUnreservedBytes)
{
    const EncodingCase& c = GetParam();
    writeHostFile(work / c.name, "x");
    std::string error;
    ASSERT_TRUE(trash.put(work / c.name, &error)) << error;
    EXPECT_EQ(infoOf(home, c.name).at("Path"), work.string() + "/" + c.encoded);
}

INSTANTIATE_TEST_SUITE_P(Names, TrashEncodingTest,
    ::testing::Values(
        EncodingCase{"blank_and_percent", "a b%.txt", "a%20b%25.txt"},
        EncodingCase{"unreserved_kept", "Az09-._~", "Az09-._~"},
        EncodingCase{"utf8_bytes_upper_hex", "\xc3\xbcml\xc3\xa4ut", "%C3%BCml%C3%A4ut"},
        EncodingCase{"reserved_signs", "q?&=+#;,", "q%3F%26%3D%2B%23%3B%2C"},
        EncodingCase{"newline_and_quote", "two\nlines\"", "two%0Alines%22"},
        EncodingCase{"invalid_utf8_byte", "raw\xff", "raw%FF"},
        EncodingCase{"backslash_colon", "c:\\x", "c%3A%5Cx"}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(TrashTest, AFolderIsTrashedWholeWithOneInfoFileAndACacheLine)
{
    writeHostFile(work / "tree" / "a.txt", std::string(5000, 'a'));
    writeHostFile(work / "tree" / "sub" / "b.txt", std::string(100, 'b'));
    ASSERT_TRUE(trash.put(work / "tree"));

    EXPECT_FALSE(fs::exists(work / "tree"));
    EXPECT_EQ(readHostFile(home / "files" / "tree" / "sub" / "b.txt"), std::string(100, 'b'));
    EXPECT_EQ(std::distance(fs::directory_iterator(home / "info"), fs::directory_iterator()), 1);
    struct stat info {};
    ASSERT_EQ(::stat((home / "info" / "tree.trashinfo").c_str(), &info), 0);
    const std::string expected = std::to_string(hostDiskUsage(home / "files" / "tree")) + " "
        + std::to_string(info.st_mtime) + " tree\n";
    EXPECT_EQ(readHostFile(home / "directorysizes"), expected);
}

TEST_F(TrashTest, ALinkIsTrashedAsALinkAndItsTargetStaysUntouched)
{
    writeHostFile(work / "target" / "keep.txt", "keep");
    fs::create_symlink(work / "target", work / "folderlink");
    fs::create_symlink(work / "target" / "keep.txt", work / "filelink");
    ASSERT_TRUE(trash.put(work / "folderlink"));
    ASSERT_TRUE(trash.put(work / "filelink"));

    EXPECT_TRUE(fs::is_symlink(home / "files" / "folderlink"));
    EXPECT_EQ(fs::read_symlink(home / "files" / "folderlink"), work / "target");
    EXPECT_TRUE(fs::is_symlink(home / "files" / "filelink"));
    EXPECT_EQ(readHostFile(work / "target" / "keep.txt"), "keep");
    // A link counts with its own size, never with what it points to.
    const uint64_t linkSizes = (work / "target").string().size() + (work / "target" / "keep.txt").string().size();
    EXPECT_EQ(trash.totalSize(), linkSizes);
    EXPECT_FALSE(fs::exists(home / "directorysizes") && !readHostFile(home / "directorysizes").empty());

    ASSERT_TRUE(trash.empty());
    EXPECT_FALSE(fs::exists(fs::symlink_status(home / "files" / "folderlink")));
    EXPECT_EQ(readHostFile(work / "target" / "keep.txt"), "keep");
}

TEST_F(TrashTest, UsageAddsFileSizesAndFolderDiskUsage)
{
    writeHostFile(work / "small", std::string(100, 's'));
    writeHostFile(work / "large", std::string(250, 'l'));
    writeHostFile(work / "folder" / "inner", std::string(9000, 'i'));
    for (const char* name : {"small", "large", "folder"})
        ASSERT_TRUE(trash.put(work / name)) << name;
    const Trash::Usage usage = trash.usage();
    EXPECT_EQ(usage.items, 3u);
    EXPECT_EQ(usage.size, 350u + hostDiskUsage(home / "files" / "folder"));
    EXPECT_GT(hostDiskUsage(home / "files" / "folder"), 9000u);
}

TEST_F(TrashTest, DirectorySizesCacheIsUsedWhileCurrentAndRefreshedOtherwise)
{
    writeHostFile(work / "folder" / "inner", std::string(9000, 'i'));
    ASSERT_TRUE(trash.put(work / "folder"));
    const fs::path info = home / "info" / "folder.trashinfo";
    struct stat st {};
    ASSERT_EQ(::stat(info.c_str(), &st), 0);
    const uint64_t real = hostDiskUsage(home / "files" / "folder");

    // A current line (matching mtime) is believed, even when its size is made up;
    // a line of an item that is gone is dropped.
    writeHostFile(home / "directorysizes", "123 " + std::to_string(st.st_mtime) + " folder\n77 1 ghost\n");
    EXPECT_EQ(trash.totalSize(), 123u);
    EXPECT_EQ(readHostFile(home / "directorysizes"), "123 " + std::to_string(st.st_mtime) + " folder\n");

    // The info file changed since: the size is computed again and the line renewed.
    const utimbuf older{st.st_atime - 1000, st.st_mtime - 1000};
    ASSERT_EQ(::utime(info.c_str(), &older), 0);
    EXPECT_EQ(trash.totalSize(), real);
    EXPECT_EQ(readHostFile(home / "directorysizes"), std::to_string(real) + " " + std::to_string(st.st_mtime - 1000) + " folder\n");
}

TEST_F(TrashTest, CacheNamesArePercentEncoded)
{
    writeHostFile(work / "my folder%" / "x", "x");
    ASSERT_TRUE(trash.put(work / "my folder%"));
    const std::string cache = readHostFile(home / "directorysizes");
    EXPECT_NE(cache.find(" my%20folder%25\n"), std::string::npos) << cache;
    EXPECT_EQ(trash.totalSize(), hostDiskUsage(home / "files" / "my folder%"));
}

TEST_F(TrashTest, EmptyRemovesItemsInfoFilesStraysAndCacheLines)
{
    writeHostFile(work / "file", "f");
    writeHostFile(work / "folder" / "locked" / "deep.txt", "d");
    ASSERT_TRUE(trash.put(work / "file"));
    ASSERT_TRUE(trash.put(work / "folder"));
    ::chmod((home / "files" / "folder" / "locked").c_str(), 0500);
    writeHostFile(home / "files" / "stray", "no info file");
    writeHostFile(home / "info" / "orphan.trashinfo", "[Trash Info]\nPath=/gone\n");
    ASSERT_FALSE(readHostFile(home / "directorysizes").empty());

    ASSERT_TRUE(trash.empty());
    EXPECT_TRUE(fs::is_empty(home / "files"));
    EXPECT_TRUE(fs::is_empty(home / "info"));
    EXPECT_EQ(readHostFile(home / "directorysizes"), "");
    EXPECT_EQ(trash.usage().items, 0u);
    EXPECT_EQ(trash.usage().size, 0u);
}

TEST_F(TrashTest, InfoFileNamesThatWouldLeaveFilesAreIgnored)
{
    writeHostFile(home / "files" / "keep", "x");
    writeHostFile(home / "info" / "..trashinfo", "[Trash Info]\n");
    writeHostFile(home / "info" / "...trashinfo", "[Trash Info]\n");
    EXPECT_EQ(trash.itemCount(), 0u);
    trash.empty();
    // "files/." and "files/.." were never taken for items: the trash itself stays.
    EXPECT_TRUE(fs::is_directory(home / "files"));
    EXPECT_TRUE(fs::is_directory(home / "info"));
}

TEST_F(TrashTest, AFailedMoveTakesItsInfoFileBack)
{
    // The data folder holds the trash: moving it into the trash cannot work.
    const fs::path data = prefix.home() / ".local";
    writeHostFile(work / "warmup", "w");
    ASSERT_TRUE(trash.put(work / "warmup"));
    std::string error;
    EXPECT_FALSE(trash.put(data, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(fs::is_directory(data));
    EXPECT_FALSE(fs::exists(home / "info" / ".local.trashinfo"));
    EXPECT_EQ(trash.itemCount(), 1u);
}

TEST_F(TrashTest, MissingItemIsReported)
{
    std::string error;
    EXPECT_FALSE(trash.put(work / "nothing", &error));
    EXPECT_NE(error.find("nothing"), std::string::npos) << error;
    EXPECT_FALSE(fs::exists(home / "info") && !fs::is_empty(home / "info"));
}

TEST_F(TrashTest, LongNamesAreCutSoThatTheInfoFileFits)
{
    const std::string name = std::string(200, 'n') + std::string(25, 'x') + "\xc3\xa9" + std::string(23, 'y');
    ASSERT_EQ(name.size(), 250u);
    writeHostFile(work / name, "long");
    std::string error;
    ASSERT_TRUE(trash.put(work / name, &error)) << error;
    std::vector<std::string> items;
    for (const auto& entry : fs::directory_iterator(home / "files"))
        items.push_back(entry.path().filename().string());
    ASSERT_EQ(items.size(), 1u);
    EXPECT_LE(items[0].size() + 10, 255u);
    EXPECT_TRUE(isValidUtf8(items[0]));
    EXPECT_EQ(infoOf(home, items[0]).at("Path").substr(work.string().size() + 1, 200), std::string(200, 'n'));
}

// --- trash folders of other file systems ---

struct TopdirCase {
    const char* label;
    void (*prepare)(const fs::path& topdir);
    const char* expectedTrash; // relative to topdir, "%u" for the uid
};

std::string withUid(std::string text)
{
    const size_t at = text.find("%u");
    if (at != std::string::npos)
        text.replace(at, 2, std::to_string(::geteuid()));
    return text;
}

class TopdirTrashTest : public TrashTest, public ::testing::WithParamInterface<TopdirCase> {};

TEST_P(TopdirTrashTest, ItemsOfAnotherFileSystemGoToItsTopdirTrash)
{
    const TopdirCase& c = GetParam();
    const fs::path volume = prefix.root() / "volume";
    fs::create_directories(volume / "data");
    c.prepare(volume);
    Trash confined(home, {prefix.root(), volume});
    writeHostFile(volume / "data" / "doc.txt", "doc");

    std::string error;
    ASSERT_TRUE(confined.put(volume / "data" / "doc.txt", &error)) << error;
    const fs::path expected = volume / withUid(c.expectedTrash);
    EXPECT_EQ(readHostFile(expected / "files" / "doc.txt"), "doc");
    EXPECT_EQ(infoOf(expected, "doc.txt").at("Path"), (volume / "data" / "doc.txt").string());
    EXPECT_EQ(modeOf(expected), 0700u);
    EXPECT_FALSE(fs::exists(home / "files" / "doc.txt"));

    const std::vector<fs::path> folders = confined.trashFolders();
    EXPECT_NE(std::find(folders.begin(), folders.end(), expected), folders.end());
    EXPECT_EQ(confined.itemCount(), 1u);
    EXPECT_TRUE(confined.empty());
    EXPECT_TRUE(fs::is_empty(expected / "files"));
}

INSTANTIATE_TEST_SUITE_P(Topdirs, TopdirTrashTest,
    ::testing::Values(
        TopdirCase{"no_shared_trash", [](const fs::path&) {}, ".Trash-%u"},
        TopdirCase{"sticky_shared_trash",
                   [](const fs::path& top) {
                       fs::create_directory(top / ".Trash");
                       ::chmod((top / ".Trash").c_str(), 01777);
                   },
                   ".Trash/%u"},
        TopdirCase{"shared_trash_without_sticky_bit",
                   [](const fs::path& top) {
                       fs::create_directory(top / ".Trash");
                       ::chmod((top / ".Trash").c_str(), 0777);
                   },
                   ".Trash-%u"},
        TopdirCase{"own_entry_in_shared_trash_is_a_dangling_link",
                   [](const fs::path& top) {
                       fs::create_directory(top / ".Trash");
                       ::chmod((top / ".Trash").c_str(), 01777);
                       fs::create_symlink(top / "nowhere", top / ".Trash" / std::to_string(::geteuid()));
                   },
                   ".Trash-%u"},
        TopdirCase{"shared_trash_is_a_link",
                   [](const fs::path& top) {
                       fs::create_directory(top / "elsewhere");
                       ::chmod((top / "elsewhere").c_str(), 01777);
                       fs::create_directory_symlink(top / "elsewhere", top / ".Trash");
                   },
                   ".Trash-%u"}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(TrashTest, UsageAndEmptyCoverEveryTrashFolder)
{
    const fs::path volume = prefix.root() / "volume";
    Trash confined(home, {prefix.root(), volume});
    writeHostFile(work / "home.txt", std::string(10, 'h'));
    writeHostFile(volume / "vol.txt", std::string(20, 'v'));
    ASSERT_TRUE(confined.put(work / "home.txt"));
    ASSERT_TRUE(confined.put(volume / "vol.txt"));
    EXPECT_EQ(confined.usage().items, 2u);
    EXPECT_EQ(confined.usage().size, 30u);
    EXPECT_TRUE(confined.empty());
    EXPECT_EQ(confined.usage().items, 0u);
}

TEST_F(TrashTest, AnItemOutsideEveryKnownFileSystemIsRefused)
{
    Trash confined(home, {prefix.root() / "elsewhere"});
    writeHostFile(work / "file", "f");
    std::string error;
    EXPECT_FALSE(confined.put(work / "file", &error));
    EXPECT_TRUE(fs::exists(work / "file"));
    EXPECT_FALSE(error.empty());
}

TEST(TrashFolderTest, HomeTrashFollowsXdgDataHome)
{
    test::TempPrefix prefix;
    EXPECT_EQ(Trash::homeTrashFolder(), prefix.home() / ".local" / "share" / "Trash");
    ::unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(Trash::homeTrashFolder(), prefix.home() / ".local" / "share" / "Trash");
    ::setenv("XDG_DATA_HOME", "relative/ignored", 1);
    EXPECT_EQ(Trash::homeTrashFolder(), prefix.home() / ".local" / "share" / "Trash");
    ::setenv("XDG_DATA_HOME", (prefix.root() / "data").c_str(), 1);
    EXPECT_EQ(Trash::homeTrashFolder(), prefix.root() / "data" / "Trash");
}

} // namespace
} // namespace tw
