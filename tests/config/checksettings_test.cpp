#include <gtest/gtest.h>

#include <cctype>
#include <ostream>
#include <string>
#include <vector>

#include "common/base/atomicfile.h"
#include "common/base/platformerror.h"
#include "common/base/text.h"
#include "common/machine/environment.h"
#include "config/checksettings.h"
#include "config/configpaths.h"
#include "config/defaultfiles.h"
#include "support/tempprefix.h"

namespace tw {
namespace {

constexpr std::string_view Program = "C:\\tidewick";

class CheckSettingsTest : public testing::Test {
protected:
    CheckSettingsTest() { prefix.makeFolder(Program); }

    Environment& env() { return prefix.env(); }
    FileSystem& fs() { return env().fileSystem(); }
    Registry& registry() { return env().registry(); }
    std::string path(std::string_view relative) { return ConfigPath::configFile(Program, relative); }
    RegKey settings() { return *registry().openKey(RegRoot::CurrentUser, SettingsKey); }
    std::string bytes(std::string_view relative)
    {
        std::string content;
        EXPECT_TRUE(readWholeFile(prefix.host(path(relative)), content)) << relative;
        return content;
    }

    test::TempPrefix prefix;
};

TEST_F(CheckSettingsTest, FirstStartCreatesTheKeyWithFiveValuesAndTheFolders)
{
    ASSERT_FALSE(registry().keyExists(RegRoot::CurrentUser, SettingsKey));
    EnsureSettingsKey(env(), Program);

    RegKey key = settings();
    EXPECT_EQ(key.valueNames(),
              (std::vector<std::string>{"DF mode", "Remove folder", "Remove method", "Remove scan", "Skin name"}));
    EXPECT_EQ(key.valueType("Skin name"), RegType::Sz);
    EXPECT_EQ(key.readString("Skin name"), "Neutral");
    EXPECT_EQ(key.valueType("Remove method"), RegType::Dword);
    EXPECT_EQ(key.readInteger("Remove method"), 1u);
    EXPECT_EQ(key.valueType("Remove scan"), RegType::Dword);
    EXPECT_EQ(key.readInteger("Remove scan"), 0u);
    EXPECT_EQ(key.valueType("Remove folder"), RegType::Sz);
    EXPECT_EQ(key.readString("Remove folder"), "");
    EXPECT_EQ(key.valueType("DF mode"), RegType::Sz);
    EXPECT_EQ(key.readString("DF mode"), "mode 1");

    for (std::string_view folder : ConfigPath::Folders)
        EXPECT_TRUE(fs().DirectoryExists(path(folder))) << folder;
    for (std::string_view file : {ConfigPath::JunkMaskFile, ConfigPath::FileGroupFile, ConfigPath::FileExceptionFile,
                                  ConfigPath::FolderExceptionFile, ConfigPath::UserFolderFile})
        EXPECT_FALSE(fs().FileExists(path(file))) << file << " is created only when first needed";

    prefix.reopen();
    EXPECT_EQ(settings().readString("DF mode"), "mode 1") << "the key was saved to the hive";
}

TEST_F(CheckSettingsTest, AnExistingKeyIsNeverRewritten)
{
    registry().createKey(RegRoot::CurrentUser, SettingsKey)->writeString("Skin name", "Dark");
    EnsureSettingsKey(env(), Program);
    EXPECT_EQ(settings().valueNames(), (std::vector<std::string>{"Skin name"}));
    EXPECT_EQ(settings().readString("Skin name"), "Dark");
}

TEST_F(CheckSettingsTest, AMissingIntegerFailsAndChangesNothing)
{
    registry().createKey(RegRoot::CurrentUser, SettingsKey)->writeString("Remove folder", "D:\\bin");
    try {
        GetRemoveMethod(env(), Program);
        FAIL() << "a missing Remove method must fail";
    } catch (const PlatformError& error) {
        EXPECT_STREQ(error.what(), "Failed to get data for 'Remove method'");
    }
    EXPECT_THROW(GetScanExcludedFolder(env(), Program), PlatformError);
    EXPECT_EQ(settings().valueNames(), (std::vector<std::string>{"Remove folder"}));
    EXPECT_EQ(GetRemoveFolder(env(), Program), "D:\\bin");
}

TEST_F(CheckSettingsTest, AMissingStringReadsEmpty)
{
    registry().createKey(RegRoot::CurrentUser, SettingsKey)->writeInteger("Remove method", 2);
    EXPECT_EQ(GetRemoveFolder(env(), Program), "");
    EXPECT_EQ(GetRemoveMethod(env(), Program), 2);
}

struct SaveCase {
    const char* label;
    int32_t method;
    const char* folder;
    bool skip;
    uint32_t method_after;
    const char* folder_after;
    uint32_t scan_after;
};

void PrintTo(const SaveCase& c, std::ostream* os)
{
    *os << c.label;
}

// Each row starts from method 3, folder "X:\old\", scan 0.
const SaveCase saveCases[] = {
    {"recycle bin keeps folder and scan", 1, "", false, 1, "X:\\old\\", 0},
    {"permanent keeps folder and scan", 2, "", false, 2, "X:\\old\\", 0},
    {"folder method, scanned", 3, "D:\\bin\\", false, 3, "D:\\bin\\", 1},
    {"folder method, skipped", 3, "D:\\bin", true, 3, "D:\\bin", 0},
    {"folder method without a folder keeps both", 3, "", false, 3, "X:\\old\\", 0},
};

class SaveRemovalSettingsTest : public CheckSettingsTest, public testing::WithParamInterface<SaveCase> {};

TEST_P(SaveRemovalSettingsTest, WritesTheMethodAndAGivenFolder)
{
    const SaveCase& c = GetParam();
    SaveRemovalSettings(env(), Program, 3, "X:\\old\\", true);
    SaveRemovalSettings(env(), Program, c.method, c.folder, c.skip);
    EXPECT_EQ(GetRemoveMethod(env(), Program), static_cast<int32_t>(c.method_after));
    EXPECT_EQ(GetRemoveFolder(env(), Program), c.folder_after);
    EXPECT_EQ(settings().readInteger("Remove scan"), c.scan_after);
    EXPECT_EQ(settings().readString("Skin name"), "Neutral") << "the other defaults stay";
}

INSTANTIATE_TEST_SUITE_P(Table, SaveRemovalSettingsTest, testing::ValuesIn(saveCases),
                         [](const testing::TestParamInfo<SaveCase>& info) {
                             std::string name;
                             for (const char* p = info.param.label; *p; ++p)
                                 name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                             return name;
                         });

TEST_F(CheckSettingsTest, ScanExcludedFolderIsTheFolderAsStoredWhenScanIsZero)
{
    SaveRemovalSettings(env(), Program, 3, "C:\\tidewick\\deleted\\", true);
    EXPECT_EQ(GetScanExcludedFolder(env(), Program), "C:\\tidewick\\deleted\\");
    SaveRemovalSettings(env(), Program, 3, "C:\\tidewick\\deleted\\", false);
    EXPECT_EQ(GetScanExcludedFolder(env(), Program), "");
}

TEST_F(CheckSettingsTest, JunkMaskFileGetsTheDefaultsWithCrLfAfterEveryLine)
{
    EnsureJunkMaskFile(env(), Program);
    EXPECT_EQ(bytes(ConfigPath::JunkMaskFile), joinLinesCrLf(DefaultJunkMaskLines()));
    EXPECT_EQ(*fs().ReadLines(path("\\Config\\EXT.INI")), DefaultJunkMaskLines())
        << "the folder and file names compare without regard to case";
}

TEST_F(CheckSettingsTest, AnExistingEmptyJunkMaskFileStaysEmpty)
{
    EnsureConfigFolders(env(), Program);
    ASSERT_TRUE(fs().CreateEmptyFile(path(ConfigPath::JunkMaskFile)));
    EnsureJunkMaskFile(env(), Program);
    EXPECT_EQ(bytes(ConfigPath::JunkMaskFile), "");
}

TEST_F(CheckSettingsTest, SaveJunkMasksWritesEveryRowInOrder)
{
    EnsureJunkMaskFile(env(), Program);
    SaveJunkMasks(env(), Program, {{"*.b", "Bees", true}, {"*.a", "Ants", false}, {"x", "", true}});
    EXPECT_EQ(bytes(ConfigPath::JunkMaskFile), "*.b=Bees=true\r\n*.a=Ants=false\r\nx==true\r\n");
}

TEST_F(CheckSettingsTest, SaveJunkMasksWithAnEmptyListWritesAnEmptyFileForGood)
{
    EnsureJunkMaskFile(env(), Program);
    SaveJunkMasks(env(), Program, {});
    EXPECT_EQ(bytes(ConfigPath::JunkMaskFile), "");
    EnsureJunkMaskFile(env(), Program);
    EXPECT_EQ(bytes(ConfigPath::JunkMaskFile), "") << "the defaults are not restored";
}

TEST_F(CheckSettingsTest, ReadersAcceptEveryLineEnd)
{
    EnsureConfigFolders(env(), Program);
    prefix.writeFile(path(ConfigPath::JunkMaskFile), "*.a=A=true\r\n*.b=B=true\r*.c=C=false\n*.d=D=true");
    EXPECT_EQ(ActiveJunkMasks(*fs().ReadLines(path(ConfigPath::JunkMaskFile))),
              (std::vector<std::string>{"*.a", "*.b", "*.d"}));
}

TEST_F(CheckSettingsTest, FileGroupFileGetsTheDefaultsOnce)
{
    EnsureFileGroupFile(env(), Program);
    EXPECT_EQ(bytes(ConfigPath::FileGroupFile), joinLinesCrLf(DefaultFileGroupLines()));
    prefix.writeFile(path(ConfigPath::FileGroupFile), "[Mine]\r\n1=*.x\r\n");
    EnsureFileGroupFile(env(), Program);
    EXPECT_EQ(bytes(ConfigPath::FileGroupFile), "[Mine]\r\n1=*.x\r\n");
}

TEST_F(CheckSettingsTest, UserFolderFileIsCreatedEmptyAndThenKept)
{
    EnsureUserFolderFile(env(), Program);
    EXPECT_EQ(bytes(ConfigPath::UserFolderFile), "");
    prefix.writeFile(path(ConfigPath::UserFolderFile), "D:\\a\r\n");
    EnsureUserFolderFile(env(), Program);
    EXPECT_EQ(bytes(ConfigPath::UserFolderFile), "D:\\a\r\n");
}

TEST_F(CheckSettingsTest, StoreFilesAreTheNineCreatedEmpty)
{
    EnsureConfigFolders(env(), Program);
    prefix.writeFile(path(ConfigPath::DisabledRegistryFolder) + "allRun.ini", "kept\r\n");
    EnsureStoreFiles(env(), Program);
    for (std::string_view name : {"allRun.ini", "allRunOnce.ini", "allRunOnceEx.ini", "allRunServices.ini",
                                  "allRunServicesOnce.ini", "currRun.ini", "currRunOnce.ini", "currRunOnceEx.ini",
                                  "currRunServices.ini"})
        EXPECT_TRUE(fs().FileExists(path(ConfigPath::DisabledRegistryFolder) + std::string(name))) << name;
    EXPECT_FALSE(fs().FileExists(path(ConfigPath::DisabledRegistryFolder) + "currRunServicesOnce.ini"));
    EXPECT_EQ(bytes("\\config\\Disabled Registry\\allRun.ini"), "kept\r\n");
    EXPECT_EQ(bytes("\\config\\Disabled Registry\\currRun.ini"), "");
}

TEST_F(CheckSettingsTest, AFolderThatCannotBeCreatedDoesNotStopTheOthers)
{
    // A file where the config folder should be: it and its three sub-folders
    // cannot be made, the removal folder still is.
    prefix.writeFile(path("\\config"), "in the way");
    EnsureConfigFolders(env(), Program);
    EXPECT_TRUE(fs().FileExists(path("\\config")));
    EXPECT_FALSE(fs().DirectoryExists(path(ConfigPath::DisabledRegistryFolder)));
    EXPECT_TRUE(fs().DirectoryExists(path(ConfigPath::DeletedFolder)));
}

TEST_F(CheckSettingsTest, WithoutTheProgramFolderNothingIsCreatedAndWritesFail)
{
    constexpr std::string_view Missing = "C:\\absent\\tidewick";
    EnsureConfigFolders(env(), Missing);
    EXPECT_FALSE(fs().DirectoryExists("C:\\absent"));
    EXPECT_FALSE(fs().DirectoryExists("C:\\absent\\tidewick\\config"));
    try {
        EnsureJunkMaskFile(env(), Missing);
        FAIL() << "writing into a missing folder must fail";
    } catch (const PlatformError& error) {
        EXPECT_STREQ(error.what(), "Unable to write to C:\\absent\\tidewick\\config\\ext.ini");
    }
}

} // namespace
} // namespace tw
