#include <sys/stat.h>

#include <gtest/gtest.h>

#include "common/base/atomicfile.h"
#include "common/base/platformerror.h"
#include "common/fs/filesystem.h"
#include "common/fs/profilefile.h"
#include "fstestfolder.h"

namespace tw::test {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

// A profiles.ini as a browser writes it, with the quirks readers meet: blanks
// around names and "=", a value holding "=", a comment, a key before the first
// section, a line without "=", and a section repeated in other case.
constexpr const char* Sample =
    "stray=before any section\r\n"
    "[General]\r\n"
    "StartWithLastProfile=1\r\n"
    "\r\n"
    "  [ Profile1 ]  \r\n"
    "Name=work\r\n"
    "  IsRelative = 1  \r\n"
    "Path=Profiles/ab=cd.work\r\n"
    "; Path=commented.out\r\n"
    "no equals sign here\r\n"
    "\r\n"
    "[Profile0]\r\n"
    "Name=default\r\n"
    "Path=Profiles/xyz.default\r\n"
    "Default=1\r\n"
    "[GENERAL]\r\n"
    "Version=2\r\n";

class ProfileFileTest : public ::testing::Test {
protected:
    void SetUp() override { m_folder.file("Moz/profiles.ini", Sample); }
    FileSystem& fs() { return m_folder.fs(); }
    std::string bytes()
    {
        std::string text;
        EXPECT_TRUE(readWholeFile(m_folder.c() / "Moz" / "profiles.ini", text));
        return text;
    }
    Lines lines() { return fs().ReadLines(File).value_or(Lines {"<unreadable>"}); }

    static constexpr const char* File = "C:\\Moz\\profiles.ini";
    FsTestFolder m_folder;
};

TEST_F(ProfileFileTest, SectionNamesInFileOrderEachOnce)
{
    EXPECT_EQ(ProfileSectionNames(fs(), File), (Lines {"General", "Profile1", "Profile0"}));
}

TEST_F(ProfileFileTest, KeyNamesInFileOrderWithoutCommentsOrBareLines)
{
    EXPECT_EQ(ProfileKeyNames(fs(), File, "profile1"), (Lines {"Name", "IsRelative", "Path"}));
    EXPECT_EQ(ProfileKeyNames(fs(), File, "Missing"), Lines {});
}

TEST_F(ProfileFileTest, SectionEntriesAreKeyValuePairsInOrder)
{
    const auto entries = ProfileSectionEntries(fs(), File, "PROFILE0");
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0], (std::pair<std::string, std::string>("Name", "default")));
    EXPECT_EQ(entries[2], (std::pair<std::string, std::string>("Default", "1")));
}

struct ValueCase {
    const char* name;
    const char* section;
    const char* key;
    const char* expected;
};

class ProfileValues : public ProfileFileTest, public ::testing::WithParamInterface<ValueCase> {};

TEST_P(ProfileValues, AreTheTrimmedTextAfterTheFirstEquals)
{
    const ValueCase& c = GetParam();
    EXPECT_EQ(GetPrivateProfileString(fs(), File, c.section, c.key, "<default>"), c.expected);
}

const ValueCase valueCases[] = {
    {"Plain", "Profile0", "Path", "Profiles/xyz.default"},
    {"SectionCaseBlind", "PROFILE0", "Path", "Profiles/xyz.default"},
    {"KeyCaseBlind", "Profile0", "pATH", "Profiles/xyz.default"},
    {"BlanksTrimmed", "Profile1", "IsRelative", "1"},
    {"SectionNameTrimmed", "Profile1", "Name", "work"},
    {"ValueHoldsEquals", "Profile1", "Path", "Profiles/ab=cd.work"},
    {"FirstSectionOfANameCounts", "general", "Version", "<default>"},
    {"CommentIsNoKey", "Profile1", "; Path", "<default>"},
    {"BareLineIsNoKey", "Profile1", "no equals sign here", "<default>"},
    {"KeyBeforeSectionsBelongsToNone", "", "stray", "<default>"},
    {"MissingKey", "Profile0", "Locked", "<default>"},
    {"MissingSection", "Profile9", "Path", "<default>"},
};

