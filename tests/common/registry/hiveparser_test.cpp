#include <gtest/gtest.h>

#include "common/registry/hiveparser.h"
#include "common/registry/hivewriter.h"
#include "common/registry/namefold.h"
#include "common/registry/registry.h"
#include "hivetestsupport.h"

namespace tw {
namespace {

const std::string Header = "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\Machine\n\n#arch=win64\n";

std::string hiveWithKey(const std::string& keyLines)
{
    return Header + "\n[Software\\\\Test] 1700000000\n#time=1da1747c66d0000\n" + keyLines;
}

const HiveKey* testKey(const HiveFile& file)
{
    const HiveKey* software = file.root().findSubkey(u"software");
    return software ? software->findSubkey(u"test") : nullptr;
}

struct ValueCase {
    const char* name;
    std::string line;
    std::u16string valueName;
    uint32_t type;
    std::vector<uint8_t> data;
};

class ValueForms : public testing::TestWithParam<ValueCase> {};

TEST_P(ValueForms, LoadTypeAndData)
{
    const ValueCase& c = GetParam();
    HiveParseResult parsed = HiveParser::parse(hiveWithKey(c.line));
    ASSERT_EQ(parsed.errorLine, 0) << parsed.error;
    const HiveKey* key = testKey(parsed.file);
    ASSERT_NE(key, nullptr);
    ASSERT_EQ(key->values.size(), 1u);
    const HiveValue& value = key->values[0];
    EXPECT_EQ(value.name, c.valueName);
    EXPECT_EQ(value.type, c.type);
    EXPECT_EQ(value.data, c.data);
}

INSTANTIATE_TEST_SUITE_P(Table, ValueForms, testing::Values(
    ValueCase{"Default", "@=\"x\"\n", u"", RegType::Sz, test::utf16Data(u"x")},
    ValueCase{"Sz", "\"Name\"=\"C:\\\\Caf\\xe9 \\\"X\\\"\"\n", u"Name", RegType::Sz, test::utf16Data(u"C:\\Caf\u00e9 \"X\"")},
    ValueCase{"EmptySz", "\"E\"=\"\"\n", u"E", RegType::Sz, test::utf16Data(u"")},
    ValueCase{"StrColon", "\"S\"=str:\"abc\"\n", u"S", RegType::Sz, test::utf16Data(u"abc")},
    ValueCase{"ExpandSz", "\"Save\"=str(2):\"%USERPROFILE%\\\\Saves\"\n", u"Save", RegType::ExpandSz,
        test::utf16Data(u"%USERPROFILE%\\Saves")},
    ValueCase{"MultiSz", "\"List\"=str(7):\"one\\0two\\0\"\n", u"List", RegType::MultiSz,
        test::utf16Data(std::u16string(u"one\0two\0", 8))},
    ValueCase{"Dword", "\"Count\"=dword:0000002a\n", u"Count", RegType::Dword, {0x2a, 0, 0, 0}},
    ValueCase{"DwordShort", "\"Count\"=dword:2A\n", u"Count", RegType::Dword, {0x2a, 0, 0, 0}},
    ValueCase{"Binary", "\"Blob\"=hex:de,ad,be,ef\n", u"Blob", RegType::Binary, {0xde, 0xad, 0xbe, 0xef}},
    ValueCase{"EmptyBinary", "\"Blob\"=hex:\n", u"Blob", RegType::Binary, {}},
    ValueCase{"NoneEmpty", "\"Empty\"=hex(0):\n", u"Empty", RegType::None, {}},
    ValueCase{"Qword", "\"Big\"=hex(b):2a,00,00,00,00,00,00,00\n", u"Big", RegType::Qword,
        {0x2a, 0, 0, 0, 0, 0, 0, 0}},
    ValueCase{"LargeType", "\"T\"=hex(ffff0007):01\n", u"T", 0xffff0007u, {1}},
    ValueCase{"UnterminatedSzAsHex", "\"U\"=hex(1):41,00\n", u"U", RegType::Sz, {0x41, 0}},
    ValueCase{"Continuation", "\"C\"=hex:01,02,\\\n  03,\\\r\n  04\n", u"C", RegType::Binary, {1, 2, 3, 4}},
    ValueCase{"SpacesAroundEquals", "\"Sp\" = dword:00000001\n", u"Sp", RegType::Dword, {1, 0, 0, 0}},
    ValueCase{"IndentedLine", "  \"In\"=\"v\"\n", u"In", RegType::Sz, test::utf16Data(u"v")},
    ValueCase{"NameWithEscapes", "\"na\\xefve \\\"q\\\" \\\\ back\"=\"\"\n", u"na\u00efve \"q\" \\ back",
        RegType::Sz, test::utf16Data(u"")},
    ValueCase{"RawUtf8Name", "\"\xc3\xa9t\xc3\xa9\"=\"\"\n", u"\u00e9t\u00e9", RegType::Sz, test::utf16Data(u"")}),
    [](const testing::TestParamInfo<ValueCase>& info) { return std::string(info.param.name); });

struct ErrorCase {
    const char* name;
    std::string text;
    int line;
    const char* message;
};

class LoadErrors : public testing::TestWithParam<ErrorCase> {};

TEST_P(LoadErrors, StopAtTheLineWithTheProblem)
{
    const ErrorCase& c = GetParam();
    HiveParseResult parsed = HiveParser::parse(c.text);
    EXPECT_EQ(parsed.errorLine, c.line) << parsed.error;
    EXPECT_NE(parsed.error.find(c.message), std::string::npos) << parsed.error;
}

INSTANTIATE_TEST_SUITE_P(Table, LoadErrors, testing::Values(
    ErrorCase{"EmptyFile", "", 1, "WINE REGISTRY Version 2"},
    ErrorCase{"RegeditFile", "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software]\n", 1, "WINE REGISTRY Version 2"},
    ErrorCase{"WrongVersion", "WINE REGISTRY Version 1\n", 1, "WINE REGISTRY Version 2"},
    ErrorCase{"ValueBeforeKey", Header + "\"x\"=\"y\"\n", 5, "before the first key"},
    ErrorCase{"KeyWithoutBracket", Header + "\n[Software\\\\Open 1700000000\n", 6, "closing \"]\""},
    ErrorCase{"UnterminatedName", hiveWithKey("\"x=y\n"), 8, "closing quote"},
    ErrorCase{"NameWithoutEquals", hiveWithKey("\"x\" \"y\"\n"), 8, "\"=\""},
    ErrorCase{"UnterminatedText", hiveWithKey("\"x\"=\"y\n"), 8, "closing quote"},
    ErrorCase{"TextAfterQuote", hiveWithKey("\"x\"=\"y\" z\n"), 8, "after the closing quote"},
    ErrorCase{"BadDword", hiveWithKey("\"x\"=dword:zz\n"), 8, "dword"},
    ErrorCase{"LongDword", hiveWithKey("\"x\"=dword:123456789\n"), 8, "dword"},
    ErrorCase{"BadHexByte", hiveWithKey("\"x\"=hex:01,0g\n"), 8, "hex"},
    ErrorCase{"HexByteTooLarge", hiveWithKey("\"x\"=hex:100\n"), 8, "larger than ff"},
    ErrorCase{"BadContinuation", hiveWithKey("\"x\"=hex:01,\\\n  02,zz\n"), 9, "hex"},
    ErrorCase{"ContinuationAtEnd", hiveWithKey("\"x\"=hex:01,\\"), 8, "end of the file"},
    ErrorCase{"BadTime", hiveWithKey("#time=xyz\n"), 8, "#time"},
    ErrorCase{"BadClass", hiveWithKey("#class=\"open\n"), 8, "#class"},
    ErrorCase{"StrayText", hiveWithKey("hello\n"), 8, "neither a key"}),
    [](const testing::TestParamInfo<ErrorCase>& info) { return std::string(info.param.name); });

TEST(HiveParser, KeepsKeysBeforeAnError)
{
    HiveParseResult parsed = HiveParser::parse(hiveWithKey("\"Good\"=dword:00000001\n\"Bad\"=dword:\n"));
    EXPECT_EQ(parsed.errorLine, 9);
    const HiveKey* key = testKey(parsed.file);
    ASSERT_NE(key, nullptr);
    ASSERT_EQ(key->values.size(), 1u);
    EXPECT_EQ(key->values[0].name, u"Good");
}

TEST(HiveParser, ReadsKeyOptions)
{
    const std::string text = Header
        + "\n[Software\\\\Acme\\\\Demo] 1700000000\n#time=1da1747c66d0000\n#class=\"Ac\\\"me\"\n@=\"d\"\n"
          "\n[System\\\\CurrentControlSet] 1700000001\n#link\n"
          "\n[Old] 1700000002\n";
    HiveParseResult parsed = HiveParser::parse(text);
    ASSERT_EQ(parsed.errorLine, 0) << parsed.error;
    const HiveKey* demo = parsed.file.root().findSubkey(u"software")->findSubkey(u"acme")->findSubkey(u"demo");
    ASSERT_NE(demo, nullptr);
    EXPECT_EQ(demo->modified, 0x1da1747c66d0000ULL);
    ASSERT_TRUE(demo->className.has_value());
    EXPECT_EQ(*demo->className, u"Ac\"me");
    EXPECT_FALSE(demo->isLink);
    const HiveKey* link = parsed.file.root().findSubkey(u"system")->findSubkey(u"currentcontrolset");
    ASSERT_NE(link, nullptr);
    EXPECT_TRUE(link->isLink);
    // Without "#time" the seconds after the key name give the time.
    const HiveKey* old = parsed.file.root().findSubkey(u"old");
    ASSERT_NE(old, nullptr);
    EXPECT_EQ(old->modified, 1700000002ULL * 10000000ULL + 116444736000000000ULL);
    // "Software" and "Acme" are implied by the path: no block of their own.
    EXPECT_TRUE(parsed.file.root().findSubkey(u"software")->block.empty());
}

TEST(HiveParser, HoldsKeysAndValuesInWineOrder)
{
    const std::string text = Header + "\n[b] 1\n\"b\"=\"\"\n\"_\"=\"\"\n\"A\"=\"\"\n\"ab\"=\"\"\n\n[A] 1\n\n[a_] 1\n\n[aB] 1\n";
    HiveParseResult parsed = HiveParser::parse(text);
    ASSERT_EQ(parsed.errorLine, 0) << parsed.error;
    std::vector<std::u16string> keys;
    for (const auto& key : parsed.file.root().subkeys)
        keys.push_back(key->name);
    // Lower-cased comparison puts "_" (0x5f) before the letters, shorter names first.
    EXPECT_EQ(keys, (std::vector<std::u16string>{u"A", u"a_", u"aB", u"b"}));
    std::vector<std::u16string> values;
    for (const auto& value : parsed.file.root().findSubkey(u"b")->values)
        values.push_back(value.name);
    EXPECT_EQ(values, (std::vector<std::u16string>{u"_", u"A", u"ab", u"b"}));
}

TEST(HiveParser, LaterDuplicatesWin)
{
    const std::string text = Header + "\n[K] 1\n\"v\"=\"one\"\n\"x\"=\"kept\"\n\"V\"=\"two\"\n\n[k] 2\n\"w\"=\"three\"\n";
    HiveParseResult parsed = HiveParser::parse(text);
    ASSERT_EQ(parsed.errorLine, 0) << parsed.error;
    ASSERT_EQ(parsed.file.root().subkeys.size(), 1u);
    const HiveKey& key = *parsed.file.root().subkeys[0];
    ASSERT_EQ(key.values.size(), 3u);
    EXPECT_EQ(key.findValue(u"v")->data, test::utf16Data(u"two"));
    EXPECT_EQ(key.findValue(u"w")->data, test::utf16Data(u"three"));
    // Written again, the merged key reads back the same.
    HiveParseResult again = HiveParser::parse(writeHive(parsed.file));
    ASSERT_EQ(again.errorLine, 0) << again.error;
    ASSERT_EQ(again.file.root().subkeys.size(), 1u);
    EXPECT_EQ(again.file.root().subkeys[0]->values.size(), 3u);
}

TEST(HiveParser, KeepsWhatItDoesNotUnderstand)
{
    const std::string text = Header
        + "#future=1\n\n[K] 1\n#time=1\n; a comment\n#flags=3\n\"odd\"=str(3):\"x\"\n\"later\"=foo:1,\\\n  2\n\"v\"=\"\"\n";
    HiveParseResult parsed = HiveParser::parse(text);
    ASSERT_EQ(parsed.errorLine, 0) << parsed.error;
    const HiveKey& key = *parsed.file.root().subkeys[0];
    ASSERT_EQ(key.values.size(), 1u);
    ASSERT_EQ(key.keptLines.size(), 4u);
    EXPECT_EQ(key.keptLines[0].text, "; a comment\n");
    EXPECT_EQ(key.keptLines[1].text, "#flags=3\n");
    EXPECT_EQ(key.keptLines[2].text, "\"odd\"=str(3):\"x\"\n");
    EXPECT_EQ(key.keptLines[3].text, "\"later\"=foo:1,\\\n  2\n");
    EXPECT_EQ(writeHive(parsed.file), text);
}

TEST(HiveParser, SortsAFileWrittenInAnyOrder)
{
    // Keys and values in falling order, with repeats: the later repeat wins.
    std::string text = Header;
    const int count = 3000;
    for (int i = count; i-- > 0;)
        text += "\n[K" + std::to_string(i) + "] 1\n\"v" + std::to_string(i) + "\"=dword:00000001\n";
    text += "\n[Many] 1\n";
    for (int i = count; i-- > 0;)
        text += "\"v" + std::to_string(i) + "\"=dword:00000001\n";
    text += "\"V7\"=dword:00000002\n\n[k5] 2\n\"w\"=\"\"\n";
    HiveParseResult parsed = HiveParser::parse(text);
    ASSERT_EQ(parsed.errorLine, 0) << parsed.error;
    const auto& subkeys = parsed.file.root().subkeys;
    ASSERT_EQ(subkeys.size(), static_cast<size_t>(count) + 1);
    for (size_t i = 1; i < subkeys.size(); ++i)
        ASSERT_LT(subkeys[i - 1]->fold, subkeys[i]->fold);
    const HiveKey* many = parsed.file.root().findSubkey(u"many");
    ASSERT_NE(many, nullptr);
    ASSERT_EQ(many->values.size(), static_cast<size_t>(count));
    for (size_t i = 1; i < many->values.size(); ++i)
        ASSERT_LT(many->values[i - 1].fold, many->values[i].fold);
    EXPECT_EQ(many->findValue(u"v7")->data, (std::vector<uint8_t>{2, 0, 0, 0}));
    const HiveKey* k5 = parsed.file.root().findSubkey(u"k5");
    ASSERT_NE(k5, nullptr);
    EXPECT_EQ(k5->values.size(), 2u);
}

TEST(HiveParser, RefusesKeysDeeperThanAHiveHolds)
{
    std::string path = "a";
    for (size_t i = 0; i < HiveParser::MaxKeyDepth; ++i)
        path += "\\\\a";
    HiveParseResult parsed = HiveParser::parse(Header + "\n[" + path + "] 1\n");
    EXPECT_EQ(parsed.errorLine, 6);
}

} // namespace
} // namespace tw
