#include <algorithm>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "common/fs/filesystem.h"
#include "common/fs/findpattern.h"
#include "fstestfolder.h"

namespace tw::test {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> sorted(std::vector<std::string> names)
{
    std::sort(names.begin(), names.end());
    return names;
}

struct PatternCase {
    const char* name;
    const char* pattern; // below C:\Box
    std::vector<std::string> expected; // sorted
};

class FindPatterns : public ::testing::TestWithParam<PatternCase> {};

TEST_P(FindPatterns, ListTheMatchingEntries)
{
    FsTestFolder folder;
    for (const char* name : {"a.txt", "B.PF", "c.pf", "noext", "d.lnk", "e.LNK", "x1", "xy1", "a.pf.bak",
                             "\xc3\xa9t\xc3\xa9.pf"})
        folder.file(std::string("Box/") + name);
    folder.folder("Box/Sub");
    const PatternCase& c = GetParam();
    EXPECT_EQ(sorted(listNames(folder.fs(), std::string("C:\\Box\\") + c.pattern)), c.expected) << c.pattern;
}

const std::vector<std::string> everything = {".", "..", "B.PF", "Sub", "a.pf.bak", "a.txt", "c.pf", "d.lnk",
                                             "e.LNK", "noext", "x1", "xy1", "\xc3\xa9t\xc3\xa9.pf"};

const PatternCase patternCases[] = {
    {"Star", "*", everything},
    {"StarDotStarTakesNamesWithoutDot", "*.*", everything},
    {"Extension", "*.pf", {"B.PF", "c.pf", "\xc3\xa9t\xc3\xa9.pf"}},
    {"ExtensionUpperCase", "*.PF", {"B.PF", "c.pf", "\xc3\xa9t\xc3\xa9.pf"}},
    {"ShortcutExtension", "*.lnk", {"d.lnk", "e.LNK"}},
    {"QuestionMarkIsOneCharacter", "x?", {"x1"}},
    {"QuestionMarksInside", "?y?", {"xy1"}},
    {"QuestionMarkTakesAUnicodeCharacter", "?t?.pf", {"\xc3\xa9t\xc3\xa9.pf"}},
    {"UnicodeCaseBlind", "\xc3\x89T\xc3\x89.PF", {"\xc3\xa9t\xc3\xa9.pf"}},
    {"TwoStars", "*.*.*", {"..", "a.pf.bak"}},
    {"StarInside", "a*t", {"a.txt"}},
    {"LiteralCaseBlind", "NOEXT", {"noext"}},
    {"LiteralFolder", "sub", {"Sub"}},
    {"NothingMatches", "*.tx", {"<error 2>"}},
    {"DotAlone", ".", {"."}},
    {"InvalidCharacterInPattern", "a|b", {"<error 2>"}},
    {"EmptyPattern", "", {"<error 2>"}},
};

INSTANTIATE_TEST_SUITE_P(Table, FindPatterns, ::testing::ValuesIn(patternCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct WildcardCase {
    const char* name;
    const char* pattern;
    const char* text;
    bool matches;
};

class WildcardMatching : public ::testing::TestWithParam<WildcardCase> {};

TEST_P(WildcardMatching, FollowsThePlatformRules)
{
    const WildcardCase& c = GetParam();
    EXPECT_EQ(FindPattern(c.pattern).matches(c.text), c.matches) << c.pattern << " on " << c.text;
}

const WildcardCase wildcardCases[] = {
    {"StarMatchesEmpty", "a*", "a", true},
    {"StarDotStarMatchesNoDot", "*.*", "README", true},
    {"SuffixNeedsTheWholeEnd", "*.tmp", "x.tmp.bak", false},
    {"SuffixLongerThanName", "*.longext", "a.b", false},
    {"QuestionNeedsACharacter", "a?", "a", false},
    {"BacktrackingStar", "*ab*cd", "xabyabzcd", true},
    {"BacktrackingFails", "*ab*cd", "xabyabzc", false},
    {"CaseBlindAscii", "ReadMe.TXT", "readme.txt", true},
    {"CaseBlindGreek", "\xce\xa3*", "\xcf\x83\xce\xbf\xcf\x86\xce\xaf\xce\xb1", true},
    {"LiteralDiffers", "abc", "abd", false},
};

INSTANTIATE_TEST_SUITE_P(Table, WildcardMatching, ::testing::ValuesIn(wildcardCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Enumeration, LiteralPatternTakesTheExactNameOverCaseVariants)
{
    FsTestFolder folder;
    folder.file("Case.txt");
    folder.file("case.txt");
    EXPECT_EQ(listNames(folder.fs(), "C:\\case.txt"), std::vector<std::string>{"case.txt"});
    EXPECT_EQ(listNames(folder.fs(), "C:\\Case.txt"), std::vector<std::string>{"Case.txt"});
}

TEST(Enumeration, FolderIsFoundWithoutRegardToCase)
{
    FsTestFolder folder;
    folder.file("Games/Save/slot1.dat");
    EXPECT_EQ(sorted(listNames(folder.fs(), "C:\\GAMES\\save\\*")),
              (std::vector<std::string>{".", "..", "slot1.dat"}));
}

TEST(Enumeration, DotEntriesDescribeTheFolderAndItsParent)
{
    FsTestFolder folder;
    folder.folder("Top/.Inner");
    ASSERT_EQ(::chmod((folder.c() / "Top").c_str(), 0555), 0);
    const FindData dot = findEntry(folder.fs(), "C:\\Top\\.Inner", ".");
    const FindData dotDot = findEntry(folder.fs(), "C:\\Top\\.Inner", "..");
    EXPECT_EQ(dot.attributes, FileAttribute::Directory | FileAttribute::Hidden) << "the .Inner folder itself";
    EXPECT_EQ(dotDot.attributes, FileAttribute::Directory | FileAttribute::ReadOnly) << "Top, without write bits";
    EXPECT_EQ(dot.size, 0u);
}

TEST(Enumeration, DotDotOfADriveRootIsTheRootItself)
{
    FsTestFolder folder;
    const auto root = folder.fs().GetFileAttributes("C:\\");
    const FindData dotDot = findEntry(folder.fs(), "C:", "..");
    EXPECT_EQ(dotDot.name, "..");
    EXPECT_EQ(dotDot.attributes, root.value_or(0));
    EXPECT_EQ(dotDot.lastWriteTime, findEntry(folder.fs(), "C:", ".").lastWriteTime);
}

TEST(Enumeration, EntriesCarrySizeAttributesAndTimes)
{
    FsTestFolder folder;
    const fs::path file = folder.file("data.bin", std::string(1234, 'x'));
    const FindData entry = findEntry(folder.fs(), "C:", "data.bin");
    EXPECT_EQ(entry.size, 1234u);
    EXPECT_EQ(entry.attributes, FileAttribute::Archive);
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    const uint64_t expectedWrite = (static_cast<uint64_t>(st.st_mtim.tv_sec) + 11644473600ULL) * 10000000ULL
                                 + static_cast<uint64_t>(st.st_mtim.tv_nsec) / 100;
    EXPECT_EQ(entry.lastWriteTime, expectedWrite);
    EXPECT_NE(entry.creationTime, 0u);
    EXPECT_NE(entry.lastAccessTime, 0u);
}

TEST(Enumeration, SizesAreSixtyFourBit)
{
    FsTestFolder folder;
    const fs::path file = folder.file("big.iso");
    fs::resize_file(file, 5ULL << 30); // sparse: no space taken
    EXPECT_EQ(findEntry(folder.fs(), "C:", "big.iso").size, 5ULL << 30);
}

TEST(Enumeration, LinksAreListedAsTheirTargetWithTheReparsePointBit)
{
    FsTestFolder folder;
    folder.file("target.txt", "12345");
    folder.folder("TargetFolder");
    folder.link("file-link", "target.txt");
    folder.link("folder-link", "TargetFolder");
    const FindData fileLink = findEntry(folder.fs(), "C:", "file-link");
    const FindData folderLink = findEntry(folder.fs(), "C:", "folder-link");
    EXPECT_EQ(fileLink.attributes, FileAttribute::Archive | FileAttribute::ReparsePoint);
    EXPECT_EQ(fileLink.size, 5u) << "the size of the target";
    EXPECT_EQ(folderLink.attributes, FileAttribute::Directory | FileAttribute::ReparsePoint);
}

TEST(Enumeration, DanglingLinksFifosSocketsAndInvisibleNamesAreNeverListed)
{
    FsTestFolder folder;
    folder.file("visible.txt");
    folder.link("dangling", "nowhere");
    folder.link("loop", "loop");
    folder.fifo("pipe");
    const fs::path socketPath = folder.c() / "socket";
    const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", socketPath.c_str());
    ASSERT_EQ(::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(s);
    for (const char* name : {"bad:name", "what?", "tab\tname", "caf\xe9.txt", "back\\slash"})
        folder.file(name);
    EXPECT_EQ(sorted(listNames(folder.fs(), "C:\\*")), (std::vector<std::string>{".", "..", "visible.txt"}));
}

TEST(Enumeration, ErrorsTellMissingFolderFromNoMatch)
{
    FsTestFolder folder;
    folder.file("Box/a.txt");
    EXPECT_EQ(listNames(folder.fs(), "C:\\Missing\\*"), std::vector<std::string>{"<error 3>"});
    EXPECT_EQ(listNames(folder.fs(), "C:\\Box\\*.pf"), std::vector<std::string>{"<error 2>"});
    EXPECT_EQ(listNames(folder.fs(), "C:\\Box\\a.txt\\*"), std::vector<std::string>{"<error 3>"})
        << "a file is not a folder";
    EXPECT_EQ(listNames(folder.fs(), "Q:\\*"), std::vector<std::string>{"<error 3>"});
    EXPECT_EQ(listNames(folder.fs(), "\\\\server\\share\\*"), std::vector<std::string>{"<error 3>"});
    EXPECT_EQ(listNames(folder.fs(), "*"), std::vector<std::string>{"<error 3>"});
}

TEST(Enumeration, UnreadableFolderIsAccessDenied)
{
    FsTestFolder folder;
    folder.file("Locked/a.txt");
    ASSERT_EQ(::chmod((folder.c() / "Locked").c_str(), 0), 0);
    if (::geteuid() != 0) {
        EXPECT_EQ(listNames(folder.fs(), "C:\\Locked\\*"), std::vector<std::string>{"<error 5>"});
        return;
    }
    // Root reads every folder: look as an unprivileged user from a child process.
    for (fs::path p = folder.c(); p != folder.root().parent_path(); p = p.parent_path())
        ::chmod(p.c_str(), 0755);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(2);
        const bool denied = listNames(folder.fs(), "C:\\Locked\\*") == std::vector<std::string>{"<error 5>"};
        const bool readable = listNames(folder.fs(), "C:\\*").size() == 3;
        ::_exit(denied && readable ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: not AccessDenied, 2: could not drop privileges";
}

TEST(Enumeration, VirtualFileSystemsAreNotListed)
{
    FsTestFolder folder;
    folder.addDrive('p', "/proc");
    EXPECT_EQ(listNames(folder.fs(), "P:\\*"), std::vector<std::string>{"<error 5>"});
    EXPECT_EQ(listNames(folder.fs(), "P:\\self\\*"), std::vector<std::string>{"<error 5>"});
}

TEST(Enumeration, EndOfTheListIsNoMoreFiles)
{
    FsTestFolder folder;
    folder.file("only.txt");
    FindData data;
    uint32_t error = 99;
    auto handle = folder.fs().FindFirstFile("C:\\*.txt", data, error);
    ASSERT_TRUE(handle);
    EXPECT_EQ(error, WinError::Success);
    EXPECT_EQ(data.name, "only.txt");
    EXPECT_FALSE(handle->next(data));
    EXPECT_EQ(handle->error(), WinError::NoMoreFiles);
    EXPECT_FALSE(handle->next(data)) << "stays at the end";
}

TEST(Enumeration, LinkedDriveRootIsFollowed)
{
    FsTestFolder folder;
    const fs::path target = folder.addDrive('e');
    std::filesystem::create_directories(target / "inside");
    EXPECT_EQ(sorted(listNames(folder.fs(), "E:\\*")), (std::vector<std::string>{".", "..", "inside"}));
}

} // namespace
} // namespace tw::test
