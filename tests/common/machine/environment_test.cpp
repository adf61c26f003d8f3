#include "common/machine/environment.h"

#include <fstream>
#include <unistd.h>

#include <gtest/gtest.h>

#include "common/machine/prefix.h"
#include "support/tempprefix.h"

namespace tw {
namespace {

namespace fs = std::filesystem;

TEST(EnvironmentTest, OwnsTheRegistryFileSystemAndShellOfOnePrefix)
{
    test::TempPrefix sandbox;
    const fs::path folder = sandbox.root() / "machine";
    ASSERT_TRUE(EnsurePrefix(folder));
    Environment machine(folder);
    EXPECT_EQ(machine.prefixFolder(), folder);
    EXPECT_EQ(machine.fileSystem().hostPath("C:\\windows"), folder / "drive_c" / "windows");
    EXPECT_TRUE(machine.fileSystem().DirectoryExists("C:\\users\\" + PrefixUserName() + "\\Temp"));
    EXPECT_TRUE(machine.registry().keyExists(RegRoot::LocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall"));
    EXPECT_EQ(machine.shell().GetEnvironmentVariable("TEMP"), "C:\\users\\" + PrefixUserName() + "\\Temp");
}

TEST(EnvironmentTest, OpensAPrefixWithTheRealWineHives)
{
    test::TempPrefix sandbox;
    sandbox.useFixtureHives();
    Environment& machine = sandbox.env();
    EXPECT_EQ(machine.registry().readOnlyReason(RegRoot::LocalMachine), "");
    EXPECT_TRUE(machine.registry().keyExists(RegRoot::ClassesRoot, ".zzempty"));
    const std::optional<RegKey> run =
        machine.registry().openKey(RegRoot::CurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Run");
    ASSERT_TRUE(run);
    EXPECT_EQ(run->readString("Updater"), "\"C:\\Program Files\\Upd\\upd.exe\" -min");
    EXPECT_EQ(machine.shell().SpecialFolderPath(0x0000), "C:\\users\\root\\Desktop");
    EXPECT_EQ(machine.shell().GetEnvironmentVariable("USERPROFILE"), "C:\\users\\root");
}

TEST(TempPrefixTest, ConfinesHomeAndShowsDriveCOnly)
{
    const char* homeBefore = std::getenv("HOME");
    const std::string savedHome = homeBefore ? homeBefore : "";
    fs::path root;
    {
        test::TempPrefix sandbox;
        root = sandbox.root();
        EXPECT_EQ(std::string(std::getenv("HOME")), sandbox.home().string());
        EXPECT_EQ(std::string(std::getenv("XDG_DATA_HOME")), (sandbox.home() / ".local" / "share").string());
        EXPECT_EQ(sandbox.env().fileSystem().GetLogicalDriveStrings(), std::vector<std::string>{"C:\\"});
        const fs::path drive = sandbox.addDrive('D');
        EXPECT_EQ(sandbox.env().fileSystem().GetLogicalDriveStrings(), (std::vector<std::string>{"C:\\", "D:\\"}));
        EXPECT_EQ(sandbox.writeFile("D:\\a\\b.txt", "b"), drive / "a" / "b.txt");
        EXPECT_EQ(sandbox.makeFolder("C:\\x\\y"), sandbox.prefixFolder() / "drive_c" / "x" / "y");
        // Removal at the end never follows a link out of the test folder.
        const fs::path keep = fs::path("/tmp") / ("tidewick-keep-" + std::to_string(::getpid()));
        fs::create_directories(keep);
        std::ofstream(keep / "kept.txt") << "kept";
        fs::create_directory_symlink(keep, sandbox.root() / "link-out");
        sandbox.reopen();
        EXPECT_TRUE(sandbox.env().fileSystem().DirectoryExists("C:\\x\\y"));
        sandbox.writeFile("C:\\late.txt", "l");
    }
    EXPECT_FALSE(fs::exists(root));
    const fs::path keep = fs::path("/tmp") / ("tidewick-keep-" + std::to_string(::getpid()));
    EXPECT_TRUE(fs::exists(keep / "kept.txt"));
    fs::remove_all(keep);
    EXPECT_EQ(std::string(std::getenv("HOME") ? std::getenv("HOME") : ""), savedHome);
}

} // namespace
} // namespace tw
