#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <ostream>
#include <string>
#include <vector>

#include "common/fs/filesystem.h"
#include "common/mainstate.h"
#include "common/searchfiles.h"
#include "support/tempprefix.h"

namespace tw {
namespace {

// A searcher over drive D: of a throw-away prefix that records its events as
// "dir <folder>", "file <path>", "abort".
class SearchFilesTest : public testing::Test {
protected:
    SearchFilesTest()
    {
        prefix.addDrive('D');
        searcher.OnBeginScanDir = [this](TSearchFiles&, const std::string& folder) { log.push_back("dir " + folder); };
        searcher.OnFindFile = [this](TSearchFiles&, const std::string& path) { log.push_back("file " + path); };
        searcher.OnAbort = [this](TSearchFiles&) { log.push_back("abort"); };
        searcher.FileParams.SearchTypes = {stFileMask};
    }

    FileSystem& fs() { return prefix.env().fileSystem(); }

    void file(std::string_view path, size_t size = 0) { prefix.writeFile(path, std::string(size, 'x')); }

    void attributes(std::string_view path, uint32_t attributes)
    {
        ASSERT_TRUE(fs().SetFileAttributes(path, attributes)) << "cannot set attributes of " << path;
    }

    // Names of a folder in the platform's enumeration order, "." and ".." left out.
    std::vector<std::string> enumerationOrder(const std::string& folder)
    {
        std::vector<std::string> names;
        FindData entry;
        uint32_t error = 0;
        auto find = fs().FindFirstFile(folder + "*", entry, error);
        if (!find)
            return names;
        do {
            if (entry.name != "." && entry.name != "..")
                names.push_back(entry.name);
        } while (find->next(entry));
        return names;
    }

    std::vector<std::string> found() const
    {
        std::vector<std::string> files;
        for (const std::string& line : log)
            if (line.starts_with("file "))
                files.push_back(line.substr(5));
        return files;
    }

    std::vector<std::string> search(const std::string& root)
    {
        log.clear();
        searcher.RootDirectory = root;
        EXPECT_TRUE(searcher.RunSearch()) << "search of " << root << " did not finish";
        return found();
    }

