#include <gtest/gtest.h>

#include <cctype>
#include <ostream>
#include <string>
#include <vector>

#include "common/wildcard.h"
#include "config/junkmaskline.h"

namespace tw {
namespace {

struct SplitCase {
    const char* label;
    const char* line;
    const char* wildcard;
    const char* description;
    const char* flag;
    bool activeForSearch;
    bool checkedInSettings;
};

void PrintTo(const SplitCase& c, std::ostream* os)
{
    *os << c.label;
}

const SplitCase splitCases[] = {
    {"plain active line", "*.tmp=Temporary Files=true", "*.tmp", "Temporary Files", "true", true, true},
    {"plain inactive line", "*.bup=Backup Files=false", "*.bup", "Backup Files", "false", false, false},
    // The flag then starts inside the description and ends with "=true".
    {"description with an equals sign", "*.x=a=b=true", "*.x", "a", "b=true", false, false},
    {"capitals with blanks: active, not checked", "*.y=Y Files=  TRUE ", "*.y", "Y Files", "  TRUE ", true, false},
    {"capitals without blanks", "*.y=Y Files=True", "*.y", "Y Files", "True", true, true},
    {"tab around the flag", "*.y=Y=\ttrue\t", "*.y", "Y", "\ttrue\t", true, false},
    {"no flag", "*.z=Z Files", "*.z", "Z Files", "", false, false},
    {"wildcard only", "*.z", "*.z", "", "", false, false},
    {"empty line", "", "", "", "", false, false},
    {"empty wildcard, active", "=Nothing=true", "", "Nothing", "true", true, true},
    {"empty description", "*.q==true", "*.q", "", "true", true, true},
    {"flag yes is not true", "*.q=Q=yes", "*.q", "Q", "yes", false, false},
};

class JunkMaskLineTest : public testing::TestWithParam<SplitCase> {};

TEST_P(JunkMaskLineTest, SplitsAtTheFirstTwoEqualsSigns)
{
    const SplitCase& c = GetParam();
    const JunkMaskLine parts = JunkMaskLine::split(c.line);
    EXPECT_EQ(parts.wildcard, c.wildcard) << "line \"" << c.line << "\"";
    EXPECT_EQ(parts.description, c.description) << "line \"" << c.line << "\"";
    EXPECT_EQ(parts.flag, c.flag) << "line \"" << c.line << "\"";
}

TEST_P(JunkMaskLineTest, ReadsTheFlagLikeSearchAndSettings)
{
    const SplitCase& c = GetParam();
    const JunkMaskLine parts = JunkMaskLine::split(c.line);
    EXPECT_EQ(isActiveForSearch(parts.flag), c.activeForSearch) << "line \"" << c.line << "\"";
    EXPECT_EQ(isCheckedInSettings(parts.flag), c.checkedInSettings) << "line \"" << c.line << "\"";
}

INSTANTIATE_TEST_SUITE_P(Table, JunkMaskLineTest, testing::ValuesIn(splitCases),
                         [](const testing::TestParamInfo<SplitCase>& info) {
                             std::string name;
                             for (const char* p = info.param.label; *p; ++p)
                                 name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                             return name;
                         });

TEST(JunkMaskLine, ActiveMasksKeepFileOrderAndEmptyWildcards)
{
    const std::vector<std::string> lines = {
        "*.b=B=true", "*.a=A=false", "=Nothing=true", "*.c=C= TRUE ", "*.d=D=x=true", "*.e=E=true"};
    EXPECT_EQ(ActiveJunkMasks(lines), (std::vector<std::string>{"*.b", "", "*.c", "*.e"}));
}

// A file whose only active line has an empty wildcard must not become an empty
// list: the search takes an empty list as "every file".
TEST(JunkMaskLine, OnlyEmptyActiveWildcardsStillMatchNothing)
{
    const std::vector<std::string> masks = ActiveJunkMasks({"=Nothing=true", "*.a=A=false"});
    ASSERT_EQ(masks, (std::vector<std::string>{""}));
    for (const char* name : {"", "A.TMP", "README"})
        EXPECT_FALSE(WildcardSet(masks).matchesAny(name)) << name;
}

TEST(JunkMaskLine, RowTextEndsWithTheCheckState)
{
    EXPECT_EQ(JunkMaskText({"*.tmp", "Temporary Files", true}), "*.tmp=Temporary Files=true");
    EXPECT_EQ(JunkMaskText({"*.bup", "Backup Files", false}), "*.bup=Backup Files=false");
}

} // namespace
} // namespace tw
