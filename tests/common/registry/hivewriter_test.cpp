#include <gtest/gtest.h>

#include <functional>

#include "common/registry/hiveedit.h"
#include "common/registry/hiveparser.h"
#include "common/registry/hivevalueformat.h"
#include "common/registry/hivewriter.h"
#include "common/registry/namefold.h"
#include "common/registry/registry.h"
#include "hivetestsupport.h"

namespace tw {
namespace {

void forEachKey(HiveKey& key, const std::function<void(HiveKey&)>& visit)
{
    visit(key);
    for (auto& subkey : key.subkeys)
        forEachKey(*subkey, visit);
}

class WineFixture : public testing::TestWithParam<const char*> {};

TEST_P(WineFixture, SavesUnchangedHiveByteForByte)
{
    const std::string original = test::fileBytes(test::wineFixture(GetParam()));
    HiveParseResult parsed = HiveParser::parse(original);
    ASSERT_EQ(parsed.errorLine, 0) << parsed.error;
    EXPECT_TRUE(writeHive(parsed.file) == original) << "the written hive differs from " << GetParam();
}

TEST_P(WineFixture, WritesEveryKeyAsWineDid)
{
    // Writing every key anew from the tree, with none of the loaded text, must give
    // Wine's own bytes: the formatter, escapes, wrapping and order are Wine's.
    const std::string original = test::fileBytes(test::wineFixture(GetParam()));
    HiveParseResult parsed = HiveParser::parse(original);
    ASSERT_EQ(parsed.errorLine, 0) << parsed.error;
    size_t rewritten = 0;
    forEachKey(parsed.file.root(), [&](HiveKey& key) {
        if (key.block.empty())
            return;
        key.rewrite = true;
        ++rewritten;
        for (HiveValue& value : key.values)
            value.raw = {};
    });
    ASSERT_GT(rewritten, 0u);
    const std::string written = writeHive(parsed.file);
    if (written != original) {
        size_t at = 0;
        while (at < written.size() && at < original.size() && written[at] == original[at])
            ++at;
        const size_t from = at > 200 ? at - 200 : 0;
        FAIL() << "first difference at byte " << at << "\nwritten:\n" << written.substr(from, 300) << "\nWine:\n"
               << original.substr(from, 300);
    }
}

TEST_P(WineFixture, IsInTheOrderOfFoldedNames)
{
    HiveParseResult parsed = HiveParser::parse(test::fileBytes(test::wineFixture(GetParam())));
    ASSERT_EQ(parsed.errorLine, 0) << parsed.error;
    // The tree is sorted by construction; Wine's file order must be the same, so the
    // values of each block, taken in tree order, must lie at growing offsets.
    forEachKey(parsed.file.root(), [&](HiveKey& key) {
        const char* previous = nullptr;
        for (const HiveValue& value : key.values) {
            EXPECT_TRUE(previous == nullptr || value.raw.data() > previous);
            previous = value.raw.data();
        }
    });
}

INSTANTIATE_TEST_SUITE_P(Files, WineFixture, testing::Values("system.reg", "user.reg", "userdef.reg"),
    [](const testing::TestParamInfo<const char*>& info) {
        std::string name = info.param;
        return name.substr(0, name.find('.'));
    });

TEST(HiveWriter, ChangedKeyRewritesOnlyItsOwnLines)
{
    const std::string original = test::fileBytes(test::wineFixture("user.reg"));
    HiveParseResult parsed = HiveParser::parse(original);
    ASSERT_EQ(parsed.errorLine, 0) << parsed.error;
    HiveKey* colors = findHiveKey(parsed.file.root(), {u"control panel", u"colors"});
    ASSERT_NE(colors, nullptr);
    const std::string oldBlock(colors->block);
    HiveUndo undo;
    const uint64_t when = filetimeFromUnixSeconds(1800000000);
    setHiveValue(*colors, u"Menu", RegType::Sz, test::utf16Data(u"1 2 3"), when, undo);

    const std::string written = writeHive(parsed.file);
    const size_t at = original.find(oldBlock);
    ASSERT_NE(at, std::string::npos);
    std::string expectedBlock = oldBlock;
    expectedBlock.replace(expectedBlock.find("] 1796908206\n#time=1dd88a7c681fa08"),
        std::string("] 1796908206\n#time=1dd88a7c681fa08").size(), "] 1800000000\n#time=1dda4c66b338000");
    expectedBlock.replace(expectedBlock.find("\"Menu\"=\"255 255 255\""), std::string("\"Menu\"=\"255 255 255\"").size(),
        "\"Menu\"=\"1 2 3\"");
    std::string expected = original;
    expected.replace(at, oldBlock.size(), expectedBlock);
    EXPECT_TRUE(written == expected) << written.substr(at, expectedBlock.size());

    undo.revert();
    EXPECT_TRUE(writeHive(parsed.file) == original) << "undo did not restore the hive";
}

TEST(HiveWriter, NewAndDeletedKeysLeaveOtherBlocksAlone)
{
    const std::string original = test::fileBytes(test::wineFixture("user.reg"));
    HiveParseResult parsed = HiveParser::parse(original);
    ASSERT_EQ(parsed.errorLine, 0) << parsed.error;
    HiveUndo undo;
    const uint64_t when = filetimeFromUnixSeconds(1800000000);
    HiveKey* run = findHiveKey(parsed.file.root(), {u"software", u"microsoft", u"windows", u"currentversion", u"run"});
    ASSERT_NE(run, nullptr);
    const std::string runBlock(run->block);
    ASSERT_TRUE(deleteHiveSubkey(*run->parent, u"run", when, undo));
    HiveKey* created = createHiveKey(parsed.file.root(), {u"Software", u"Zeta [new]"}, {u"software", u"zeta [new]"},
        when, undo);
    setHiveValue(*created, u"", RegType::Dword, {1, 0, 0, 0}, when, undo);

    std::string expected = original;
    expected.erase(expected.find(runBlock), runBlock.size());
    const std::string newBlock = "\n[Software\\\\Zeta \\[new\\]] 1800000000\n#time=1dda4c66b338000\n@=dword:00000001\n";
    // The new key sorts after the last "Software\\..." key Wine wrote; the parents
    // that were stamped ("Software", "CurrentVersion") have no block of their own.
    const size_t next = expected.find("\n[Volatile Environment]");
    ASSERT_NE(next, std::string::npos);
    expected.insert(next, newBlock);
    EXPECT_TRUE(writeHive(parsed.file) == expected) << writeHive(parsed.file).substr(next - 300, 600);

    undo.revert();
    EXPECT_TRUE(writeHive(parsed.file) == original) << "undo did not restore the hive";
}

struct FormatCase {
    const char* name;
    std::u16string valueName;
    uint32_t type;
    std::vector<uint8_t> data;
    std::string lines;
};

class ValueFormat : public testing::TestWithParam<FormatCase> {};

TEST_P(ValueFormat, WritesWineForm)
{
    const FormatCase& c = GetParam();
    HiveValue value{c.valueName, foldName(c.valueName), c.type, c.data, {}};
    std::string out;
    appendValueLines(out, value, "\n");
    EXPECT_EQ(out, c.lines);
}

std::vector<uint8_t> bytes(size_t count)
{
    std::vector<uint8_t> data(count);
    for (size_t i = 0; i < count; ++i)
        data[i] = static_cast<uint8_t>(i);
    return data;
}

INSTANTIATE_TEST_SUITE_P(Table, ValueFormat, testing::Values(
    FormatCase{"DefaultSz", u"", RegType::Sz, test::utf16Data(u"default"), "@=\"default\"\n"},
    FormatCase{"Accent", u"Accent", RegType::Sz, test::utf16Data(u"\u00e9A"), "\"Accent\"=\"\\x00e9A\"\n"},
    FormatCase{"ExpandSz", u"Save", RegType::ExpandSz, test::utf16Data(u"%USERPROFILE%\\Saves"),
        "\"Save\"=str(2):\"%USERPROFILE%\\\\Saves\"\n"},
    FormatCase{"MultiSz", u"List", RegType::MultiSz, test::utf16Data(std::u16string(u"one\0two\0", 8)),
        "\"List\"=str(7):\"one\\0two\\0\"\n"},
    FormatCase{"Dword", u"Count", RegType::Dword, {0x2a, 0, 0, 0}, "\"Count\"=dword:0000002a\n"},
    FormatCase{"ShortDwordAsHex", u"D", RegType::Dword, {1, 2}, "\"D\"=hex(4):01,02\n"},
    FormatCase{"UnterminatedSz", u"U", RegType::Sz, {0x41, 0}, "\"U\"=hex(1):41,00\n"},
    FormatCase{"OddLengthSz", u"O", RegType::Sz, {0x41, 0, 0}, "\"O\"=hex(1):41,00,00\n"},
    FormatCase{"EmptySz", u"E", RegType::Sz, {}, "\"E\"=hex(1):\n"},
    FormatCase{"Binary", u"Blob", RegType::Binary, {0xde, 0xad, 0xbe, 0xef}, "\"Blob\"=hex:de,ad,be,ef\n"},
    FormatCase{"None", u"Empty", RegType::None, {}, "\"Empty\"=hex(0):\n"},
    FormatCase{"Qword", u"Big", RegType::Qword, {0x2a, 0, 0, 0, 0, 0, 0, 0}, "\"Big\"=hex(b):2a,00,00,00,00,00,00,00\n"},
    FormatCase{"WrapsAfterColumn76", u"", RegType::Binary, bytes(30),
        "@=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,16,17,\\\n"
        "  18,19,1a,1b,1c,1d\n"},
    FormatCase{"WrapCountsEscapedName", u"\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9", RegType::Binary, bytes(26),
        "\"\\xe9\\xe9\\xe9\\xe9\\xe9\\xe9\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,\\\n"
        "  10,11,12,13,14,15,16,17,18,19\n"}),
    [](const testing::TestParamInfo<FormatCase>& info) { return std::string(info.param.name); });

TEST(HiveWriter, NewHiveHasWineHeader)
{
    HiveFile file = HiveFile::createEmpty("REGISTRY\\\\Machine");
    HiveUndo undo;
    const uint64_t when = filetimeFromUnixSeconds(1700000000);
    HiveKey* key = createHiveKey(file.root(), {u"Software"}, {u"software"}, when, undo);
    setHiveValue(*key, u"v", RegType::Sz, test::utf16Data(u"x"), when, undo);
    EXPECT_EQ(writeHive(file),
        "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\Machine\n\n#arch=win64\n"
        "\n[Software] 1700000000\n#time=1da1747c66d0000\n\"v\"=\"x\"\n");
}

TEST(HiveWriter, KeepsLineEndsOfACrLfFile)
{
    const std::string text = "WINE REGISTRY Version 2\r\n\r\n[K] 1\r\n#time=1\r\n\"a\"=\"1\"\r\n";
    HiveParseResult parsed = HiveParser::parse(text);
    ASSERT_EQ(parsed.errorLine, 0) << parsed.error;
    EXPECT_EQ(writeHive(parsed.file), text);
    HiveUndo undo;
    setHiveValue(*parsed.file.root().subkeys[0], u"b", RegType::Sz, test::utf16Data(u"2"), 0x1da1747c66d0000ULL,
        undo);
    EXPECT_EQ(writeHive(parsed.file),
        "WINE REGISTRY Version 2\r\n\r\n[K] 1700000000\r\n#time=1da1747c66d0000\r\n\"a\"=\"1\"\r\n\"b\"=\"2\"\r\n");
}

TEST(HiveWriter, AddsALineEndAfterAnUnterminatedLastLine)
{
    const std::string text = "WINE REGISTRY Version 2\n\n[K] 1\n\"a\"=\"1\"";
    HiveParseResult parsed = HiveParser::parse(text);
    ASSERT_EQ(parsed.errorLine, 0) << parsed.error;
    EXPECT_EQ(writeHive(parsed.file), text);
    HiveUndo undo;
    createHiveKey(parsed.file.root(), {u"L"}, {u"l"}, 0x1da1747c66d0000ULL, undo);
    EXPECT_EQ(writeHive(parsed.file), text + "\n\n[L] 1700000000\n#time=1da1747c66d0000\n");
}

} // namespace
} // namespace tw
