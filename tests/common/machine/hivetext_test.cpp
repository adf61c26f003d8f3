#include "common/machine/hivetext.h"

#include <gtest/gtest.h>

#include "common/base/text.h"

namespace tw {
namespace {

struct EscapeCase {
    const char* label;
    std::string text;
    std::string written;
};

class HiveEscapeTest : public ::testing::TestWithParam<EscapeCase> {};

TEST_P(HiveEscapeTest, WritesWinesEscapes)
{
    EXPECT_EQ(HiveText::escape(GetParam().text), GetParam().written);
}

INSTANTIATE_TEST_SUITE_P(Escapes, HiveEscapeTest,
    ::testing::Values(
        EscapeCase{"plain", "C: drive (x86)", "C: drive (x86)"},
        EscapeCase{"quote_and_backslash", "say \"hi\" \\ there", "say \\\"hi\\\" \\\\ there"},
        EscapeCase{"latin_fewest_digits", "na\xc3\xafve", "na\\xefve"},
        EscapeCase{"cjk", "\xe6\x97\xa5\xe6\x9c\xac", "\\x65e5\\x672c"},
        EscapeCase{"four_digits_before_a_hex_digit", "\xce\xbb" "1575.exe", "\\x03bb1575.exe"},
        EscapeCase{"four_digits_before_a_hex_letter", "\xc3\xa9" "A", "\\x00e9A"},
        EscapeCase{"named_controls", "\t\n\r\a\b\v\f\x1b", "\\t\\n\\r\\a\\b\\v\\f\\e"},
        EscapeCase{"octal_fewest_digits", std::string("\x01x"), "\\1x"},
        EscapeCase{"octal_three_digits_before_an_octal_digit", std::string("\x01" "7"), "\\0017"},
        EscapeCase{"surrogate_pair_unit_by_unit", "\xf0\x9f\x98\x80", "\\xd83d\\xde00"}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(HiveTextTest, NamesSortAsWineSortsThem)
{
    EXPECT_TRUE(HiveText::lessName("a", "B"));
    EXPECT_TRUE(HiveText::lessName("Run", "RunOnce"));
    EXPECT_TRUE(HiveText::lessName("a b", "ab"));
    EXPECT_FALSE(HiveText::lessName("ABC", "abc"));
    EXPECT_FALSE(HiveText::lessName("abc", "ABC"));
    EXPECT_TRUE(HiveText::lessName("StartUp", "Templates"));
}

TEST(HiveTextTest, WritesKeysDepthFirstSortedWithImpliedParentsLeftOut)
{
    HiveText hive("REGISTRY\\Machine");
    hive.setString("b", "v", "1");
    hive.setDword("A\\z", "n", 42);
    hive.setString("a", "second", "x");
    hive.setString("a", "First", "y");
    hive.setExpandString("A\\Y", "p", "%SystemRoot%\\temp");
    hive.addKey("ab\\empty");
    hive.setString("a b", "", "default");

    const int64_t seconds = 1700000000;
    const std::string stamp = "#time=1da1747c66d0000\n";
    const std::string head = "] 1700000000\n" + stamp;
    const std::string expected = "WINE REGISTRY Version 2\n"
                                 ";; All keys relative to REGISTRY\\\\Machine\n"
                                 "\n"
                                 "#arch=win64\n"
                                 "\n[a" + head + "\"First\"=\"y\"\n\"second\"=\"x\"\n"
                                 "\n[A\\\\Y" + head + "\"p\"=str(2):\"%SystemRoot%\\\\temp\"\n"
                                 "\n[A\\\\z" + head + "\"n\"=dword:0000002a\n"
                                 "\n[a b" + head + "@=\"default\"\n"
                                 "\n[ab\\\\empty" + head +
                                 "\n[b" + head + "\"v\"=\"1\"\n";
    EXPECT_EQ(hive.text(seconds), expected);
}

TEST(HiveTextTest, ALaterValueOfTheSameNameReplacesTheEarlier)
{
    HiveText hive("REGISTRY\\Machine");
    hive.setString("k", "Name", "old");
    hive.setString("K", "name", "new");
    const std::string text = hive.text(0);
    EXPECT_EQ(text.find("old"), std::string::npos);
    EXPECT_NE(text.find("\"Name\"=\"new\"\n"), std::string::npos) << text;
    EXPECT_EQ(splitLines(text).size(), 8u) << text;
}

TEST(HiveTextTest, BracketsInKeyNamesAreEscaped)
{
    HiveText hive("REGISTRY\\Machine");
    hive.addKey("Odd[1]");
    EXPECT_NE(hive.text(0).find("[Odd\\[1\\]] 0\n"), std::string::npos);
}

} // namespace
} // namespace tw
