#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <string>

#include "common/base/atomicfile.h"
#include "common/machine/environment.h"
#include "common/removal.h"
#include "support/tempprefix.h"

namespace tw {
namespace {

namespace fsys = std::filesystem;

class RemovalTest : public testing::Test {
protected:
    RemovalTest()
    {
        prefix.addDrive('D');
        prefix.writeFile("D:\\work\\junk.tmp", "junk");
        prefix.makeFolder("D:\\dest");
    }

    bool exists(std::string_view path) { return prefix.env().fileSystem().FileExists(path); }
    // A file or a folder.
    bool anything(std::string_view path)
    {
        return exists(path) || prefix.env().fileSystem().DirectoryExists(path);
    }
    std::string content(std::string_view path)
    {
        std::string bytes;
        readWholeFile(prefix.host(path), bytes);
        return bytes;
    }
    // Names of the files kept in the user's Trash.
    size_t trashed(const std::string& name)
    {
        const char* dataHome = std::getenv("XDG_DATA_HOME");
        const fsys::path files = fsys::path(dataHome ? dataHome : "") / "Trash" / "files";
        size_t count = 0;
        std::error_code error;
        for (const auto& entry : fsys::directory_iterator(files, error))
            count += entry.path().filename().string().starts_with(name.substr(0, name.find('.')));
        return count;
    }

    test::TempPrefix prefix;
};

TEST_F(RemovalTest, ModeOneSendsTheFileToTheRecycleBin)
{
    const std::string host = prefix.host("D:\\work\\junk.tmp").string();
    EXPECT_TRUE(RunFileOperation(prefix.env(), "D:\\work\\junk.tmp", "", 1));
    EXPECT_FALSE(exists("D:\\work\\junk.tmp"));
    EXPECT_EQ(trashed("junk.tmp"), 1u);

    // A file manager restores it from the info file's original path.
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    const fsys::path info = fsys::path(dataHome ? dataHome : "") / "Trash" / "info" / "junk.tmp.trashinfo";
    std::string record;
    ASSERT_TRUE(readWholeFile(info, record)) << info;
    EXPECT_NE(record.find("\nPath=" + host + "\n"), std::string::npos) << record;
}

TEST_F(RemovalTest, ModeTwoDeletesForGood)
{
    EXPECT_TRUE(RunFileOperation(prefix.env(), "D:\\work\\junk.tmp", "D:\\dest", 2));
    EXPECT_FALSE(exists("D:\\work\\junk.tmp"));
    EXPECT_FALSE(exists("D:\\dest\\junk.tmp")) << "the folder is ignored";
    EXPECT_EQ(trashed("junk.tmp"), 0u);
}

TEST_F(RemovalTest, ModeThreeMovesIntoTheFolderReplacingAFileOfTheSameName)
{
    prefix.writeFile("D:\\dest\\junk.tmp", "older");
    EXPECT_TRUE(RunFileOperation(prefix.env(), "D:\\work\\junk.tmp", "D:\\dest", 3));
    EXPECT_FALSE(exists("D:\\work\\junk.tmp"));
    EXPECT_EQ(content("D:\\dest\\junk.tmp"), "junk");
}

TEST_F(RemovalTest, ModeThreeIntoTheDefaultRemovalFolderWithItsBackslash)
{
    prefix.makeFolder("C:\\tidewick\\deleted");
    EXPECT_TRUE(RunFileOperation(prefix.env(), "D:\\work\\junk.tmp", "C:\\tidewick\\deleted\\", 3));
    EXPECT_EQ(content("C:\\tidewick\\deleted\\junk.tmp"), "junk");
}

TEST_F(RemovalTest, ModeFourCopiesReplacingAFileOfTheSameName)
{
    prefix.writeFile("D:\\dest\\junk.tmp", "older");
    EXPECT_TRUE(RunFileOperation(prefix.env(), "D:\\work\\junk.tmp", "D:\\dest", 4));
    EXPECT_EQ(content("D:\\work\\junk.tmp"), "junk");
    EXPECT_EQ(content("D:\\dest\\junk.tmp"), "junk");
}

struct FailCase {
    const char* label;
    const char* file;
    const char* folder;
    int mode;
};

void PrintTo(const FailCase& c, std::ostream* os)
{
    *os << c.label;
}

// Each must answer false and leave D:\work\junk.tmp and D:\dest as they were.
const FailCase failCases[] = {
    {"mode one on a missing file", "D:\\work\\gone.tmp", "", 1},
    {"mode two on a missing file", "D:\\work\\gone.tmp", "", 2},
    {"mode three on a missing file", "D:\\work\\gone.tmp", "D:\\dest", 3},
    {"mode four on a missing file", "D:\\work\\gone.tmp", "D:\\dest", 4},
    {"unknown method zero", "D:\\work\\junk.tmp", "D:\\dest", 0},
    {"unknown method five", "D:\\work\\junk.tmp", "D:\\dest", 5},
    {"unknown method minus one", "D:\\work\\junk.tmp", "D:\\dest", -1},
    {"move without a folder", "D:\\work\\junk.tmp", "", 3},
    {"copy without a folder", "D:\\work\\junk.tmp", "", 4},
    {"move into a missing folder", "D:\\work\\junk.tmp", "D:\\nowhere", 3},
    {"copy into a missing folder", "D:\\work\\junk.tmp", "D:\\nowhere", 4},
    {"move onto a file", "D:\\work\\junk.tmp", "D:\\dest\\plain.txt", 3},
    // A found file may lie in the removal folder itself: it must not be replaced by itself.
    {"move into its own folder", "D:\\work\\junk.tmp", "D:\\work", 3},
    {"copy into its own folder", "D:\\work\\junk.tmp", "D:\\work\\", 4},
    {"move into its own folder spelt otherwise", "d:\\WORK\\JUNK.TMP", "D:\\Work", 3},
    {"folder as the file", "D:\\work", "", 2},
};

class RemovalFailTest : public RemovalTest, public testing::WithParamInterface<FailCase> {};

TEST_P(RemovalFailTest, AnswersFalseAndTouchesNothing)
{
    const FailCase& c = GetParam();
    prefix.writeFile("D:\\dest\\plain.txt", "plain");
    EXPECT_FALSE(RunFileOperation(prefix.env(), c.file, c.folder, c.mode));
    EXPECT_EQ(content("D:\\work\\junk.tmp"), "junk");
    EXPECT_EQ(content("D:\\dest\\plain.txt"), "plain");
    EXPECT_FALSE(anything("D:\\nowhere"));
    EXPECT_FALSE(exists("D:\\dest\\junk.tmp"));
    EXPECT_EQ(trashed("junk.tmp"), 0u);
}

INSTANTIATE_TEST_SUITE_P(Table, RemovalFailTest, testing::ValuesIn(failCases),
                         [](const testing::TestParamInfo<FailCase>& info) {
                             std::string name;
                             for (const char* p = info.param.label; *p; ++p)
                                 name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                             return name;
                         });

} // namespace
} // namespace tw
