#include <chrono>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <sys/stat.h>
#include <thread>

#include <gtest/gtest.h>

#include "common/machine/prefix.h"
#include "common/shell/shell.h"
#include "support/tempprefix.h"

namespace tw {
namespace {

namespace fs = std::filesystem;

constexpr const char* explorer = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer";

std::string shellFolders() { return std::string(explorer) + "\\Shell Folders"; }
std::string userShellFolders() { return std::string(explorer) + "\\User Shell Folders"; }

struct FolderCase {
    const char* label;
    int csidl;
    const char* expected; // %u for the prefix's user
};

std::string forUser(std::string text, const std::string& user)
{
    for (size_t at = text.find("%u"); at != std::string::npos; at = text.find("%u"))
        text.replace(at, 2, user);
    return text;
}

class SpecialFolderTest : public ::testing::TestWithParam<FolderCase> {};

TEST_P(SpecialFolderTest, OurPrefixAnswersFromShellFolders)
{
    test::TempPrefix prefix;
    const FolderCase& c = GetParam();
    EXPECT_EQ(prefix.env().shell().SpecialFolderPath(c.csidl), forUser(c.expected, PrefixUserName()));
}

TEST_P(SpecialFolderTest, TheRealWinePrefixAnswersTheSame)
{
    test::TempPrefix prefix;
    prefix.useFixtureHives();
    const FolderCase& c = GetParam();
    EXPECT_EQ(prefix.env().shell().SpecialFolderPath(c.csidl), forUser(c.expected, "root"));
}

INSTANTIATE_TEST_SUITE_P(Csidl, SpecialFolderTest,
    ::testing::Values(
        FolderCase{"desktop", Csidl::Desktop, "C:\\users\\%u\\Desktop"},
        FolderCase{"startup", Csidl::StartUp, "C:\\users\\%u\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\StartUp"},
        FolderCase{"recent", Csidl::Recent, "C:\\users\\%u\\AppData\\Roaming\\Microsoft\\Windows\\Recent"},
        FolderCase{"common_startup", Csidl::CommonStartUp, "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\StartUp"}),
    [](const auto& info) { return std::string(info.param.label); });

class ShellFoldersTest : public ::testing::Test {
protected:
    test::TempPrefix prefix;
    Shell& shell() { return prefix.env().shell(); }
    RegKey key(RegRoot root, const std::string& path) { return *prefix.env().registry().createKey(root, path); }
};

TEST_F(ShellFoldersTest, ATrailingBackslashIsCutOff)
{
    key(RegRoot::CurrentUser, shellFolders()).writeString("Desktop", "D:\\Desk\\");
    EXPECT_EQ(shell().SpecialFolderPath(Csidl::Desktop), "D:\\Desk");
    key(RegRoot::CurrentUser, shellFolders()).writeString("Desktop", "D:\\");
    EXPECT_EQ(shell().SpecialFolderPath(Csidl::Desktop), "D:\\");
}

TEST_F(ShellFoldersTest, FailuresAnswerAnEmptyText)
{
    EXPECT_EQ(shell().SpecialFolderPath(0x1234), "");
    key(RegRoot::CurrentUser, shellFolders()).writeInteger("Recent", 7);
    key(RegRoot::CurrentUser, userShellFolders()).deleteValue("Recent");
    EXPECT_EQ(shell().SpecialFolderPath(Csidl::Recent), "");
    key(RegRoot::LocalMachine, shellFolders()).deleteValue("Common Startup");
    key(RegRoot::LocalMachine, userShellFolders()).deleteValue("Common Startup");
    EXPECT_EQ(shell().SpecialFolderPath(Csidl::CommonStartUp), "");
}

TEST_F(ShellFoldersTest, AMissingShellFoldersValueFallsBackToUserShellFolders)
{
    key(RegRoot::CurrentUser, shellFolders()).deleteValue("Recent");
    key(RegRoot::CurrentUser, userShellFolders()).writeExpandString("Recent", "%APPDATA%\\Elsewhere\\");
    EXPECT_EQ(shell().SpecialFolderPath(Csidl::Recent), "C:\\users\\" + PrefixUserName() + "\\AppData\\Roaming\\Elsewhere");
}

TEST_F(ShellFoldersTest, WindowsFolderAndVersion)
{
    EXPECT_EQ(shell().GetWindowsDirectory(), "C:\\windows");
    // Four numbers, as a version resource holds them.
    EXPECT_TRUE(std::regex_match(Shell::FileVersion(), std::regex("[0-9]+\\.[0-9]+\\.[0-9]+\\.[0-9]+")))
        << Shell::FileVersion();
}

// --- environment variables ---

struct VariableCase {
    const char* label;
    const char* name;
    const char* expected; // %u for the user
};

class EnvironmentVariableTest : public ::testing::TestWithParam<VariableCase> {};

TEST_P(EnvironmentVariableTest, OurPrefix)
{
    test::TempPrefix prefix;
    const VariableCase& c = GetParam();
    EXPECT_EQ(prefix.env().shell().GetEnvironmentVariable(c.name), forUser(c.expected, PrefixUserName()));
}

TEST_P(EnvironmentVariableTest, TheRealWinePrefix)
{
    test::TempPrefix prefix;
    prefix.useFixtureHives();
    const VariableCase& c = GetParam();
    EXPECT_EQ(prefix.env().shell().GetEnvironmentVariable(c.name), forUser(c.expected, "root"));
}

INSTANTIATE_TEST_SUITE_P(Variables, EnvironmentVariableTest,
    ::testing::Values(
        VariableCase{"temp_of_the_user", "TEMP", "C:\\users\\%u\\Temp"},
        VariableCase{"tmp_of_the_user", "TMP", "C:\\users\\%u\\Temp"},
        VariableCase{"names_ignore_case", "tMp", "C:\\users\\%u\\Temp"},
        VariableCase{"userprofile", "USERPROFILE", "C:\\users\\%u"},
        VariableCase{"appdata", "APPDATA", "C:\\users\\%u\\AppData\\Roaming"},
        VariableCase{"localappdata", "LOCALAPPDATA", "C:\\users\\%u\\AppData\\Local"},
        VariableCase{"program_files_as_callers_spell_it", "Programfiles", "C:\\Program Files"},
        VariableCase{"systemroot", "SystemRoot", "C:\\windows"},
        VariableCase{"windir_expanded", "windir", "C:\\windows"},
        VariableCase{"comspec_expanded", "ComSpec", "C:\\windows\\system32\\cmd.exe"},
        VariableCase{"programdata", "ProgramData", "C:\\ProgramData"}),
    [](const auto& info) { return std::string(info.param.label); });

class EnvironmentTest : public ShellFoldersTest {
protected:
    RegKey userEnvironment() { return key(RegRoot::CurrentUser, "Environment"); }
    std::optional<std::string> variable(std::string_view name) { return shell().GetEnvironmentVariable(name); }
};

TEST_F(EnvironmentTest, TheUsersValueWinsOverTheSystemsAndTheSystemsIsExpanded)
{
    userEnvironment().writeString("TEMP", "D:\\mine");
    EXPECT_EQ(variable("TEMP"), "D:\\mine");
    ASSERT_TRUE(userEnvironment().deleteValue("TEMP"));
    EXPECT_EQ(variable("TEMP"), "C:\\windows\\temp");
}

TEST_F(EnvironmentTest, ExpandableValuesAreExpandedThroughOtherVariables)
{
    userEnvironment().writeExpandString("OUTER", "%inner%\\b");
    userEnvironment().writeExpandString("INNER", "%APPDATA%\\a");
    EXPECT_EQ(variable("OUTER"), "C:\\users\\" + PrefixUserName() + "\\AppData\\Roaming\\a\\b");
}

TEST_F(EnvironmentTest, PlainStringsAndUnknownReferencesStayAsWritten)
{
    userEnvironment().writeString("LITERAL", "%TEMP%");
    userEnvironment().writeExpandString("UNKNOWN", "%NO_SUCH%\\x%");
    userEnvironment().writeExpandString("MIXED", "50%%TEMP%");
    EXPECT_EQ(variable("LITERAL"), "%TEMP%");
    EXPECT_EQ(variable("UNKNOWN"), "%NO_SUCH%\\x%");
    EXPECT_EQ(variable("MIXED"), "50%C:\\users\\" + PrefixUserName() + "\\Temp");
}

TEST_F(EnvironmentTest, ReferencesInALoopEnd)
{
    userEnvironment().writeExpandString("A", "%B%a");
    userEnvironment().writeExpandString("B", "%A%b");
    const std::optional<std::string> a = variable("A");
    ASSERT_TRUE(a);
    EXPECT_NE(a->find("ba"), std::string::npos);
}

// A value that refers to itself many times would grow to 8^8 copies and more;
// like on Windows no variable gets longer than 32767 characters.
TEST_F(EnvironmentTest, SelfMultiplyingReferencesStayBounded)
{
    std::string many;
    for (int i = 0; i < 8; ++i)
        many += "%GROW%";
    userEnvironment().writeExpandString("GROW", many + "x");
    const std::optional<std::string> grown = variable("GROW");
    ASSERT_TRUE(grown);
    EXPECT_LE(grown->size(), 32767u);
    EXPECT_NE(grown->find('x'), std::string::npos);
    EXPECT_EQ(shell().GetEnvironmentVariable("SystemRoot"), "C:\\windows");
}

TEST_F(EnvironmentTest, TheHostEnvironmentIsNeverConsulted)
{
    const char* hostTemp = std::getenv("TEMP");
    const std::optional<std::string> savedTemp = hostTemp ? std::optional<std::string>(hostTemp) : std::nullopt;
    ::setenv("TIDEWICK_HOST_ONLY", "host", 1);
    ::setenv("TEMP", "/tmp/host-temp", 1);
    EXPECT_EQ(variable("TIDEWICK_HOST_ONLY"), std::nullopt);
    EXPECT_EQ(variable("TEMP"), "C:\\users\\" + PrefixUserName() + "\\Temp");
    ::unsetenv("TIDEWICK_HOST_ONLY");
    if (savedTemp)
        ::setenv("TEMP", savedTemp->c_str(), 1);
    else
        ::unsetenv("TEMP");
}

TEST_F(EnvironmentTest, UnsetVariablesAndWrongTypesAreAbsent)
{
    EXPECT_EQ(variable("NOT_SET_ANYWHERE"), std::nullopt);
    userEnvironment().writeInteger("COUNT", 3);
    EXPECT_EQ(variable("COUNT"), std::nullopt);
}

TEST_F(EnvironmentTest, ProgramFilesFollowsProgramFilesDir)
{
    key(RegRoot::LocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion").writeString("ProgramFilesDir", "D:\\Apps");
    EXPECT_EQ(variable("ProgramFiles"), "D:\\Apps");
}

TEST_F(EnvironmentTest, TheSystemEnvironmentOfAnOlderControlSetLayoutIsRead)
{
    // Newer Wine keeps the data below ControlSet001 (CurrentControlSet is a link).
    ASSERT_TRUE(prefix.env().registry().deleteKey(RegRoot::LocalMachine, "System\\CurrentControlSet"));
    key(RegRoot::LocalMachine, "System\\ControlSet001\\Control\\Session Manager\\Environment")
        .writeExpandString("TEMP", "%SystemDrive%\\t");
    userEnvironment().deleteValue("TEMP");
    EXPECT_EQ(variable("TEMP"), "C:\\t");
}

// --- opening documents ---

class ShellExecuteTest : public ShellFoldersTest {
protected:
    void SetUp() override
    {
        const char* path = std::getenv("PATH");
        m_savedPath = path ? path : "";
        // A stand-in viewer that records what it was asked to open.
        const fs::path bin = prefix.root() / "bin";
        fs::create_directories(bin);
        std::ofstream(bin / "xdg-open") << "#!/bin/sh\nprintf '%s' \"$1\" > \"" << (prefix.root() / "opened").string()
                                        << ".tmp\" && mv \"" << (prefix.root() / "opened").string() << ".tmp\" \""
                                        << (prefix.root() / "opened").string() << "\"\n";
        ::chmod((bin / "xdg-open").c_str(), 0755);
        ::setenv("PATH", (bin.string() + ":" + m_savedPath).c_str(), 1);
    }
    void TearDown() override { ::setenv("PATH", m_savedPath.c_str(), 1); }

    std::string m_savedPath;
};

TEST_F(ShellExecuteTest, OpensTheHostPathWithXdgOpen)
{
    const fs::path document = prefix.writeFile("C:\\docs\\read me.txt", "x");
    ASSERT_TRUE(shell().ShellExecuteOpen("c:\\DOCS\\read me.txt"));
    const fs::path opened = prefix.root() / "opened";
    for (int i = 0; i < 500 && !fs::exists(opened); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::ifstream in(opened);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), document.string());
}

TEST_F(ShellExecuteTest, AMissingDocumentIsNotOpened)
{
    EXPECT_FALSE(shell().ShellExecuteOpen("C:\\docs\\missing.txt"));
    EXPECT_FALSE(shell().ShellExecuteOpen("Q:\\x.txt"));
    EXPECT_FALSE(fs::exists(prefix.root() / "opened"));
}

} // namespace
} // namespace tw
