#include "common/machine/prefix.h"

#include <cstdlib>
#include <fstream>
#include <map>
#include <pwd.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "common/base/text.h"
#include "common/registry/registry.h"
#include "support/hostfiles.h"
#include "support/tempprefix.h"

namespace tw {
namespace {

namespace fs = std::filesystem;
using test::readHostFile;

// Sets or clears an environment variable for one scope.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const char* value) : m_name(name)
    {
        if (const char* old = std::getenv(name))
            m_old = old;
        if (value)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
    }
    ~ScopedVariable()
    {
        if (m_old)
            ::setenv(m_name, m_old->c_str(), 1);
        else
            ::unsetenv(m_name);
    }

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

class PrefixTest : public ::testing::Test {
protected:
    test::TempPrefix sandbox; // HOME, XDG_DATA_HOME and XDG_CONFIG_HOME inside a temporary folder
    fs::path fresh = sandbox.root() / "fresh";
    std::string user = PrefixUserName();

    void create()
    {
        std::string error;
        ASSERT_TRUE(EnsurePrefix(fresh, &error)) << error;
    }
};

TEST_F(PrefixTest, CreatesWinesSkeleton)
{
    create();
    EXPECT_EQ(fs::read_symlink(fresh / "dosdevices" / "c:"), "../drive_c");
    EXPECT_EQ(fs::read_symlink(fresh / "dosdevices" / "z:"), "/");
    const fs::path profile = fresh / "drive_c" / "users" / user;
    const fs::path folders[] = {
        fresh / "drive_c" / "windows" / "system32",
        fresh / "drive_c" / "windows" / "temp",
        fresh / "drive_c" / "Program Files",
        fresh / "drive_c" / "ProgramData" / "Microsoft" / "Windows" / "Start Menu" / "Programs" / "StartUp",
        fresh / "drive_c" / "users" / "Public",
        profile / "Desktop",
        profile / "Documents",
        profile / "Temp",
        profile / "AppData" / "Roaming" / "Microsoft" / "Windows" / "Recent",
        profile / "AppData" / "Roaming" / "Microsoft" / "Windows" / "Start Menu" / "Programs" / "StartUp",
        profile / "AppData" / "Local" / "Microsoft" / "Windows" / "INetCache",
        profile / "AppData" / "Local" / "Microsoft" / "Windows" / "INetCookies",
        profile / "AppData" / "Local" / "Microsoft" / "Windows" / "History",
    };
    for (const fs::path& folder : folders)
        EXPECT_TRUE(fs::is_directory(folder)) << folder;
    EXPECT_FALSE(fs::is_symlink(profile / "Desktop"));

    const std::vector<std::string> machine = splitLines(readHostFile(fresh / "system.reg"));
    ASSERT_GE(machine.size(), 4u);
    EXPECT_EQ(machine[0], "WINE REGISTRY Version 2");
    EXPECT_EQ(machine[1], ";; All keys relative to REGISTRY\\\\Machine");
    EXPECT_EQ(machine[2], "");
    EXPECT_EQ(machine[3], "#arch=win64");
    const std::vector<std::string> userLines = splitLines(readHostFile(fresh / "user.reg"));
    ASSERT_GE(userLines.size(), 2u);
    EXPECT_EQ(userLines[1], ";; All keys relative to REGISTRY\\\\User\\\\S-1-5-21-0-0-0-1000");
}

// A hive file as key header name -> its value lines, and the keys in file order.
struct HiveLines {
    std::vector<std::string> keys;
    std::map<std::string, std::vector<std::string>> values;
};

HiveLines parseHive(const std::string& text)
{
    HiveLines hive;
    std::string current;
    for (const std::string& line : splitLines(text)) {
        if (!line.empty() && line[0] == '[') {
            current = lowerCase(line.substr(0, line.rfind(']') + 1));
            hive.keys.push_back(current);
            hive.values[current];
        } else if (!current.empty() && !line.empty() && (line[0] == '"' || line[0] == '@')) {
            hive.values[current].push_back(line);
        }
    }
    return hive;
}

std::string replaceAll(std::string text, const std::string& from, const std::string& to)
{
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

class HiveFidelityTest : public PrefixTest, public ::testing::WithParamInterface<const char*> {};

// Every key and value we write is written exactly as Wine wrote it in the real
// prefix (with its user "root" in place of ours), and keys come in Wine's order.
TEST_P(HiveFidelityTest, OurLinesAreWinesLines)
{
    create();
    const std::string file = GetParam();
    const HiveLines ours = parseHive(readHostFile(fresh / file));
    const HiveLines wine = parseHive(replaceAll(readHostFile(test::FixtureFolder() / file), "\\\\users\\\\root", "\\\\users\\\\" + user));
    ASSERT_FALSE(ours.keys.empty());
    size_t lastPosition = 0;
    for (const std::string& key : ours.keys) {
        const auto position = std::find(wine.keys.begin(), wine.keys.end(), key);
        ASSERT_NE(position, wine.keys.end()) << "Wine has no key " << key;
        EXPECT_GE(static_cast<size_t>(position - wine.keys.begin()), lastPosition) << key << " out of Wine's order";
        lastPosition = static_cast<size_t>(position - wine.keys.begin());
        const std::vector<std::string>& wineValues = wine.values.at(key);
        for (const std::string& value : ours.values.at(key))
            EXPECT_NE(std::find(wineValues.begin(), wineValues.end(), value), wineValues.end())
                << key << ": Wine writes no line " << value;
    }
}

INSTANTIATE_TEST_SUITE_P(Hives, HiveFidelityTest, ::testing::Values("system.reg", "user.reg"),
                         [](const auto& info) { return std::string(info.param).substr(0, info.param[0] == 's' ? 6 : 4); });

TEST_F(PrefixTest, OurRegistryReadsTheNewHives)
{
    create();
    const std::unique_ptr<Registry> registry = Registry::open(fresh);
    EXPECT_EQ(registry->readOnlyReason(RegRoot::LocalMachine), "");
    EXPECT_EQ(registry->readOnlyReason(RegRoot::CurrentUser), "");

    const std::string explorer = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer";
    const std::optional<RegKey> shell = registry->openKey(RegRoot::CurrentUser, explorer + "\\Shell Folders");
    ASSERT_TRUE(shell);
    EXPECT_EQ(shell->valueType("Desktop"), RegType::Sz);
    EXPECT_EQ(shell->readString("Desktop"), "C:\\users\\" + user + "\\Desktop");
    EXPECT_EQ(shell->readString("StartUp"),
              "C:\\users\\" + user + "\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\StartUp");
    for (const char* name : {"Desktop", "StartUp", "Recent", "Cache", "Cookies", "History", "Local AppData", "AppData", "Personal"})
        EXPECT_TRUE(shell->hasValue(name)) << name;

    const std::optional<RegKey> userShell = registry->openKey(RegRoot::CurrentUser, explorer + "\\User Shell Folders");
    ASSERT_TRUE(userShell);
    EXPECT_EQ(userShell->valueType("Cache"), RegType::ExpandSz);
    EXPECT_EQ(userShell->readString("Cache"), "%USERPROFILE%\\AppData\\Local\\Microsoft\\Windows\\INetCache");

    const std::optional<RegKey> common = registry->openKey(RegRoot::LocalMachine, explorer + "\\Shell Folders");
    ASSERT_TRUE(common);
    EXPECT_EQ(common->readString("Common Startup"), "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\StartUp");
    EXPECT_EQ(common->readString("Common AppData"), "C:\\ProgramData");

    const std::optional<RegKey> environment = registry->openKey(RegRoot::CurrentUser, "Environment");
    ASSERT_TRUE(environment);
    EXPECT_EQ(environment->readString("TEMP"), "C:\\users\\" + user + "\\Temp");
    EXPECT_EQ(environment->readString("TMP"), "C:\\users\\" + user + "\\Temp");
    const std::optional<RegKey> system =
        registry->openKey(RegRoot::LocalMachine, "System\\CurrentControlSet\\Control\\Session Manager\\Environment");
    ASSERT_TRUE(system);
    EXPECT_EQ(system->valueType("TEMP"), RegType::ExpandSz);
    EXPECT_EQ(system->readString("TMP"), "%SystemRoot%\\temp");

    const std::optional<RegKey> version = registry->openKey(RegRoot::LocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion");
    ASSERT_TRUE(version);
    EXPECT_EQ(version->readString("ProgramFilesDir"), "C:\\Program Files");

    for (const RegRoot root : {RegRoot::LocalMachine, RegRoot::CurrentUser}) {
        const std::optional<RegKey> run = registry->openKey(root, "Software\\Microsoft\\Windows\\CurrentVersion\\Run");
        ASSERT_TRUE(run);
        EXPECT_EQ(run->valueCount(), 0u);
    }
    const std::optional<RegKey> uninstall =
        registry->openKey(RegRoot::LocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall");
    ASSERT_TRUE(uninstall);
    EXPECT_EQ(uninstall->subkeyCount(), 0u);
}

TEST_F(PrefixTest, AChangeByOurRegistryKeepsEveryLineWeWrote)
{
    create();
    const std::string before = readHostFile(fresh / "user.reg");
    {
        const std::unique_ptr<Registry> registry = Registry::open(fresh);
        registry->createKey(RegRoot::CurrentUser, "Software\\Brindlewharf\\Tidewick 2.4")->writeInteger("Remove method", 1);
    }
    const std::string after = readHostFile(fresh / "user.reg");
    ASSERT_NE(after, before);
    for (const std::string& line : splitLines(before)) {
        if (line.rfind("#time=", 0) == 0 || (!line.empty() && line[0] == '['))
            continue; // time stamps of changed keys may move
        EXPECT_NE(after.find(line + "\n"), std::string::npos) << "lost line: " << line;
    }
    EXPECT_NE(after.find("[Software\\\\Brindlewharf\\\\Tidewick 2.4]"), std::string::npos) << after;
}

TEST_F(PrefixTest, AnExistingPrefixIsLeftAlone)
{
    fs::create_directories(fresh);
    fs::copy_file(test::FixtureFolder() / "system.reg", fresh / "system.reg");
    const std::string before = readHostFile(fresh / "system.reg");
    create();
    EXPECT_EQ(readHostFile(fresh / "system.reg"), before);
    EXPECT_FALSE(fs::exists(fresh / "drive_c"));
    EXPECT_FALSE(fs::exists(fresh / "dosdevices"));
    EXPECT_FALSE(fs::exists(fresh / "user.reg"));
}

TEST_F(PrefixTest, AnInterruptedCreationIsCompletedWithoutLosingWhatExists)
{
    fs::create_directories(fresh / "dosdevices");
    fs::create_directory_symlink(sandbox.root(), fresh / "dosdevices" / "c:");
    std::ofstream(fresh / "user.reg") << "WINE REGISTRY Version 2\n";
    create();
    EXPECT_EQ(readHostFile(fresh / "user.reg"), "WINE REGISTRY Version 2\n");
    EXPECT_EQ(fs::read_symlink(fresh / "dosdevices" / "c:"), sandbox.root());
    EXPECT_TRUE(fs::exists(fresh / "system.reg"));
    EXPECT_TRUE(fs::is_directory(fresh / "drive_c" / "windows"));
}

struct DesktopCase {
    const char* label;
    const char* userDirs;    // contents of user-dirs.dirs, nullptr for none; %r = the sandbox root
    const char* makeFolder;  // a folder to create below the sandbox home, nullptr for none
    const char* linkTarget;  // expected link target below the sandbox home, nullptr for a plain folder
};

class DesktopTest : public PrefixTest, public ::testing::WithParamInterface<DesktopCase> {};

TEST_P(DesktopTest, DesktopLinksToTheXdgDesktopWhenThereIsOne)
{
    const DesktopCase& c = GetParam();
    if (c.makeFolder)
        fs::create_directories(sandbox.home() / c.makeFolder);
    if (c.userDirs) {
        fs::create_directories(sandbox.home() / ".config");
        std::ofstream(sandbox.home() / ".config" / "user-dirs.dirs")
            << "# written by a test\nXDG_DOWNLOAD_DIR=\"$HOME/Downloads\"\n"
            << replaceAll(c.userDirs, "%r", sandbox.home().string()) << "\n";
    }
    create();
    const fs::path desktop = fresh / "drive_c" / "users" / user / "Desktop";
    if (c.linkTarget) {
        ASSERT_TRUE(fs::is_symlink(desktop));
        EXPECT_EQ(fs::read_symlink(desktop), sandbox.home() / c.linkTarget);
    } else {
        EXPECT_FALSE(fs::is_symlink(desktop));
        EXPECT_TRUE(fs::is_directory(desktop));
    }
}

INSTANTIATE_TEST_SUITE_P(UserDirs, DesktopTest,
    ::testing::Values(
        DesktopCase{"no_user_dirs_file", nullptr, "Desktop", nullptr},
        DesktopCase{"home_relative", "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"", "Schreibtisch", "Schreibtisch"},
        DesktopCase{"absolute", "XDG_DESKTOP_DIR=\"%r/Bureau\"", "Bureau", "Bureau"},
        DesktopCase{"home_itself_means_none", "XDG_DESKTOP_DIR=\"$HOME/\"", nullptr, nullptr},
        DesktopCase{"named_folder_missing", "XDG_DESKTOP_DIR=\"$HOME/Gone\"", nullptr, nullptr},
        DesktopCase{"unquoted_is_ignored", "XDG_DESKTOP_DIR=$HOME/Desk", "Desk", nullptr}),
    [](const auto& info) { return std::string(info.param.label); });

// --- choosing the prefix ---

TEST_F(PrefixTest, WinePrefixWinsOverEverything)
{
    fs::create_directories(sandbox.home() / ".wine");
    std::ofstream(sandbox.home() / ".wine" / "system.reg") << "WINE REGISTRY Version 2\n";
    ScopedVariable wine("WINEPREFIX", (sandbox.root() / "chosen").c_str());
    EXPECT_EQ(ChoosePrefixFolder(), sandbox.root() / "chosen");
}

TEST_F(PrefixTest, ThenTheUsersWinePrefixWhenItHoldsASystemHive)
{
    ScopedVariable wine("WINEPREFIX", "");
    fs::create_directories(sandbox.home() / ".wine");
    EXPECT_EQ(ChoosePrefixFolder(), sandbox.home() / ".local" / "share" / "brindlewharf-tidewick" / "prefix");
    std::ofstream(sandbox.home() / ".wine" / "system.reg") << "WINE REGISTRY Version 2\n";
    EXPECT_EQ(ChoosePrefixFolder(), sandbox.home() / ".wine");
}

TEST_F(PrefixTest, ElseTheProgramsOwnPrefixInTheDataHome)
{
    ScopedVariable wine("WINEPREFIX", nullptr);
    {
        ScopedVariable data("XDG_DATA_HOME", (sandbox.root() / "data").c_str());
        EXPECT_EQ(ChoosePrefixFolder(), sandbox.root() / "data" / "brindlewharf-tidewick" / "prefix");
    }
    {
        ScopedVariable data("XDG_DATA_HOME", nullptr);
        EXPECT_EQ(ChoosePrefixFolder(), sandbox.home() / ".local" / "share" / "brindlewharf-tidewick" / "prefix");
    }
    {
        ScopedVariable data("XDG_DATA_HOME", "relative/data");
        EXPECT_EQ(ChoosePrefixFolder(), sandbox.home() / ".local" / "share" / "brindlewharf-tidewick" / "prefix");
    }
}

TEST(PrefixUserNameTest, UserVariableElseTheAccountName)
{
    const passwd* account = ::getpwuid(::geteuid());
    ASSERT_NE(account, nullptr);
    const std::string accountName = account->pw_name;
    {
        ScopedVariable user("USER", "alice");
        EXPECT_EQ(PrefixUserName(), "alice");
    }
    {
        ScopedVariable user("USER", "a\\b");
        EXPECT_EQ(PrefixUserName(), accountName);
    }
    {
        ScopedVariable user("USER", nullptr);
        EXPECT_EQ(PrefixUserName(), accountName);
    }
}

} // namespace
} // namespace tw
