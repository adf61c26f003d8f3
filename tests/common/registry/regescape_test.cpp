#include <gtest/gtest.h>

#include "common/registry/regescape.h"

namespace tw {
namespace {

struct EscapeCase {
    const char* name;
    std::u16string text;
    char quoteA;
    char quoteB;
    std::string escaped;
};

class EscapeWrite : public testing::TestWithParam<EscapeCase> {};

TEST_P(EscapeWrite, WritesWineForm)
{
    const EscapeCase& c = GetParam();
    std::string out;
    const size_t count = appendEscaped(out, c.text, c.quoteA, c.quoteB);
    EXPECT_EQ(out, c.escaped);
    EXPECT_EQ(count, c.escaped.size());
}

INSTANTIATE_TEST_SUITE_P(Table, EscapeWrite, testing::Values(
    EscapeCase{"Plain", u"Hello World", '"', '"', "Hello World"},
    EscapeCase{"BackslashAndQuote", u"a\\b\"c", '"', '"', "a\\\\b\\\"c"},
    EscapeCase{"KeyBrackets", u"a[b]\"c", '[', ']', "a\\[b\\]\"c"},
    EscapeCase{"LatinShort", u"Zo\u00eb x", '"', '"', "Zo\\xeb x"},
    EscapeCase{"HexFollowedByHexDigit", u"\u00efcode", '"', '"', "\\x00efcode"},
    EscapeCase{"HexFollowedByNonHex", u"\u00dcn", '"', '"', "\\xdcn"},
    EscapeCase{"LambdaBeforeDigit", u"\u03bb1575", '"', '"', "\\x03bb1575"},
    EscapeCase{"HexAtEnd", u"\u65e5\u672c", '"', '"', "\\x65e5\\x672c"},
    EscapeCase{"SurrogatesOneUnitAtATime", u"\U0001F600", '"', '"', "\\xd83d\\xde00"},
    EscapeCase{"ControlLetters", u"\a\b\t\n\v\f\r\x1b", '"', '"', "\\a\\b\\t\\n\\v\\f\\r\\e"},
    EscapeCase{"NulAlone", std::u16string(1, u'\0'), '"', '"', "\\0"},
    EscapeCase{"NulBeforeOctalDigit", std::u16string(u"\0" "7", 2), '"', '"', "\\0007"},
    EscapeCase{"NulBeforeEight", std::u16string(u"\0" "8", 2), '"', '"', "\\08"},
    EscapeCase{"OtherControl", u"\x01\x1f", '"', '"', "\\1\\37"},
    EscapeCase{"DeleteIsLiteral", u"\x7f", '"', '"', "\x7f"}),
    [](const testing::TestParamInfo<EscapeCase>& info) { return std::string(info.param.name); });

struct UnescapeCase {
    const char* name;
    std::string source;
    std::u16string text;
    size_t end;
};

class EscapeRead : public testing::TestWithParam<UnescapeCase> {};

TEST_P(EscapeRead, DecodesUpToTerminator)
{
    const UnescapeCase& c = GetParam();
    size_t pos = 0;
    std::u16string out;
    ASSERT_TRUE(parseEscaped(c.source, pos, '"', out));
    EXPECT_EQ(out, c.text);
    EXPECT_EQ(pos, c.end);
}

INSTANTIATE_TEST_SUITE_P(Table, EscapeRead, testing::Values(
    UnescapeCase{"Plain", "abc\"rest", u"abc", 4},
    UnescapeCase{"EscapedQuote", "a\\\"b\"", u"a\"b", 5},
    UnescapeCase{"HexUpToFourDigits", "\\x00efcode\"", u"\u00efcode", 11},
    UnescapeCase{"HexStopsAtNonDigit", "\\xdcn\"", u"\u00dcn", 6},
    UnescapeCase{"XWithoutDigit", "\\xyz\"", u"xyz", 5},
    UnescapeCase{"OctalUpToThree", "\\0007\"", std::u16string(u"\0" "7", 2), 6},
    UnescapeCase{"OctalShort", "\\37x\"", u"\x1fx", 5},
    UnescapeCase{"LetterEscapes", "\\a\\b\\t\\n\\v\\f\\r\\e\"", u"\a\b\t\n\v\f\r\x1b", 17},
    UnescapeCase{"UnknownEscapeIsItself", "\\q\\[\"", u"q[", 5},
    UnescapeCase{"RawUtf8", "Zo\xc3\xab \xe6\x97\xa5\"", u"Zo\u00eb \u65e5", 9},
    UnescapeCase{"RawUtf8FourBytes", "\xf0\x9f\x98\x80\"", u"\U0001F600", 5},
    UnescapeCase{"InvalidUtf8Dropped", "a\xff" "b\xc3\"", u"ab", 5}),
    [](const testing::TestParamInfo<UnescapeCase>& info) { return std::string(info.param.name); });

TEST(EscapeRead, FailsWithoutTerminator)
{
    for (const std::string source : {"abc", "abc\\\"", "abc\\"}) {
        size_t pos = 0;
        std::u16string out;
        EXPECT_FALSE(parseEscaped(source, pos, '"', out)) << source;
    }
}

TEST(EscapeRoundTrip, EveryUnitSurvives)
{
    // Every code unit, each followed by every kind of neighbour that changes the
    // escape's length (a hex digit, an octal digit, a letter, the end).
    for (char16_t unit = 0; unit < 0xFFFF; ++unit) {
        for (const std::u16string& after : {std::u16string(), std::u16string(u"0"), std::u16string(u"7a"),
                 std::u16string(u"g"), std::u16string(u"\"")}) {
            std::u16string text(1, unit);
            text += after;
            std::string escaped;
            appendEscaped(escaped, text, '"', '"');
            escaped += '"';
            size_t pos = 0;
            std::u16string back;
            ASSERT_TRUE(parseEscaped(escaped, pos, '"', back)) << "unit " << static_cast<int>(unit);
            ASSERT_EQ(back, text) << "unit " << static_cast<int>(unit) << " escaped as " << escaped;
            ASSERT_EQ(pos, escaped.size());
        }
    }
}

} // namespace
} // namespace tw