    test::TempPrefix prefix;
    TSearchFiles searcher{prefix.env().fileSystem()};
    std::vector<std::string> log;
};

bool contains(const std::vector<std::string>& list, const std::string& item)
{
    return std::find(list.begin(), list.end(), item) != list.end();
}

TEST_F(SearchFilesTest, ReportsAFoldersFilesBeforeItsSubFoldersDepthFirst)
{
    for (const char* path : {"D:\\r1.txt", "D:\\a\\a1.txt", "D:\\a\\x\\ax1.txt", "D:\\a\\y\\ay1.txt", "D:\\b\\b1.txt",
                             "D:\\b\\x\\bx1.txt", "D:\\r2.txt", "D:\\c\\c1.txt"})
        file(path);

    search("D:\\");

    // Expected: the log of a walk that lists a folder's files, then walks its
    // sub-folders one after the other, each completely, in the order met.
    std::vector<std::string> expected;
    std::function<void(const std::string&)> walk = [&](const std::string& folder) {
        expected.push_back("dir " + folder);
        std::vector<std::string> subFolders;
        for (const std::string& name : enumerationOrder(folder)) {
            if (fs().DirectoryExists(folder + name))
                subFolders.push_back(name);
            else
                expected.push_back("file " + folder + name);
        }
        for (const std::string& name : subFolders)
            walk(folder + name + "\\");
    };
    walk("D:\\");
    EXPECT_EQ(log, expected);
    EXPECT_EQ(found().size(), 8u);
}

TEST_F(SearchFilesTest, BeginScanDirGetsEveryFolderWithATrailingBackslash)
{
    file("D:\\sub\\deeper\\f.txt");
    search("D:\\sub");
    EXPECT_EQ(log, (std::vector<std::string>{"dir D:\\sub\\", "dir D:\\sub\\deeper\\", "file D:\\sub\\deeper\\f.txt"}));
    search("D:\\sub\\");
    EXPECT_EQ(log.front(), "dir D:\\sub\\") << "a trailing backslash is not doubled";
}

TEST_F(SearchFilesTest, ExcludeSubDirsReportsOnlyTheRootsFiles)
{
    file("D:\\top.txt");
    file("D:\\sub\\below.txt");
    searcher.DirOption = doExcludeSubDirs;
    EXPECT_EQ(search("D:\\"), (std::vector<std::string>{"D:\\top.txt"}));
    EXPECT_EQ(log, (std::vector<std::string>{"dir D:\\", "file D:\\top.txt"}));
}

struct SkipCase {
    const char* label;
    const char* path;        // the file to find
    const char* attributed;  // the entry whose attributes are set ("" for none)
    uint32_t attributes;
    bool reported;
};

void PrintTo(const SkipCase& c, std::ostream* os)
{
    *os << c.label;
}

const SkipCase skipCases[] = {
    {"plain file", "D:\\plain.tmp", "", 0, true},
    {"hidden file", "D:\\hidden.tmp", "D:\\hidden.tmp", FileAttribute::Hidden, true},
    {"system file without attribute test", "D:\\system.tmp", "D:\\system.tmp", FileAttribute::System, true},
    {"hidden and system file", "D:\\hs.tmp", "D:\\hs.tmp", FileAttribute::Hidden | FileAttribute::System, false},
    {"read-only hidden system file", "D:\\rhs.tmp", "D:\\rhs.tmp",
     FileAttribute::ReadOnly | FileAttribute::Hidden | FileAttribute::System, false},
    {"file in a hidden folder", "D:\\hdir\\in.tmp", "D:\\hdir", FileAttribute::Hidden, true},
    {"file in a system folder", "D:\\sdir\\in.tmp", "D:\\sdir", FileAttribute::System, true},
    {"file in a hidden and system folder", "D:\\hsdir\\in.tmp", "D:\\hsdir",
     FileAttribute::Hidden | FileAttribute::System, false},
    {"file below a hidden and system folder", "D:\\hsdir2\\deep\\in.tmp", "D:\\hsdir2",
     FileAttribute::Hidden | FileAttribute::System, false},
};

class SearchSkipTest : public SearchFilesTest, public testing::WithParamInterface<SkipCase> {};

TEST_P(SearchSkipTest, SkipsOnlyHiddenAndSystemEntries)
{
    const SkipCase& c = GetParam();
    file(c.path);
    if (*c.attributed)
        attributes(c.attributed, c.attributes);
    searcher.FileParams.FileMasks = {"*.tmp"};
    const std::vector<std::string> files = search("D:\\");
    EXPECT_EQ(contains(files, c.path), c.reported) << c.path;
    if (!c.reported && std::string(c.attributed) != c.path) {
        EXPECT_FALSE(contains(log, "dir " + std::string(c.attributed) + "\\")) << "a hidden and system folder was entered";
    }
}

INSTANTIATE_TEST_SUITE_P(Table, SearchSkipTest, testing::ValuesIn(skipCases),
                         [](const testing::TestParamInfo<SkipCase>& info) {
                             std::string name;
                             for (const char* p = info.param.label; *p; ++p)
                                 name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                             return name;
                         });

TEST_F(SearchFilesTest, NeverDescendsALinkedFolder)
{
    file("D:\\real\\inside.txt");
    const std::filesystem::path outside = prefix.root() / "outside";
    std::filesystem::create_directories(outside);
    std::ofstream(outside / "secret.txt") << "x";
    std::filesystem::create_directory_symlink(prefix.host("D:\\real"), prefix.host("D:\\") / "loop");
    std::filesystem::create_directory_symlink(outside, prefix.host("D:\\") / "away");

    const std::vector<std::string> files = search("D:\\");
    EXPECT_EQ(files, (std::vector<std::string>{"D:\\real\\inside.txt"}));
    EXPECT_FALSE(contains(log, "dir D:\\loop\\"));
    EXPECT_FALSE(contains(log, "dir D:\\away\\"));
}

TEST_F(SearchFilesTest, FollowsALinkGivenAsTheRoot)
{
    const std::filesystem::path outside = prefix.root() / "target";
    std::filesystem::create_directories(outside);
    std::ofstream(outside / "t.txt") << "x";
    std::filesystem::create_directory_symlink(outside, prefix.host("D:\\") / "link");
    EXPECT_EQ(search("D:\\link"), (std::vector<std::string>{"D:\\link\\t.txt"}));
}

TEST_F(SearchFilesTest, AMissingRootBeginsOnceAndFindsNothing)
{
    EXPECT_TRUE(search("D:\\missing").empty());
    EXPECT_EQ(log, (std::vector<std::string>{"dir D:\\missing\\"}));
    EXPECT_TRUE(search("Q:\\").empty()) << "an unknown drive";
    EXPECT_EQ(log, (std::vector<std::string>{"dir Q:\\"}));
}

struct MaskCase {
    const char* label;
    std::vector<std::string> masks;
    std::vector<std::string> reported;  // out of README, a.tmp, B.TMP, x.tmp.bak, twain123.mtx, twain12.mtx, .profile
};

void PrintTo(const MaskCase& c, std::ostream* os)
{
    *os << c.label;
}

const MaskCase maskCases[] = {
    {"empty list reports every file",
     {},
     {"README", "a.tmp", "B.TMP", "x.tmp.bak", "twain123.mtx", "twain12.mtx", ".profile"}},
    {"star alone reports every file",
     {"*"},
     {"README", "a.tmp", "B.TMP", "x.tmp.bak", "twain123.mtx", "twain12.mtx", ".profile"}},
    {"star dot star needs a dot", {"*.*"}, {"a.tmp", "B.TMP", "x.tmp.bak", "twain123.mtx", "twain12.mtx", ".profile"}},
    {"upper-case wildcard finds both cases", {"*.TMP"}, {"a.tmp", "B.TMP"}},
    {"lower-case wildcard finds both cases", {"*.tmp"}, {"a.tmp", "B.TMP"}},
    {"three question marks", {"twain???.mtx"}, {"twain123.mtx"}},
    {"any of several wildcards", {"readme", "*.bak"}, {"README", "x.tmp.bak"}},
    // An empty wildcard matches nothing, so a list of empty entries reports nothing.
    {"one empty wildcard reports nothing", {""}, {}},
    {"an empty wildcard beside another", {"", "*.bak"}, {"x.tmp.bak"}},
};

class SearchMaskTest : public SearchFilesTest, public testing::WithParamInterface<MaskCase> {};

TEST_P(SearchMaskTest, ReportsTheMatchingNames)
{
    for (const char* name : {"README", "a.tmp", "B.TMP", "x.tmp.bak", "twain123.mtx", "twain12.mtx", ".profile"})
        file("D:\\" + std::string(name));
    searcher.FileParams.FileMasks = GetParam().masks;
    std::vector<std::string> names;
    for (const std::string& path : search("D:\\"))
        names.push_back(path.substr(3));
    std::vector<std::string> expected = GetParam().reported;
    std::sort(names.begin(), names.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(names, expected);
}

INSTANTIATE_TEST_SUITE_P(Table, SearchMaskTest, testing::ValuesIn(maskCases),
                         [](const testing::TestParamInfo<MaskCase>& info) {
                             std::string name;
                             for (const char* p = info.param.label; *p; ++p)
                                 name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                             return name;
                         });

TEST_F(SearchFilesTest, SizeBoundsAreInclusive)
{
    file("D:\\s99", 99);
    file("D:\\s100", 100);
    file("D:\\s101", 101);
    TSearchParams& params = searcher.FileParams;
    params.MinSize = 100;
    params.MaxSize = 100;

    params.SearchTypes = {stMinSize, stMaxSize};
    std::vector<std::string> files = search("D:\\");
    EXPECT_EQ(files, (std::vector<std::string>{"D:\\s100"}));

    params.SearchTypes = {stMinSize};
    files = search("D:\\");
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<std::string>{"D:\\s100", "D:\\s101"}));

