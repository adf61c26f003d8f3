#include "cleaner/drivecleanerfixture.h"

#include <algorithm>

#include "common/base/platformerror.h"
#include "common/fs/filesystem.h"
#include "common/registry/registry.h"
#include "config/checksettings.h"
#include "config/configpaths.h"
#include "config/defaultfiles.h"

namespace tw::test {
namespace {

std::vector<std::string> sorted(std::vector<std::string> texts)
{
    std::sort(texts.begin(), texts.end());
    return texts;
}

// The panel is back to idle: everything that a search locks is usable again.
void expectUnlocked(const DriveCleaner& tool, const FakeHost& host)
{
    const DriveCleanerControls& controls = tool.controls();
    EXPECT_TRUE(controls.btnDCAddPath);
    EXPECT_TRUE(controls.btnDCRemovePath);
    EXPECT_TRUE(controls.btnDCSearch);
    EXPECT_TRUE(controls.lvDCDrive);
    EXPECT_TRUE(controls.sBitBtn5 && controls.sBitBtn6 && controls.sBitBtn7);
    EXPECT_FALSE(controls.btnDCStop);
    EXPECT_TRUE(host.navigationEnabled());
    EXPECT_FALSE(host.animationActive());
    EXPECT_FALSE(tool.searching());
    EXPECT_TRUE(tool.lvDCDrive().enabled());
}

TEST_F(DriveCleanerTest, NothingCheckedSearchesNothingAndSaysDone)
{
    file("D:\\a.tmp");
    search({});
    EXPECT_TRUE(results().empty());
    EXPECT_EQ(host.statusText(StatusPanel::State), "Search done");
    EXPECT_EQ(host.statusText(StatusPanel::Details), "");
    EXPECT_EQ(host.messageTexts(), (std::vector<std::string>{"Complete."}));
    EXPECT_EQ(host.messages().back().kind, MessageKind::Information);
    EXPECT_FALSE(tool().controls().btnDCDelete);
    EXPECT_EQ(tool().lblDCFileCount(), "0");
    EXPECT_EQ(tool().lblDCFileSize(), "0") << "the labels read 0 until a file is listed";
    expectUnlocked(tool(), host);
}

TEST_F(DriveCleanerTest, MissingWildcardFileIsWrittenWithDefaultsBeforeTheSearch)
{
    file("D:\\keep.txt");
    file("D:\\old.TMP");
    file("D:\\sub\\Thumbs.db");
    file("D:\\sub\\notes.bup");  // an inactive default line
    search({"D:\\"});
    EXPECT_EQ(readConfig(ConfigPath::JunkMaskFile), DefaultJunkMaskLines());
    EXPECT_EQ(results(), (std::vector<std::string>{"D:\\old.TMP", "D:\\sub\\Thumbs.db"}));
}

TEST_F(DriveCleanerTest, ResultRowsCarrySizeTextAndRealSizeAndCountersFollow)
{
    useWildcards({"*.tmp"});
    file("D:\\a.tmp", 1536);
    file("D:\\b.tmp", 10);
    search({"D:\\"});
    ASSERT_EQ(results().size(), 2u);
    const size_t a = resultRow("D:\\a.tmp");
    EXPECT_EQ(tool().lvDCResult().cell(a, DriveCleaner::SizeColumn), "1.50 Kb");
    EXPECT_EQ(tool().lvDCResult().cell(a, DriveCleaner::RealSizeColumn), "1536");
    EXPECT_FALSE(tool().lvDCResult().checked(a));
    EXPECT_EQ(tool().fileCount(), 2);
    EXPECT_EQ(tool().fileSizeSum(), 1546);
    EXPECT_EQ(tool().lblDCFileCount(), "2");
    EXPECT_EQ(tool().lblDCFileSize(), "1.51 Kb");
    EXPECT_TRUE(tool().controls().btnDCDelete);
}

TEST_F(DriveCleanerTest, StatusShowsSearchStartAndEveryFolder)
{
    useWildcards({"*.tmp"});
    file("D:\\sub\\a.tmp");
    search({"D:\\"});
    EXPECT_EQ(host.statusHistory(StatusPanel::State).front(), "Search for junk file...");
    const auto& details = host.statusHistory(StatusPanel::Details);
    EXPECT_NE(std::find(details.begin(), details.end(), "Searching in D:\\..."), details.end());
    EXPECT_NE(std::find(details.begin(), details.end(), "Searching in D:\\sub\\..."), details.end());
    EXPECT_EQ(host.navigationHistory(), (std::vector<bool>{false, true}));
    EXPECT_GT(host.pumpCount(), 0) << "the walk lets window messages run";
}

TEST_F(DriveCleanerTest, AllWildcardsInactiveListsEveryFile)
{
    writeConfig(ConfigPath::JunkMaskFile, {"*.tmp=Temporary Files=false", "*.bak=Backup Files=FALSE"});
    file("D:\\a.txt");
    file("D:\\noext");
    file("D:\\sub\\b.tmp");
    search({"D:\\"});
    EXPECT_EQ(sorted(results()), (std::vector<std::string>{"D:\\a.txt", "D:\\noext", "D:\\sub\\b.tmp"}));
}

TEST_F(DriveCleanerTest, ActiveLineWithEmptyWildcardMatchesNothing)
{
    writeConfig(ConfigPath::JunkMaskFile, {"=nothing=true", "==true", "*.tmp=Temporary Files= TRUE "});
    file("D:\\a.txt");
    file("D:\\b.tmp");
    search({"D:\\"});
    EXPECT_EQ(results(), (std::vector<std::string>{"D:\\b.tmp"}));
}

TEST_F(DriveCleanerTest, OnlyActiveLinesWithEmptyWildcardsListNoFile)
{
    // Unlike a file whose lines are all inactive, which lists every file.
    writeConfig(ConfigPath::JunkMaskFile, {"=nothing=true", "*.tmp=Temporary Files=false"});
    file("D:\\a.txt");
    file("D:\\b.tmp");
    search({"D:\\"});
    EXPECT_TRUE(results().empty()) << "an active line that cannot match must not widen the search to every file";
    EXPECT_EQ(host.messageTexts(), (std::vector<std::string>{"Complete."}));
}

TEST_F(DriveCleanerTest, DriveAndFolderInsideItAreBothSearched)
{
    useWildcards({"*.tmp"});
    file("D:\\inner\\a.tmp", 100);
    writeConfig(ConfigPath::UserFolderFile, {"D:\\inner"});
    search({"D:\\", "D:\\inner"});
    EXPECT_EQ(results(), (std::vector<std::string>{"D:\\inner\\a.tmp", "D:\\inner\\a.tmp"}));
    EXPECT_EQ(tool().fileCount(), 2);
    EXPECT_EQ(tool().fileSizeSum(), 200);
}

TEST_F(DriveCleanerTest, PathOfTheListIsTrimmedAndAMissingOneYieldsNothing)
{
    useWildcards({"*.tmp"});
    file("D:\\inner\\a.tmp");
    writeConfig(ConfigPath::UserFolderFile, {"  D:\\inner  ", "D:\\gone"});
    search({"  D:\\inner  ", "D:\\gone"});
    EXPECT_EQ(results(), (std::vector<std::string>{"D:\\inner\\a.tmp"}));
    EXPECT_EQ(host.messageTexts(), (std::vector<std::string>{"Complete."}));
}

struct RemovalFolderCase {
    const char* name;
    const char* folder;
    bool skip;  // "Do not scan this folder", stored as "Remove scan" 0
    std::vector<std::string> listed;
};

class DriveCleanerRemovalFolder : public DriveCleanerTest, public ::testing::WithParamInterface<RemovalFolderCase> {};

TEST_P(DriveCleanerRemovalFolder, SkipsOnlyFilesDirectlyInItWhileScanIsOff)
{
    useWildcards({"*.tmp"});
    file("D:\\bin\\a.tmp");
    file("D:\\bin\\sub\\b.tmp");
    file("D:\\c.tmp");
    SaveRemovalSettings(env(), ProgramFolder, 3, GetParam().folder, GetParam().skip);
    search({"D:\\"});
    EXPECT_EQ(sorted(results()), sorted(GetParam().listed));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DriveCleanerRemovalFolder,
    ::testing::Values(
        RemovalFolderCase{"SkippedWhileScanIsOff", "D:\\bin", true, {"D:\\bin\\sub\\b.tmp", "D:\\c.tmp"}},
        RemovalFolderCase{"OtherLetterCase", "d:\\BIN", true, {"D:\\bin\\sub\\b.tmp", "D:\\c.tmp"}},
        RemovalFolderCase{"ListedWhileScanIsOn", "D:\\bin", false, {"D:\\bin\\a.tmp", "D:\\bin\\sub\\b.tmp", "D:\\c.tmp"}},
        RemovalFolderCase{"TrailingBackslashNeverMatches", "D:\\bin\\", true,
                          {"D:\\bin\\a.tmp", "D:\\bin\\sub\\b.tmp", "D:\\c.tmp"}},
        RemovalFolderCase{"DriveRootKeepsItsBackslash", "D:\\", true, {"D:\\bin\\a.tmp", "D:\\bin\\sub\\b.tmp"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DriveCleanerTest, RemovalSettingChangedDuringTheSearchAppliesToLaterFiles)
{
    useWildcards({"*.tmp"});
    file("D:\\first\\a.tmp");
    file("D:\\bin\\b.tmp");
    writeConfig(ConfigPath::UserFolderFile, {"D:\\first", "D:\\bin"});
    // The settings dialog stores the folder while the first row is searched.
    bool changed = false;
    host.onEveryPump([&] {
        if (!changed && tool().lvDCResult().rowCount() == 1) {
            changed = true;
            SaveRemovalSettings(env(), ProgramFolder, 3, "D:\\bin", true);
        }
    });
    search({"D:\\first", "D:\\bin"});
    EXPECT_EQ(results(), (std::vector<std::string>{"D:\\first\\a.tmp"}));
}

TEST_F(DriveCleanerTest, FolderExceptionsAreCaseBlindSubstrings)
{
    useWildcards({"*.tmp"});
    writeConfig(ConfigPath::FolderExceptionFile, {"", "\\TEMP"});
    file("D:\\Temporary\\a.tmp");
    file("D:\\Temp2\\b.tmp");
    file("D:\\x\\temp\\c.tmp");
    file("D:\\other\\d.tmp");
    file("D:\\tem.tmp");
    search({"D:\\"});
    EXPECT_EQ(sorted(results()), (std::vector<std::string>{"D:\\other\\d.tmp", "D:\\tem.tmp"}))
        << "an empty exception line excludes nothing";
}

TEST_F(DriveCleanerTest, FileExceptionsMatchTheWholeNameWithoutRegardToCase)
{
    useWildcards({"*.db"});
    writeConfig(ConfigPath::FileExceptionFile, {"THUMBS.DB"});
    file("D:\\thumbs.db");
    file("D:\\sub\\Thumbs.Db");
    file("D:\\mythumbs.db");
    search({"D:\\"});
    EXPECT_EQ(results(), (std::vector<std::string>{"D:\\mythumbs.db"}));
}

TEST_F(DriveCleanerTest, HiddenSystemFilesAreNeverListed)
{
    writeConfig(ConfigPath::JunkMaskFile, {"*=everything=false"});  // inactive: every file passes
    file("D:\\both.tmp");
    file("D:\\hidden.tmp");
    file("D:\\system.tmp");
    FileSystem& fs = env().fileSystem();
    if (!fs.SetFileAttributes("D:\\both.tmp", FileAttribute::Hidden | FileAttribute::System))
        GTEST_SKIP() << "the temporary folder's file system has no user extended attributes";
    ASSERT_TRUE(fs.SetFileAttributes("D:\\hidden.tmp", FileAttribute::Hidden));
    ASSERT_TRUE(fs.SetFileAttributes("D:\\system.tmp", FileAttribute::System));
    search({"D:\\"});
    EXPECT_EQ(sorted(results()), (std::vector<std::string>{"D:\\hidden.tmp", "D:\\system.tmp"}));
}

TEST_F(DriveCleanerTest, StopDuringTheFirstRowSkipsTheOthers)
{
    useWildcards({"*.tmp"});
    for (int i = 0; i < 20; ++i)
        file("D:\\first\\f" + std::to_string(i) + ".tmp");
    file("D:\\second\\s.tmp");
    writeConfig(ConfigPath::UserFolderFile, {"D:\\first", "D:\\second"});
    bool pressed = false;
    host.onEveryPump([&] {
        if (!pressed && tool().lvDCResult().rowCount() == 1) {
            pressed = true;
            EXPECT_TRUE(tool().controls().btnDCStop) << "Stop is usable during the search";
            tool().btnDCStopClick();
        }
    });
    search({"D:\\first", "D:\\second"});

    ASSERT_TRUE(pressed);
    EXPECT_EQ(results().size(), 1u) << "the walk ends at the entry after Stop; found rows stay";
    EXPECT_EQ(tool().fileCount(), 1);
    const auto& details = host.statusHistory(StatusPanel::Details);
    EXPECT_EQ(std::find(details.begin(), details.end(), "Searching in D:\\second\\..."), details.end());
    EXPECT_EQ(host.statusText(StatusPanel::State), "Canceled by user");
    EXPECT_EQ(host.statusText(StatusPanel::Details), "");
    EXPECT_FALSE(host.shownMessage("Complete."));
    EXPECT_TRUE(state().SearchStopped);
    EXPECT_TRUE(tool().controls().btnDCDelete);
    expectUnlocked(tool(), host);
}

TEST_F(DriveCleanerTest, ASecondSearchStartsAfresh)
{
    useWildcards({"*.tmp"});
    file("D:\\a.tmp", 5);
    file("D:\\b.tmp", 7);
    search({"D:\\"});
    ASSERT_EQ(tool().fileCount(), 2);
    tool().sBitBtn15Click();
    ASSERT_TRUE(env().fileSystem().DeleteFile("D:\\a.tmp"));
    state().SearchStopped = true;  // left over from another tool's stop

    tool().btnDCSearchClick();
    EXPECT_EQ(results(), (std::vector<std::string>{"D:\\b.tmp"}));
    EXPECT_EQ(tool().lvDCResult().checkedCount(), 0u);
    EXPECT_EQ(tool().fileCount(), 1);
    EXPECT_EQ(tool().fileSizeSum(), 7);
    EXPECT_EQ(tool().lblDCFileSize(), "7 b");
    EXPECT_EQ(host.messageTexts(), (std::vector<std::string>{"Complete.", "Complete."}));
}

TEST_F(DriveCleanerTest, SearchWhileLockedAndStopWhileIdleDoNothing)
{
    useWildcards({"*.tmp"});
    file("D:\\a.tmp");
    int nestedRuns = 0;
    host.onEveryPump([&] {
        if (nestedRuns++ == 0)
            tool().btnDCSearchClick();  // a queued click while the button is disabled
    });
    search({"D:\\"});
    EXPECT_EQ(results(), (std::vector<std::string>{"D:\\a.tmp"}));
    EXPECT_EQ(host.messageTexts(), (std::vector<std::string>{"Complete."}));

    tool().btnDCStopClick();
    EXPECT_FALSE(state().SearchStopped) << "Stop is disabled while no search runs";
}

TEST_F(DriveCleanerTest, PlatformErrorDuringTheSearchStillUnlocksThePanel)
{
    useWildcards({"*.tmp"});
    file("D:\\a.tmp");
    auto key = env().registry().openKeyForWrite(RegRoot::CurrentUser, SettingsKey);
    ASSERT_TRUE(key);
    ASSERT_TRUE(key->deleteValue("Remove scan"));

    fillAndCheck({"D:\\"});
    EXPECT_THROW(tool().btnDCSearchClick(), PlatformError);

    expectUnlocked(tool(), host);
    EXPECT_TRUE(results().empty());
    EXPECT_FALSE(tool().controls().btnDCDelete);
    EXPECT_FALSE(host.shownMessage("Complete."));
    EXPECT_FALSE(state().dcSearcher.searching()) << "the searcher can run again";
}

TEST_F(DriveCleanerTest, MissingSettingsKeyIsCreatedWithDefaultsByTheFirstFoundFile)
{
    useWildcards({"*.tmp"});
    file("D:\\a.tmp");
    ASSERT_TRUE(env().registry().deleteKey(RegRoot::CurrentUser, SettingsKey));
    search({"D:\\"});
    EXPECT_EQ(results(), (std::vector<std::string>{"D:\\a.tmp"}));
    auto key = env().registry().openKey(RegRoot::CurrentUser, SettingsKey);
    ASSERT_TRUE(key);
    EXPECT_EQ(key->readInteger("Remove scan"), 0u);
    EXPECT_EQ(key->readInteger("Remove method"), 1u);
}

TEST_F(DriveCleanerTest, UnwritableWildcardFileEndsTheSearchUnlocked)
{
    // A folder where the file should be: the defaults cannot be written.
    prefix.makeFolder(ConfigPath::configFile(ProgramFolder, ConfigPath::JunkMaskFile));
    file("D:\\a.tmp");
    fillAndCheck({"D:\\"});
    EXPECT_THROW(tool().btnDCSearchClick(), PlatformError);
    expectUnlocked(tool(), host);
    EXPECT_TRUE(results().empty());
}

TEST_F(DriveCleanerTest, CheckMarkCommandsBelowThePathListWaitForTheFirstSearch)
{
    useWildcards({"*.tmp"});
    file("D:\\a.tmp");
    file("D:\\b.tmp");
    EXPECT_FALSE(tool().controls().sBitBtn5);
    tool().sBitBtn5Click();
    search({"D:\\"});
    ASSERT_EQ(results().size(), 2u);

    struct Step {
        void (DriveCleaner::*handler)();
        std::vector<bool> before;
        std::vector<bool> after;
    };
    const Step steps[] = {
        {&DriveCleaner::sBitBtn5Click, {false, false}, {true, true}},
        {&DriveCleaner::sBitBtn6Click, {true, true}, {false, false}},
        {&DriveCleaner::sBitBtn7Click, {true, false}, {false, true}},
        {&DriveCleaner::sBitBtn15Click, {false, true}, {true, true}},
        {&DriveCleaner::sBitBtn16Click, {true, false}, {false, false}},
        {&DriveCleaner::sBitBtn17Click, {false, true}, {true, false}},
    };
    CheckList& list = tool().lvDCResult();
    for (const Step& step : steps) {
        list.setChecked(0, step.before[0]);
        list.setChecked(1, step.before[1]);
        (tool().*step.handler)();
        EXPECT_EQ((std::vector<bool>{list.checked(0), list.checked(1)}), step.after);
    }
    EXPECT_EQ(tool().fileCount(), 2) << "check marks leave the counters alone";
}

} // namespace
} // namespace tw::test