INSTANTIATE_TEST_SUITE_P(Table, ProfileValues, ::testing::ValuesIn(valueCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ProfileFileTest, ByteOrderMarkBeforeTheFirstSectionIsSkipped)
{
    m_folder.file("Moz/bom.ini", "\xEF\xBB\xBF[Office]\r\n1=*.doc\r\n");
    EXPECT_EQ(ProfileSectionNames(fs(), "C:\\Moz\\bom.ini"), Lines {"Office"});
    WritePrivateProfileString(fs(), "C:\\Moz\\bom.ini", "Office", std::string_view("2"), std::string_view("*.xls"));
    EXPECT_EQ(fs().ReadLines("C:\\Moz\\bom.ini"), (Lines {"\xEF\xBB\xBF[Office]", "1=*.doc", "2=*.xls"}));
}

TEST_F(ProfileFileTest, MissingFileReadsAsEmpty)
{
    EXPECT_EQ(ProfileSectionNames(fs(), "C:\\Moz\\none.ini"), Lines {});
    EXPECT_EQ(GetPrivateProfileString(fs(), "C:\\Moz\\none.ini", "a", "b", "dflt"), "dflt");
}

TEST_F(ProfileFileTest, WriteReplacesAValueInPlaceKeepingTheKeysSpelling)
{
    WritePrivateProfileString(fs(), File, "profile0", std::string_view("PATH"), std::string_view("Profiles/new"));
    const Lines after = lines();
    ASSERT_EQ(after.size(), 17u);
    EXPECT_EQ(after[13], "Path=Profiles/new");
    EXPECT_EQ(after[8], "; Path=commented.out") << "other lines untouched";
    EXPECT_EQ(after[6], "  IsRelative = 1  ");
}

TEST_F(ProfileFileTest, WriteAppendsAMissingKeyAfterTheSectionsLastKey)
{
    WritePrivateProfileString(fs(), File, "Profile1", std::string_view("Locked"), std::string_view("1"));
    const Lines after = lines();
    EXPECT_EQ(after[8], "Locked=1") << "after Path=, before the comment and blank line";
    EXPECT_EQ(ProfileKeyNames(fs(), File, "Profile1"), (Lines {"Name", "IsRelative", "Path", "Locked"}));
}

TEST_F(ProfileFileTest, WriteAppendsAMissingSectionAtTheEnd)
{
    WritePrivateProfileString(fs(), File, "Install4F96D1932A9F858E", std::string_view("Default"),
                              std::string_view("Profiles/xyz.default"));
    const Lines after = lines();
    ASSERT_GE(after.size(), 2u);
    EXPECT_EQ(after[after.size() - 2], "[Install4F96D1932A9F858E]");
    EXPECT_EQ(after.back(), "Default=Profiles/xyz.default");
    EXPECT_EQ(ProfileSectionNames(fs(), File).back(), "Install4F96D1932A9F858E");
}

TEST_F(ProfileFileTest, WriteDeletesAKey)
{
    WritePrivateProfileString(fs(), File, "Profile0", std::string_view("name"), std::nullopt);
    EXPECT_EQ(ProfileKeyNames(fs(), File, "Profile0"), (Lines {"Path", "Default"}));
    EXPECT_EQ(lines().size(), 16u);
}

TEST_F(ProfileFileTest, WriteDeletesAWholeSectionWithEveryLineOfIt)
{
    WritePrivateProfileString(fs(), File, "profile1", std::nullopt, std::nullopt);
    EXPECT_EQ(ProfileSectionNames(fs(), File), (Lines {"General", "Profile0"}));
    const Lines after = lines();
    ASSERT_EQ(after.size(), 10u);
    EXPECT_EQ(after[3], "") << "the blank line before the section stays";
    EXPECT_EQ(after[4], "[Profile0]");
}

TEST_F(ProfileFileTest, DeletingASectionRemovesEverySectionOfThatName)
{
    WritePrivateProfileString(fs(), File, "General", std::nullopt, std::nullopt);
    EXPECT_EQ(ProfileSectionNames(fs(), File), (Lines {"Profile1", "Profile0"}));
    EXPECT_EQ(GetPrivateProfileString(fs(), File, "General", "Version", "gone"), "gone");
}

TEST_F(ProfileFileTest, WrittenFileEndsEveryLineWithCrLf)
{
    m_folder.file("Moz/lf.ini", "[a]\nx=1\n");
    WritePrivateProfileString(fs(), "C:\\Moz\\lf.ini", "a", std::string_view("y"), std::string_view("2"));
    std::string text;
    ASSERT_TRUE(readWholeFile(m_folder.c() / "Moz" / "lf.ini", text));
    EXPECT_EQ(text, "[a]\r\nx=1\r\ny=2\r\n");
}

TEST_F(ProfileFileTest, WriteCreatesAMissingFile)
{
    WritePrivateProfileString(fs(), "C:\\Moz\\new.ini", "Office", std::string_view("1"), std::string_view("*.doc"));
    EXPECT_EQ(fs().ReadLines("C:\\Moz\\new.ini"), (Lines {"[Office]", "1=*.doc"}));
}

TEST_F(ProfileFileTest, DeletingWhatIsMissingChangesNothing)
{
    const std::string before = bytes();
    WritePrivateProfileString(fs(), File, "Profile0", std::string_view("Nope"), std::nullopt);
    WritePrivateProfileString(fs(), File, "Nope", std::nullopt, std::nullopt);
    EXPECT_EQ(bytes(), before) << "not even rewritten with CR LF";
}

TEST_F(ProfileFileTest, FailedWriteThrowsTheUsersText)
{
    const fs::path file = m_folder.c() / "Moz" / "profiles.ini";
    ASSERT_EQ(::chmod(file.c_str(), 0444), 0);
    try {
        WritePrivateProfileString(fs(), File, "Profile0", std::string_view("Name"), std::string_view("x"));
        FAIL() << "a read-only file was written";
    } catch (const PlatformError& error) {
        EXPECT_STREQ(error.what(), "Unable to write to C:\\Moz\\profiles.ini");
    }
    EXPECT_EQ(GetPrivateProfileString(fs(), File, "Profile0", "Name", ""), "default");
}

TEST_F(ProfileFileTest, WriteToAPathThatCannotExistThrows)
{
    EXPECT_THROW(WritePrivateProfileString(fs(), "C:\\Missing\\x.ini", "a", std::string_view("b"),
                                           std::string_view("c")),
                 PlatformError);
    EXPECT_THROW(WritePrivateProfileString(fs(), "Q:\\x.ini", "a", std::string_view("b"), std::string_view("c")),
                 PlatformError);
}

} // namespace
} // namespace tw::test