    params.SearchTypes = {stMaxSize};
    files = search("D:\\");
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<std::string>{"D:\\s100", "D:\\s99"}));

    params.SearchTypes = {};
    EXPECT_EQ(search("D:\\").size(), 3u) << "bounds without their tests do nothing";
}

TEST_F(SearchFilesTest, AttributeTestExcludesAndIncludes)
{
    file("D:\\plain.txt");
    file("D:\\hidden.txt");
    file("D:\\system.txt");
    attributes("D:\\hidden.txt", FileAttribute::Hidden);
    attributes("D:\\system.txt", FileAttribute::System);
    TSearchParams& params = searcher.FileParams;
    params.SearchTypes = {stAttribute, stFileMask};

    params.Attributes.setFlag(FileAttribute::System, tsMustBeUnSet);
    std::vector<std::string> files = search("D:\\");
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<std::string>{"D:\\hidden.txt", "D:\\plain.txt"}));

    params.Attributes.setFlag(FileAttribute::Hidden, tsMustBeUnSet);
    EXPECT_EQ(search("D:\\"), (std::vector<std::string>{"D:\\plain.txt"}));

    params.Attributes.setFlag(FileAttribute::Hidden, tsMustBeSet);
    EXPECT_EQ(search("D:\\"), (std::vector<std::string>{"D:\\hidden.txt"}));

    params.Attributes.setFlag(FileAttribute::Hidden | FileAttribute::System, tsDontCare);
    EXPECT_EQ(search("D:\\").size(), 3u);
}

