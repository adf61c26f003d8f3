#include "common/base/text.h"

#include <gtest/gtest.h>

namespace tw {
namespace {

struct CaseRow {
    const char* name;
    const char* input;
    const char* upper;
};

class UpperCase : public testing::TestWithParam<CaseRow> {};

TEST_P(UpperCase, MapsEveryCodePoint)
{
    EXPECT_EQ(upperCase(GetParam().input), GetParam().upper);
}

INSTANTIATE_TEST_SUITE_P(Text, UpperCase,
    testing::Values(CaseRow{"Ascii", "thumbs.db", "THUMBS.DB"},
                    CaseRow{"Latin1", "na\xc3\xafve caf\xc3\xa9", "NA\xc3\x8fVE CAF\xc3\x89"},
                    CaseRow{"Greek", "\xce\xbb\xce\xb1", "\xce\x9b\xce\x91"},
                    CaseRow{"Cyrillic", "\xd1\x84\xd0\xb0\xd0\xb9\xd0\xbb", "\xd0\xa4\xd0\x90\xd0\x99\xd0\x9b"},
                    CaseRow{"DigitsAndSigns", "*.$$$~_", "*.$$$~_"},
                    CaseRow{"InvalidBytesKept", "a\xff" "b", "A\xff" "B"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Text, CompareIgnoreCaseIsUnicodeAware)
{
    EXPECT_TRUE(equalsIgnoreCase("C:\\Caf\xc3\xa9", "c:\\CAF\xc3\x89"));
    EXPECT_FALSE(equalsIgnoreCase("abc", "abd"));
    EXPECT_FALSE(equalsIgnoreCase("abc", "ab"));
    EXPECT_LT(compareIgnoreCase("ab", "abc"), 0);
    EXPECT_GT(compareIgnoreCase("B", "a"), 0);
    EXPECT_TRUE(containsIgnoreCase("C:\\Temporary\\x.tmp", "\\TEMP"));
    EXPECT_FALSE(containsIgnoreCase("C:\\Tmp\\x.tmp", "\\TEMP"));
}

TEST(Text, TrimStripsBlanksAndControlCharacters)
{
    EXPECT_EQ(trim("  TRUE \t"), "TRUE");
    EXPECT_EQ(trim(""), "");
    EXPECT_EQ(trim("   "), "");
    EXPECT_EQ(trim("a b"), "a b");
}

struct LinesRow {
    const char* name;
    const char* text;
    std::vector<std::string> lines;
};

class SplitLines : public testing::TestWithParam<LinesRow> {};

TEST_P(SplitLines, AcceptsEveryLineEnd)
{
    EXPECT_EQ(splitLines(GetParam().text), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(Text, SplitLines,
    testing::Values(LinesRow{"CrLf", "a\r\nb\r\n", {"a", "b"}},
                    LinesRow{"Cr", "a\rb\r", {"a", "b"}},
                    LinesRow{"Lf", "a\nb", {"a", "b"}},
                    LinesRow{"Mixed", "a\r\n\rb\nc", {"a", "", "b", "c"}},
                    LinesRow{"EmptyLineKept", "a\r\n\r\n", {"a", ""}},
                    LinesRow{"Empty", "", {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Text, JoinWritesCrLfAfterEveryLine)
{
    EXPECT_EQ(joinLinesCrLf({"a", "", "b"}), "a\r\n\r\nb\r\n");
    EXPECT_EQ(joinLinesCrLf({}), "");
}

TEST(Text, Utf16RoundTripIncludesSurrogatePairs)
{
    const std::string text = "A\xc3\xa9\xe6\x97\xa5\xf0\x9f\x98\x80";
    const std::u16string wide = toUtf16(text);
    ASSERT_EQ(wide.size(), 5u);
    EXPECT_EQ(wide[3], 0xD83D);
    EXPECT_EQ(toUtf8(wide), text);
    EXPECT_TRUE(isValidUtf8(text));
    EXPECT_FALSE(isValidUtf8("\xc3"));
    EXPECT_FALSE(isValidUtf8("\xed\xa0\x80")); // an encoded surrogate
    EXPECT_FALSE(isValidUtf8("\xc0\xaf"));     // an overlong slash
}

TEST(Text, ParseInt64RejectsWhatIsNotAWholeNumber)
{
    int64_t value = 0;
    EXPECT_TRUE(parseInt64("5368709120", value));
    EXPECT_EQ(value, 5368709120);
    EXPECT_TRUE(parseInt64("-12", value));
    EXPECT_EQ(value, -12);
    for (const char* bad : {"", "12a", " 1", "1.5", "+", "99999999999999999999"})
        EXPECT_FALSE(parseInt64(bad, value)) << bad;
}

} // namespace
} // namespace tw
