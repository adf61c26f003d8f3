#include "common/base/winpath.h"

#include <gtest/gtest.h>

namespace tw {
namespace {

struct PathRow {
    const char* path;
    const char* fileName;
    const char* fileDir;
};

TEST(WinPath, ExtractsNameAndFolder)
{
    const PathRow rows[] = {
        {"C:\\a\\b.txt", "b.txt", "C:\\a"},
        {"C:\\X.TMP", "X.TMP", "C:\\"},
        {"C:\\a\\", "", "C:\\a"},
        {"name.txt", "name.txt", ""},
        {"C:x.txt", "x.txt", "C:"},
    };
    for (const PathRow& row : rows) {
        EXPECT_EQ(ExtractFileName(row.path), row.fileName) << row.path;
        EXPECT_EQ(ExtractFileDir(row.path), row.fileDir) << row.path;
    }
}

TEST(WinPath, TrailingBackslash)
{
    EXPECT_EQ(IncludeTrailingBackslash("C:\\a"), "C:\\a\\");
    EXPECT_EQ(IncludeTrailingBackslash("C:\\"), "C:\\");
    EXPECT_EQ(ExcludeTrailingBackslash("C:\\a\\"), "C:\\a");
    EXPECT_EQ(ExcludeTrailingBackslash("C:\\"), "C:\\");
}

TEST(WinPath, DriveLetter)
{
    EXPECT_EQ(DriveLetter("c:\\x"), 'C');
    EXPECT_EQ(DriveLetter("Z:"), 'Z');
    EXPECT_EQ(DriveLetter("\\\\server\\share"), 0);
    EXPECT_EQ(DriveLetter("1:\\"), 0);
}

} // namespace
} // namespace tw