TEST(SearchAttributes, ThreeStatesMoveTheBitBetweenMasks)
{
    TSearchAttributes attributes;
    attributes.setFlag(FileAttribute::Hidden, tsMustBeSet);
    EXPECT_EQ(attributes.IncludeAttr, FileAttribute::Hidden);
    EXPECT_EQ(attributes.ExcludeAttr, 0u);
    attributes.setFlag(FileAttribute::Hidden, tsMustBeUnSet);
    EXPECT_EQ(attributes.IncludeAttr, 0u);
    EXPECT_EQ(attributes.ExcludeAttr, FileAttribute::Hidden);
    attributes.setFlag(FileAttribute::System, tsMustBeUnSet);
    attributes.setFlag(FileAttribute::Hidden, tsDontCare);
    EXPECT_EQ(attributes.IncludeAttr, 0u);
    EXPECT_EQ(attributes.ExcludeAttr, FileAttribute::System);
    EXPECT_EQ(attributes.flag(FileAttribute::System), tsMustBeUnSet);
    EXPECT_EQ(attributes.flag(FileAttribute::Hidden), tsDontCare);
}

TEST_F(SearchFilesTest, FindDataDescribesTheReportedFile)
{
    file("D:\\sized.bin", 1234);
    std::string seenName;
    uint64_t seenSize = 0;
    searcher.OnFindFile = [&](TSearchFiles& sender, const std::string&) {
        seenName = sender.FindData.name;
        seenSize = sender.FindData.size;
    };
    searcher.RootDirectory = "D:\\";
    ASSERT_TRUE(searcher.RunSearch());
    EXPECT_EQ(seenName, "sized.bin");
    EXPECT_EQ(seenSize, 1234u);
}

