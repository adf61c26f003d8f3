#include <gtest/gtest.h>

#include <string>

#include "common/knownfolders.h"
#include "common/machine/environment.h"
#include "support/tempprefix.h"

namespace tw {
namespace {

constexpr std::string_view ShellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

class KnownFoldersTest : public testing::Test {
protected:
    Registry& registry() { return prefix.env().registry(); }
    void setEnvironment(std::string_view name, std::string_view value)
    {
        registry().createKey(RegRoot::CurrentUser, "Environment")->writeString(name, value);
    }

    test::TempPrefix prefix;
};

TEST_F(KnownFoldersTest, ReadsTheShellFoldersAndTheEnvironment)
{
    registry().deleteKey(RegRoot::CurrentUser, ShellFolders);
    RegKey key = *registry().createKey(RegRoot::CurrentUser, ShellFolders);
    key.writeString("Cache", "C:\\cache");
    key.writeString("History", "C:\\history");
    key.writeString("Cookies", "C:\\cookies");
    key.writeString("Local AppData", "C:\\local");
    setEnvironment("APPDATA", "C:\\roaming");
    setEnvironment("ProgramFiles", "C:\\Programs");

    KnownFolders folders;
    LoadKnownFolders(prefix.env(), folders);
    EXPECT_EQ(folders.Cache, "C:\\cache");
    EXPECT_EQ(folders.History, "C:\\history");
    EXPECT_EQ(folders.Cookies, "C:\\cookies");
    EXPECT_EQ(folders.LocalAppData, "C:\\local");
    EXPECT_EQ(folders.APPDATA, "C:\\roaming");
    EXPECT_EQ(folders.Programfiles, "C:\\Programs") << "variable names compare without regard to case";
}

TEST_F(KnownFoldersTest, MissingValuesAndValuesOfAnotherTypeAreEmpty)
{
    registry().deleteKey(RegRoot::CurrentUser, ShellFolders);
    RegKey key = *registry().createKey(RegRoot::CurrentUser, ShellFolders);
    key.writeString("Cache", "C:\\cache");
    key.writeInteger("History", 7);

    KnownFolders folders;
    LoadKnownFolders(prefix.env(), folders);
    EXPECT_EQ(folders.Cache, "C:\\cache");
    EXPECT_EQ(folders.History, "");
    EXPECT_EQ(folders.Cookies, "");
    EXPECT_EQ(folders.LocalAppData, "");
}

TEST_F(KnownFoldersTest, WithoutTheKeyEveryEntryStaysEmpty)
{
    registry().deleteKey(RegRoot::CurrentUser, ShellFolders);
    setEnvironment("APPDATA", "C:\\roaming");
    setEnvironment("Programfiles", "C:\\Programs");

    KnownFolders folders;
    LoadKnownFolders(prefix.env(), folders);
    EXPECT_EQ(folders.Cache, "");
    EXPECT_EQ(folders.History, "");
    EXPECT_EQ(folders.Cookies, "");
    EXPECT_EQ(folders.LocalAppData, "");
    EXPECT_EQ(folders.APPDATA, "") << "the environment entries stay empty too";
    EXPECT_EQ(folders.Programfiles, "");
}

TEST_F(KnownFoldersTest, ReadEnvironmentVariableOfAnUnsetNameIsEmpty)
{
    EXPECT_EQ(ReadEnvironmentVariable(prefix.env(), "TIDEWICK_NOT_SET"), "");
    setEnvironment("TIDEWICK_SET", "value");
    EXPECT_EQ(ReadEnvironmentVariable(prefix.env(), "TIDEWICK_SET"), "value");
}

} // namespace
} // namespace tw
