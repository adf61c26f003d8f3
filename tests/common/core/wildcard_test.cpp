#include <gtest/gtest.h>

#include <cctype>
#include <ostream>
#include <string>
#include <vector>

#include "common/base/text.h"
#include "common/wildcard.h"

namespace tw {
namespace {

struct MatchCase {
    const char* label;
    const char* wildcard;
    const char* name;
    bool matches;
};

void PrintTo(const MatchCase& c, std::ostream* os)
{
    *os << c.label;
}

// Wildcards and names as the search facility hands them over: upper-cased.
const MatchCase matchCases[] = {
    {"star alone matches a name", "*", "README", true},
    {"star alone matches a name without dot", "*", "A", true},
    {"star alone matches the empty name", "*", "", true},
    {"empty wildcard matches nothing", "", "", false},
    {"empty wildcard matches no name", "", "A.TMP", false},
    {"star dot star needs a dot", "*.*", "README", false},
    {"star dot star with a dot", "*.*", "READ.ME", true},
    {"star dot star with a leading dot", "*.*", ".PROFILE", true},
    {"star dot star with a trailing dot", "*.*", "NAME.", true},
    {"suffix matches", "*.TMP", "A.TMP", true},
    {"suffix is whole-name", "*.TMP", "A.TMP.BAK", false},
    {"suffix alone", "*.TMP", ".TMP", true},
    {"suffix needs its dot", "*.TMP", "ATMP", false},
    {"three question marks need three characters", "TWAIN???.MTX", "TWAIN123.MTX", true},
    {"two characters are too few", "TWAIN???.MTX", "TWAIN12.MTX", false},
    {"four characters are too many", "TWAIN???.MTX", "TWAIN1234.MTX", false},
    {"question mark takes a dot", "TWAIN???.MTX", "TWAIN...MTX", false},
    {"question marks take dots", "TWAIN???.MTX", "TWAIN....MTX", true},
    {"exact name", "THUMBS.DB", "THUMBS.DB", true},
    {"exact name is not a prefix", "THUMBS.DB", "THUMBS.DB2", false},
    {"exact name is not a suffix", "THUMBS.DB", "XTHUMBS.DB", false},
    {"prefix", "CHKLIST.*", "CHKLIST.MS", true},
    {"prefix needs the dot", "CHKLIST.*", "CHKLIST", false},
    {"prefix with an empty rest", "TEWRK.H*", "TEWRK.H", true},
    {"inner star", "*.--*", "A.--B", true},
    {"inner star at the end", "*.--*", "A.--", true},
    {"inner star needs the dashes", "*.--*", "A.-B", false},
    {"question marks and tilde", "*.??~", "REPORT.DO~", true},
    {"question marks and tilde, one short", "*.??~", "REPORT.D~", false},
    {"dollar signs are ordinary", "*.$$$", "X.$$$", true},
    {"caret is ordinary", "*.^", "X.^", true},
    {"middle star back-tracks", "*_OFIDX.*", "A_OFIDX_OFIDX.B", true},
    {"back-tracking over a partial match", "*AAB", "AAAAB", true},
    {"back-tracking fails cleanly", "*AAB", "AAAA", false},
    {"log suffix", "*LOG.TXT", "SETUPLOG.TXT", true},
    {"log suffix alone", "*LOG.TXT", "LOG.TXT", true},
    {"question mark is one code point", "?.TXT", "\xC3\x84.TXT", true},
    {"question mark is one CJK code point", "A?B", "A\xE6\x97\xA5" "B", true},
    {"two question marks do not fit one code point", "??.TXT", "\xC3\x84.TXT", false},
    {"star back-tracks over code points", "*\xC3\x84", "\xC3\x96\xC3\x84", true},
    {"literal non-ASCII", "\xC3\x84*.TXT", "\xC3\x84RGER.TXT", true},
    {"double star", "**", "ANY", true},
    {"star question mark needs one", "*?", "", false},
    {"star question mark", "*?", "A", true},
};

class WildcardMatchTest : public testing::TestWithParam<MatchCase> {};

TEST_P(WildcardMatchTest, MatchesAsExpected)
{
    const MatchCase& c = GetParam();
    EXPECT_EQ(WildcardMatch(c.wildcard, c.name), c.matches)
        << "WildcardMatch(\"" << c.wildcard << "\", \"" << c.name << "\")";
}

TEST_P(WildcardMatchTest, CompiledFormAgrees)
{
    const MatchCase& c = GetParam();
    EXPECT_EQ(CompiledWildcard(c.wildcard).matches(c.name), c.matches)
        << "CompiledWildcard(\"" << c.wildcard << "\").matches(\"" << c.name << "\")";
}

INSTANTIATE_TEST_SUITE_P(Table, WildcardMatchTest, testing::ValuesIn(matchCases),
                         [](const testing::TestParamInfo<MatchCase>& info) {
                             std::string name;
                             for (const char* p = info.param.label; *p; ++p)
                                 name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                             return name;
                         });

// The prepared form must agree with the plain one on every pair, including the
// shapes it answers without a scan.
TEST(CompiledWildcard, AgreesWithWildcardMatchOnEveryPair)
{
    const std::vector<std::string> wildcards = {
        "*", "", "*.*", "*.TMP", "*.--*", "*.??~", "*.~*", "*.?$?", "CHKLIST.*", "TEWRK.H*", "TWAIN???.MTX",
        "THUMBS.DB", "*LOG.TXT", "*_OFIDX.*", "A*B*C", "?", "??", "*?", "?*", "A?", "*A", "A*", "*.?^?", "A*B?C*D",
        "*AB*AB", "?A*A?", "AB*BA"};
    const std::vector<std::string> names = {
        "", "A", "B", "AB", "ABC", "AXBXC", "A.TMP", "A.TMP.BAK", ".TMP", "X.--", "X.-", "R.DO~", "R.~", "R.~X",
        "X.A$B", "CHKLIST.MS", "CHKLIST", "TEWRK.H", "TEWRK.HPP", "TWAIN123.MTX", "TWAIN12.MTX", "THUMBS.DB",
        "SETUPLOG.TXT", "LOG.TXT", "X_OFIDX.Y", "X_OFIDX", "X.A^B", "X.^", "ABXCD", "AXBYCZD", "ABAB", "AB", "ABA",
        "XAAX", "XAX", "ABBA", "ABA"};
    for (const std::string& wildcard : wildcards)
        for (const std::string& name : names)
            EXPECT_EQ(CompiledWildcard(wildcard).matches(name), WildcardMatch(wildcard, name))
                << "wildcard \"" << wildcard << "\", name \"" << name << "\"";
}

// The set answers "does any wildcard match" exactly like trying each in turn,
// for every sub-list of a mixed list (empty entries, "*" and every shape).
TEST(WildcardSet, AgreesWithTryingEachWildcard)
{
    const std::vector<std::string> all = {"*.TMP", "THUMBS.DB", "CHKLIST.*", "*.?$?", "", "TWAIN???.MTX", "*LOG.TXT",
                                          "A*B*C", "?", "*"};
    const std::vector<std::string> names = {"", "A", "X.TMP", "THUMBS.DB", "CHKLIST.1", "X.A$B", "TWAIN123.MTX",
                                            "SETUPLOG.TXT", "AXBXC", "README", "\xC3\x84"};
    for (unsigned subset = 0; subset < (1u << all.size()); ++subset) {
        std::vector<std::string> wildcards;
        for (size_t i = 0; i < all.size(); ++i)
            if (subset & (1u << i))
                wildcards.push_back(all[i]);
        const WildcardSet set(wildcards);
        EXPECT_EQ(set.empty(), wildcards.empty());
        for (const std::string& name : names) {
            bool any = false;
            for (const std::string& wildcard : wildcards)
                any = any || WildcardMatch(wildcard, name);
            ASSERT_EQ(set.matchesAny(name), any) << "subset " << subset << ", name \"" << name << "\"";
        }
    }
}

// Upper-casing by the Unicode rules lets a lower-case wildcard find a name in any case.
TEST(WildcardMatch, UnicodeUpperCasingMakesTheMatchCaseBlind)
{
    EXPECT_TRUE(WildcardMatch(upperCase("*.tmp"), upperCase("Datei.TmP")));
    EXPECT_TRUE(WildcardMatch(upperCase("\xC3\xA4rger.*"), upperCase("\xC3\x84RGER.txt")));
    EXPECT_FALSE(WildcardMatch("\xC3\xA4rger.*", "\xC3\x84RGER.TXT")) << "without upper-casing the cases differ";
}

} // namespace
} // namespace tw