TEST_F(SearchFilesTest, AbortWithoutASearchFiresNothing)
{
    file("D:\\a.txt");
    searcher.AbortSearch();
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(search("D:\\"), (std::vector<std::string>{"D:\\a.txt"})) << "the next search runs normally";
}

TEST_F(SearchFilesTest, AbortDuringASearchStopsAtOnce)
{
    for (int i = 0; i < 5; ++i)
        file("D:\\f" + std::to_string(i) + ".txt");
    file("D:\\sub\\g.txt");
    searcher.OnFindFile = [this](TSearchFiles& sender, const std::string& path) {
        log.push_back("file " + path);
        sender.AbortSearch();
        log.push_back("returned");
    };
    searcher.RootDirectory = "D:\\";
    EXPECT_FALSE(searcher.RunSearch());
    ASSERT_EQ(log.size(), 4u);
    EXPECT_TRUE(log[1].starts_with("file "));
    EXPECT_EQ(log[2], "abort") << "OnAbort fires before AbortSearch returns";
    EXPECT_EQ(log[3], "returned");
    EXPECT_FALSE(searcher.searching());

    searcher.OnFindFile = [this](TSearchFiles&, const std::string& path) { log.push_back("file " + path); };
    EXPECT_EQ(search("D:\\").size(), 6u) << "the next search starts normally";
}

TEST_F(SearchFilesTest, AbortFromProgressEndsBeforeTheEntryIsLookedAt)
{
    file("D:\\a\\one.txt");
    file("D:\\b\\two.txt");
    int progress = 0;
    searcher.OnProgress = [&](TSearchFiles& sender) {
        if (++progress == 1)
            sender.AbortSearch();
    };
    searcher.RootDirectory = "D:\\";
    EXPECT_FALSE(searcher.RunSearch());
    EXPECT_EQ(log, (std::vector<std::string>{"dir D:\\", "abort"}));
}

TEST_F(SearchFilesTest, AbortWhenAFolderBeginsReportsNothingOfIt)
{
    file("D:\\a.txt");
    file("D:\\one\\b.txt");
    file("D:\\two\\c.txt");
    int folders = 0;
    searcher.OnBeginScanDir = [&](TSearchFiles& sender, const std::string& folder) {
        log.push_back("dir " + folder);
        if (++folders == 2)
            sender.AbortSearch();
    };
    searcher.RootDirectory = "D:\\";
    EXPECT_FALSE(searcher.RunSearch());
    EXPECT_EQ(found(), (std::vector<std::string>{"D:\\a.txt"}));
    ASSERT_EQ(log.size(), 4u) << "root, its file, the first sub-folder, the abort; nothing after";
    EXPECT_EQ(log[0], "dir D:\\");
    EXPECT_EQ(log[3], "abort");
}

TEST_F(SearchFilesTest, ASecondSearchWhileOneRunsReturnsFalse)
{
    file("D:\\a.txt");
    file("D:\\b.txt");
    int nested = 0;
    bool nestedResult = true;
    bool searchingInside = false;
    searcher.OnProgress = [&](TSearchFiles& sender) {
        searchingInside = sender.searching();
        if (nested++ == 0)
            nestedResult = sender.RunSearch();
    };
    EXPECT_EQ(search("D:\\").size(), 2u) << "the running search goes on";
    EXPECT_FALSE(nestedResult);
    EXPECT_TRUE(searchingInside);
    EXPECT_EQ(std::count(log.begin(), log.end(), "dir D:\\"), 1) << "the nested call did not walk";
}

