#include <gtest/gtest.h>

#include "common/fs/filesystem.h"
#include "common/fs/pathresolver.h"
#include "common/fs/windowsname.h"
#include "fstestfolder.h"

namespace tw::test {
namespace {

namespace fs = std::filesystem;

struct ResolutionCase {
    const char* name;
    const char* windowsPath;
    const char* expected; // relative to C:'s host root; nullptr: resolves to nothing
};

class PathResolution : public ::testing::TestWithParam<ResolutionCase> {};

TEST_P(PathResolution, ResolvesToTheExpectedHostPath)
{
    FsTestFolder folder;
    folder.file("Alpha/beta.txt");
    folder.folder("DOC");
    folder.folder("Doc");
    folder.folder("doc");
    folder.file("\xc3\xa4pfel.txt"); // äpfel.txt
    folder.file("Alpha/Gamma/delta.bin");

    const ResolutionCase& c = GetParam();
    const auto host = folder.fs().hostPath(c.windowsPath);
    if (!c.expected) {
        EXPECT_FALSE(host.has_value()) << c.windowsPath << " gave " << host.value_or("");
        return;
    }
    ASSERT_TRUE(host.has_value()) << c.windowsPath;
    const fs::path expected = std::string(c.expected).empty() ? folder.c() : folder.c() / c.expected;
    EXPECT_EQ(host->lexically_normal(), expected.lexically_normal()) << c.windowsPath;
}

const ResolutionCase resolutionCases[] = {
    {"Exact", "C:\\Alpha\\beta.txt", "Alpha/beta.txt"},
    {"CaseBlind", "C:\\ALPHA\\BETA.TXT", "Alpha/beta.txt"},
    {"CaseBlindDeep", "c:\\alpha\\gamma\\DELTA.bin", "Alpha/Gamma/delta.bin"},
    {"FirstInNameOrder", "C:\\dOc", "DOC"},
    {"ExactWinsOverCaseBlind", "C:\\doc", "doc"},
    {"ExactWinsOverCaseBlindMixed", "C:\\Doc", "Doc"},
    {"UnicodeCaseBlind", "C:\\\xc3\x84PFEL.TXT", "\xc3\xa4pfel.txt"},
    {"MissingKeptAsWritten", "C:\\Alpha\\New Folder\\x.txt", "Alpha/New Folder/x.txt"},
    {"MissingLastKeptAsWritten", "C:\\ALPHA\\NewFile.TXT", "Alpha/NewFile.TXT"},
    {"ForwardSlashes", "C:/Alpha/beta.txt", "Alpha/beta.txt"},
    {"DoubledSeparator", "C:\\Alpha\\\\beta.txt", "Alpha/beta.txt"},
    {"TrailingSeparator", "C:\\Alpha\\", "Alpha"},
    {"DotsFolded", "C:\\Alpha\\.\\Gamma\\..\\beta.txt", "Alpha/beta.txt"},
    {"DotDotNeverAboveRoot", "C:\\..\\..\\Alpha\\beta.txt", "Alpha/beta.txt"},
    {"DotDotAtRootStaysAtRoot", "C:\\..", ""},
    {"DriveRoot", "C:\\", ""},
    {"DriveAlone", "C:", ""},
    {"DriveLetterLowerCase", "c:\\Alpha", "Alpha"},
    {"DriveRelativeTakenFromRoot", "C:Alpha", "Alpha"},
    {"UnknownDrive", "Q:\\Alpha", nullptr},
    {"UncPath", "\\\\server\\share\\Alpha", nullptr},
    {"DevicePath", "\\\\.\\C:\\Alpha", nullptr},
    {"LongPathPrefix", "\\\\?\\C:\\Alpha", nullptr},
    {"RelativePath", "Alpha\\beta.txt", nullptr},
    {"RootedWithoutDrive", "\\Alpha\\beta.txt", nullptr},
    {"Empty", "", nullptr},
    {"Star", "C:\\Al*", nullptr},
    {"QuestionMark", "C:\\Alph?", nullptr},
    {"Quote", "C:\\a\"b", nullptr},
    {"Less", "C:\\a<b", nullptr},
    {"Greater", "C:\\a>b", nullptr},
    {"Pipe", "C:\\a|b", nullptr},
    {"Colon", "C:\\Alpha\\beta.txt:stream", nullptr},
    {"ControlCharacter", "C:\\a\x01z", nullptr},
    {"Tab", "C:\\a\tb", nullptr},
    {"InvalidUtf8", "C:\\caf\xe9", nullptr},
    {"InvalidNameAfterDotDot", "C:\\x*y\\..\\Alpha", nullptr},
};

INSTANTIATE_TEST_SUITE_P(Table, PathResolution, ::testing::ValuesIn(resolutionCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct NameCase {
    const char* name;
    std::string_view text;
    bool visible;
};

class WindowsNames : public ::testing::TestWithParam<NameCase> {};

TEST_P(WindowsNames, VisibleExactlyWhenWindowsCanHoldTheName)
{
    EXPECT_EQ(isWindowsName(GetParam().text), GetParam().visible);
}

const NameCase nameCases[] = {
    {"Plain", "file.txt", true},
    {"Blanks", "My Documents", true},
    {"DotFile", ".profile", true},
    {"Unicode", "\xe6\x97\xa5\xe6\x9c\xac.txt", true},
    {"Empty", "", false},
    {"Backslash", "a\\b", false},
    {"Colon", "a:b", false},
    {"Star", "a*", false},
    {"Question", "a?", false},
    {"Quote", "a\"", false},
    {"Less", "a<", false},
    {"Greater", "a>", false},
    {"Pipe", "a|", false},
    {"Newline", "a\nb", false},
    {"Escape", "a\x1b", false},
    {"Latin1Byte", "caf\xe9", false},
    {"OverlongSlash", "\xc0\xaf", false},
    {"Surrogate", "\xed\xa0\x80", false},
};

INSTANTIATE_TEST_SUITE_P(Table, WindowsNames, ::testing::ValuesIn(nameCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PathResolution, DriveLinkWithRelativeTargetGivesANormalHostPath)
{
    FsTestFolder folder;
    const auto host = folder.fs().hostPath("C:\\x");
    ASSERT_TRUE(host);
    EXPECT_EQ(host->string(), (folder.prefix() / "drive_c" / "x").string())
        << "the ../drive_c target is folded, not left as dosdevices/../drive_c";
}

TEST(PathResolution, CaseBlindMatchDoesNotDescendIntoAFileOfThatName)
{
    FsTestFolder folder;
    folder.file("report");
    folder.file("REPORT2/x.txt");
    const auto host = folder.fs().hostPath("C:\\Report\\x.txt");
    ASSERT_TRUE(host);
    EXPECT_EQ(*host, folder.c() / "report" / "x.txt") << "the missing part is kept as written";
}

struct HostToWindowsCase {
    const char* name;
    const char* relative; // below C:'s root
    const char* expected;
};

class HostToWindows : public ::testing::TestWithParam<HostToWindowsCase> {};

TEST_P(HostToWindows, NamesTheDriveWithTheLongestRoot)
{
    FsTestFolder folder;
    folder.folder("Alpha/Gamma");
    folder.folder("Other");
    folder.addDrive('d', folder.c() / "Alpha");
    const HostToWindowsCase& c = GetParam();
    const auto windows = folder.fs().windowsPath(folder.c() / c.relative);
    if (!c.expected) {
        EXPECT_FALSE(windows) << *windows;
        return;
    }
    ASSERT_TRUE(windows);
    EXPECT_EQ(*windows, c.expected);
}

const HostToWindowsCase hostToWindowsCases[] = {
    {"RootOfC", "", "C:\\"},
    {"BelowC", "Other", "C:\\Other"},
    {"NestedDriveWins", "Alpha/Gamma", "D:\\Gamma"},
    {"NestedDriveRoot", "Alpha", "D:\\"},
    {"MissingTail", "Other/new/file.txt", "C:\\Other\\new\\file.txt"},
    {"DotsFolded", "Other/../Alpha/./Gamma", "D:\\Gamma"},
    {"InvisibleName", "Other/bad:name", nullptr},
};

INSTANTIATE_TEST_SUITE_P(Table, HostToWindows, ::testing::ValuesIn(hostToWindowsCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(HostToWindows, DriveZCatchesEveryHostPath)
{
    FsTestFolder folder;
    folder.addDrive('z', "/");
    EXPECT_EQ(folder.fs().windowsPath("/usr/lib").value_or(""), "Z:\\usr\\lib");
    EXPECT_EQ(folder.fs().windowsPath(folder.c() / "x").value_or(""), "C:\\x");
}

TEST(HostToWindows, PathOutsideEveryDriveHasNoWindowsPath)
{
    FsTestFolder folder;
    EXPECT_FALSE(folder.fs().windowsPath("/usr/lib"));
}

TEST(HostToWindows, PathThroughALinkIsNamedAsWritten)
{
    FsTestFolder folder;
    const fs::path elsewhere = folder.root() / "elsewhere";
    fs::create_directories(elsewhere);
    folder.link("Desktop", elsewhere);
    EXPECT_EQ(folder.fs().windowsPath(folder.c() / "Desktop").value_or(""), "C:\\Desktop");
}

TEST(HostToWindows, RoundTripsWithHostPath)
{
    FsTestFolder folder;
    folder.file("Program Files/App/app.exe");
    const auto host = folder.fs().hostPath("C:\\program files\\APP\\App.EXE");
    ASSERT_TRUE(host);
    EXPECT_EQ(folder.fs().windowsPath(*host).value_or(""), "C:\\Program Files\\App\\app.exe");
}

} // namespace
} // namespace tw::test