TEST_F(SearchFilesTest, ProgressFiresForEveryEntry)
{
    file("D:\\a.txt");
    file("D:\\b.tmp");
    file("D:\\sub\\c.txt");
    // Every entry the platform lists, "." and ".." included, files that fail the
    // filter and folders alike.
    size_t listed = 0;
    for (const char* folder : {"D:\\*", "D:\\sub\\*"}) {
        FindData entry;
        uint32_t error = 0;
        auto find = fs().FindFirstFile(folder, entry, error);
        ASSERT_TRUE(find) << folder;
        do
            ++listed;
        while (find->next(entry));
    }
    size_t progress = 0;
    searcher.OnProgress = [&](TSearchFiles&) { ++progress; };
    searcher.FileParams.FileMasks = {"*.tmp"};
    search("D:\\");
    EXPECT_EQ(progress, listed);
    EXPECT_GE(listed, 4u) << "a.txt, b.tmp, sub and c.txt at least";
}

TEST_F(SearchFilesTest, AThrowingEventLeavesTheSearcherUsable)
{
    file("D:\\a.txt");
    searcher.OnFindFile = [](TSearchFiles&, const std::string&) { throw std::runtime_error("stop"); };
    searcher.RootDirectory = "D:\\";
    EXPECT_THROW(searcher.RunSearch(), std::runtime_error);
    EXPECT_FALSE(searcher.searching());
    searcher.OnFindFile = [this](TSearchFiles&, const std::string& path) { log.push_back("file " + path); };
    EXPECT_EQ(search("D:\\").size(), 1u);
}

TEST_F(SearchFilesTest, MainStateConfiguresTheFourSearchers)
{
    MainState state(fs());
    EXPECT_FALSE(state.SearchStopped);
    EXPECT_EQ(state.dcSearcher.FileParams.SearchTypes, (TSearchTypes{stFileMask}));
    EXPECT_EQ(state.dcSearcher.FileParams.Attributes.ExcludeAttr, FileAttribute::System);
    EXPECT_EQ(state.dcSearcher.FileParams.FileMasks, (std::vector<std::string>{""}));
    EXPECT_EQ(state.dfSearcher.FileParams.SearchTypes, (TSearchTypes{stAttribute, stFileMask}));
    EXPECT_EQ(state.dfSearcher.FileParams.Attributes.ExcludeAttr, FileAttribute::System);
    EXPECT_EQ(state.dfSearcher.FileParams.FileMasks, (std::vector<std::string>{""}));
    EXPECT_EQ(state.sdSearcher.FileParams.SearchTypes, (TSearchTypes{stAttribute, stFileMask}));
    EXPECT_EQ(state.sdSearcher.FileParams.Attributes.ExcludeAttr, FileAttribute::System);
    EXPECT_EQ(state.sdSearcher.FileParams.FileMasks, (std::vector<std::string>{"*.lnk"}));
    EXPECT_EQ(state.fwSearcher.FileParams.SearchTypes, (TSearchTypes{stFileMask}));
    EXPECT_EQ(state.fwSearcher.FileParams.Attributes.ExcludeAttr, 0u);
    EXPECT_EQ(state.fwSearcher.FileParams.FileMasks, (std::vector<std::string>{"*.*"}));
    for (const TSearchFiles* s : {&state.dcSearcher, &state.dfSearcher, &state.sdSearcher, &state.fwSearcher}) {
        EXPECT_EQ(s->DirOption, doIncludeSubDirs);
        EXPECT_EQ(s->ErrorResponse, erIgnore);
    }

    // The shortcut doctor's searcher reports hidden shortcuts but not system ones.
    file("D:\\a.lnk");
    file("D:\\h.lnk");
    file("D:\\s.lnk");
    file("D:\\note.txt");
    attributes("D:\\h.lnk", FileAttribute::Hidden);
    attributes("D:\\s.lnk", FileAttribute::System);
    std::vector<std::string> files;
    state.sdSearcher.OnFindFile = [&](TSearchFiles&, const std::string& path) { files.push_back(path); };
    state.sdSearcher.RootDirectory = "D:\\";
    ASSERT_TRUE(state.sdSearcher.RunSearch());
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<std::string>{"D:\\a.lnk", "D:\\h.lnk"}));
}

} // namespace
} // namespace tw
