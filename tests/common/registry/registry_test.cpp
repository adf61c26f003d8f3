#include <gtest/gtest.h>

#include "registrytestfixture.h"

namespace tw {
namespace {

using test::platformErrorOf;
using test::RegistryTest;

TEST_F(RegistryTest, CreateKeyMakesItsParentsAndSavesBeforeReturning)
{
    auto registry = openRegistry();
    ASSERT_TRUE(registry->createKey(RegRoot::CurrentUser, "Software\\Brindlewharf\\Tidewick 2.4"));
    const std::string saved = test::fileBytes(userReg());
    EXPECT_EQ(saved.rfind("WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\User\\\\S-1-5-21-0-0-0-1000\n", 0),
        0u);
    EXPECT_NE(saved.find("\n[Software\\\\Brindlewharf\\\\Tidewick 2.4] "), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(systemReg())) << "the machine hive was not changed";
    EXPECT_TRUE(openRegistry()->keyExists(RegRoot::CurrentUser, "Software\\Brindlewharf"));
}

TEST_F(RegistryTest, OpenKeyNeverCreates)
{
    auto registry = openRegistry();
    EXPECT_FALSE(registry->openKey(RegRoot::CurrentUser, "Software\\Missing"));
    EXPECT_FALSE(registry->openKeyForWrite(RegRoot::CurrentUser, "Software\\Missing"));
    EXPECT_FALSE(registry->keyExists(RegRoot::CurrentUser, "Software\\Missing"));
    EXPECT_FALSE(std::filesystem::exists(userReg()));
}

struct PathCase {
    const char* name;
    const char* path;
    bool exists;
};

class KeyPaths : public RegistryTest, public testing::WithParamInterface<PathCase> {};

TEST_P(KeyPaths, ResolveWithoutRegardToCase)
{
    auto registry = openRegistry();
    ASSERT_TRUE(registry->createKey(RegRoot::LocalMachine, "Software\\Acme\\Demo"));
    EXPECT_EQ(registry->keyExists(RegRoot::LocalMachine, GetParam().path), GetParam().exists);
    EXPECT_EQ(registry->openKey(RegRoot::LocalMachine, GetParam().path).has_value(), GetParam().exists);
}

INSTANTIATE_TEST_SUITE_P(Table, KeyPaths, testing::Values(
    PathCase{"Exact", "Software\\Acme\\Demo", true},
    PathCase{"OtherCase", "SOFTWARE\\acme\\dEMO", true},
    PathCase{"LeadingBackslash", "\\Software\\Acme", true},
    PathCase{"TrailingBackslash", "Software\\Acme\\", true},
    PathCase{"Root", "", true},
    PathCase{"RootBackslash", "\\", true},
    PathCase{"EmptyNameInside", "Software\\\\Acme", false},
    PathCase{"Missing", "Software\\Acme\\Other", false},
    PathCase{"Prefix", "Software\\Ac", false},
    PathCase{"ForwardSlashIsAName", "Software/Acme", false}),
    [](const testing::TestParamInfo<PathCase>& info) { return std::string(info.param.name); });

TEST_F(RegistryTest, KeyRemembersItsPath)
{
    auto registry = openRegistry();
    const auto key = registry->createKey(RegRoot::CurrentUser, "\\Software\\Acme\\");
    ASSERT_TRUE(key);
    EXPECT_EQ(key->path(), "Software\\Acme");
    EXPECT_EQ(key->root(), RegRoot::CurrentUser);
    EXPECT_EQ(key->access(), RegAccess::Write);
    EXPECT_EQ(registry->openKey(RegRoot::CurrentUser, "software\\acme")->access(), RegAccess::Read);
}

struct WriteCase {
    const char* name;
    std::function<void(RegKey&)> write;
    uint32_t type;
    std::vector<uint8_t> data;
};

class ValueWrites : public RegistryTest, public testing::WithParamInterface<WriteCase> {};

TEST_P(ValueWrites, StoreTypeAndDataThatReadBackAfterReopening)
{
    {
        auto registry = openRegistry();
        auto key = registry->createKey(RegRoot::CurrentUser, "Software\\Acme");
        ASSERT_TRUE(key);
        GetParam().write(*key);
    }
    auto registry = openRegistry();
    const auto key = registry->openKey(RegRoot::CurrentUser, "Software\\Acme");
    ASSERT_TRUE(key);
    const auto value = key->readValue("V");
    ASSERT_TRUE(value);
    EXPECT_EQ(value->type, GetParam().type);
    EXPECT_EQ(value->data, GetParam().data);
    EXPECT_EQ(key->valueType("v"), GetParam().type);
}

INSTANTIATE_TEST_SUITE_P(Table, ValueWrites, testing::Values(
    WriteCase{"String", [](RegKey& k) { k.writeString("V", "C:\\Caf\xc3\xa9"); }, RegType::Sz,
        test::utf16Data(u"C:\\Caf\u00e9")},
    WriteCase{"ExpandString", [](RegKey& k) { k.writeExpandString("V", "%TEMP%\\x"); }, RegType::ExpandSz,
        test::utf16Data(u"%TEMP%\\x")},
    WriteCase{"Integer", [](RegKey& k) { k.writeInteger("V", 0xdeadbeef); }, RegType::Dword, {0xef, 0xbe, 0xad, 0xde}},
    WriteCase{"Binary", [](RegKey& k) { k.writeValue("V", {RegType::Binary, {1, 2, 3}}); }, RegType::Binary, {1, 2, 3}},
    WriteCase{"MultiString", [](RegKey& k) { k.writeValue("V", {RegType::MultiSz, test::utf16Data(std::u16string(u"a\0b\0", 4))}); },
        RegType::MultiSz, test::utf16Data(std::u16string(u"a\0b\0", 4))},
    WriteCase{"Qword", [](RegKey& k) { k.writeValue("V", {RegType::Qword, {1, 0, 0, 0, 0, 0, 0, 2}}); }, RegType::Qword,
        {1, 0, 0, 0, 0, 0, 0, 2}},
    WriteCase{"Link", [](RegKey& k) { k.writeValue("V", {RegType::Link, {0x5c, 0}}); }, RegType::Link, {0x5c, 0}},
    WriteCase{"UnknownType", [](RegKey& k) { k.writeValue("V", {0xffff0007u, {9}}); }, 0xffff0007u, {9}},
    WriteCase{"ReplacesOtherType", [](RegKey& k) { k.writeInteger("V", 1); k.writeString("v", "x"); }, RegType::Sz,
        test::utf16Data(u"x")}),
    [](const testing::TestParamInfo<WriteCase>& info) { return std::string(info.param.name); });

struct ReadStringCase {
    const char* name;
    RegValue stored;
    std::string text;
};

class ReadString : public RegistryTest, public testing::WithParamInterface<ReadStringCase> {};

TEST_P(ReadString, GivesTextAsStored)
{
    auto registry = openRegistry();
    auto key = registry->createKey(RegRoot::CurrentUser, "Software\\Acme");
    key->writeValue("V", GetParam().stored);
    EXPECT_EQ(key->readString("V"), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Table, ReadString, testing::Values(
    ReadStringCase{"Sz", {RegType::Sz, test::utf16Data(u"abc")}, "abc"},
    ReadStringCase{"ExpandSzNotExpanded", {RegType::ExpandSz, test::utf16Data(u"%TEMP%\\x")}, "%TEMP%\\x"},
    ReadStringCase{"CutAtFirstNul", {RegType::Sz, test::utf16Data(std::u16string(u"ab\0cd", 5))}, "ab"},
    ReadStringCase{"WithoutTerminator", {RegType::Sz, {0x61, 0, 0x62, 0}}, "ab"},
    ReadStringCase{"OnlyTerminator", {RegType::Sz, {0, 0}}, ""},
    ReadStringCase{"EmptySz", {RegType::Sz, {}}, ""},
    ReadStringCase{"EmptyBinaryReadsEmpty", {RegType::Binary, {}}, ""},
    ReadStringCase{"NonAscii", {RegType::Sz, test::utf16Data(u"Zo\u00eb \u65e5\U0001F600")},
        "Zo\xc3\xab \xe6\x97\xa5\xf0\x9f\x98\x80"}),
    [](const testing::TestParamInfo<ReadStringCase>& info) { return std::string(info.param.name); });

TEST_F(RegistryTest, MissingValueReadsAsEmptyText)
{
    auto registry = openRegistry();
    auto key = registry->createKey(RegRoot::CurrentUser, "Software\\Acme");
    EXPECT_EQ(key->readString("Nothing"), "");
    EXPECT_FALSE(key->readValue("Nothing"));
    EXPECT_FALSE(key->valueType("Nothing"));
    EXPECT_FALSE(key->hasValue("Nothing"));
}

struct ReadErrorCase {
    const char* name;
    std::optional<RegValue> stored;
    bool asInteger;
    const char* error;
};

class ReadErrors : public RegistryTest, public testing::WithParamInterface<ReadErrorCase> {};

TEST_P(ReadErrors, RaiseTheExactText)
{
    auto registry = openRegistry();
    auto key = registry->createKey(RegRoot::CurrentUser, "Software\\Acme");
    if (GetParam().stored)
        key->writeValue("Remove method", *GetParam().stored);
    const auto error = platformErrorOf([&] {
        if (GetParam().asInteger)
            key->readInteger("Remove method");
        else
            key->readString("Remove method");
    });
    ASSERT_TRUE(error) << "no error raised";
    EXPECT_STREQ(error->what(), GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(Table, ReadErrors, testing::Values(
    ReadErrorCase{"StringOfDword", RegValue{RegType::Dword, {1, 0, 0, 0}}, false, "Invalid data type for 'Remove method'"},
    ReadErrorCase{"StringOfBinary", RegValue{RegType::Binary, {1}}, false, "Invalid data type for 'Remove method'"},
    ReadErrorCase{"StringOfMultiSz", RegValue{RegType::MultiSz, {0x61, 0, 0, 0, 0, 0}}, false,
        "Invalid data type for 'Remove method'"},
    ReadErrorCase{"IntegerMissing", std::nullopt, true, "Failed to get data for 'Remove method'"},
    ReadErrorCase{"IntegerOfString", RegValue{RegType::Sz, test::utf16Data(u"1")}, true,
        "Invalid data type for 'Remove method'"},
    ReadErrorCase{"IntegerOfShortDword", RegValue{RegType::Dword, {1, 0}}, true, "Failed to get data for 'Remove method'"}),
    [](const testing::TestParamInfo<ReadErrorCase>& info) { return std::string(info.param.name); });

TEST_F(RegistryTest, ReadsIntegers)
{
    auto registry = openRegistry();
    auto key = registry->createKey(RegRoot::CurrentUser, "Software\\Acme");
    key->writeInteger("Remove method", 3);
    EXPECT_EQ(key->readInteger("REMOVE METHOD"), 3u);
}

TEST_F(RegistryTest, ValueNamesCompareWithoutCaseAndKeepTheirFirstSpelling)
{
    auto registry = openRegistry();
    auto key = registry->createKey(RegRoot::CurrentUser, "Software\\Acme");
    key->writeString("Skin name", "a");
    key->writeString("Skin Name", "b");
    EXPECT_EQ(key->valueNames(), (std::vector<std::string>{"Skin name"}));
    EXPECT_EQ(key->readString("SKIN NAME"), "b");
}

TEST_F(RegistryTest, ListsNamesInWineOrderWithTheDefaultValue)
{
    auto registry = openRegistry();
    auto key = registry->createKey(RegRoot::LocalMachine, "Software\\Acme");
    for (const char* name : {"b", "_x", "A", "ab", "\xc3\x89t\xc3\xa9"})
        ASSERT_TRUE(registry->createKey(RegRoot::LocalMachine, std::string("Software\\Acme\\") + name));
    for (const char* name : {"zeta", "Alpha", "", "beta"})
        key->writeString(name, "x");
    EXPECT_EQ(key->subkeyNames(), (std::vector<std::string>{"_x", "A", "ab", "b", "\xc3\x89t\xc3\xa9"}));
    EXPECT_EQ(key->valueNames(), (std::vector<std::string>{"", "Alpha", "beta", "zeta"}));
    EXPECT_EQ(key->subkeyCount(), 5u);
    EXPECT_EQ(key->valueCount(), 4u);
}

TEST_F(RegistryTest, DeletesValues)
{
    auto registry = openRegistry();
    auto key = registry->createKey(RegRoot::CurrentUser, "Software\\Acme");
    key->writeString("Gone", "x");
    EXPECT_TRUE(key->deleteValue("gone"));
    EXPECT_FALSE(key->hasValue("Gone"));
    EXPECT_FALSE(key->deleteValue("Gone"));
    EXPECT_EQ(test::fileBytes(userReg()).find("Gone"), std::string::npos);
}

TEST_F(RegistryTest, KeyOpenedForReadingRefusesChanges)
{
    auto registry = openRegistry();
    registry->createKey(RegRoot::CurrentUser, "Software\\Acme")->writeString("Keep", "x");
    auto key = registry->openKey(RegRoot::CurrentUser, "Software\\Acme");
    const auto error = platformErrorOf([&] { key->writeString("Keep", "y"); });
    ASSERT_TRUE(error);
    EXPECT_STREQ(error->what(), "Failed to set data for 'Keep'");
    EXPECT_NE(error->detail().find("opened for reading"), std::string::npos) << error->detail();
    EXPECT_FALSE(key->deleteValue("Keep"));
    EXPECT_EQ(key->readString("Keep"), "x");
}

TEST_F(RegistryTest, DeletesAKeyWithItsSubtree)
{
    auto registry = openRegistry();
    registry->createKey(RegRoot::CurrentUser, "Software\\Acme\\A\\B\\C")->writeString("v", "1");
    registry->createKey(RegRoot::CurrentUser, "Software\\Acme\\A\\D")->writeString("v", "2");
    registry->createKey(RegRoot::CurrentUser, "Software\\Acme\\Keep");
    EXPECT_TRUE(registry->deleteKey(RegRoot::CurrentUser, "software\\acme\\a"));
    EXPECT_FALSE(registry->keyExists(RegRoot::CurrentUser, "Software\\Acme\\A"));
    EXPECT_TRUE(registry->keyExists(RegRoot::CurrentUser, "Software\\Acme\\Keep"));
    const std::string saved = test::fileBytes(userReg());
    EXPECT_EQ(saved.find("Acme\\\\A"), std::string::npos) << saved;
    EXPECT_FALSE(registry->deleteKey(RegRoot::CurrentUser, "Software\\Acme\\A"));
    EXPECT_FALSE(registry->deleteKey(RegRoot::CurrentUser, ""));
}

TEST_F(RegistryTest, DeletesASubkeyThroughItsParent)
{
    auto registry = openRegistry();
    registry->createKey(RegRoot::CurrentUser, "Software\\Acme\\Sub\\Deeper");
    auto parent = registry->openKey(RegRoot::CurrentUser, "Software\\Acme");
    EXPECT_TRUE(parent->deleteSubkey("SUB"));
    EXPECT_EQ(parent->subkeyCount(), 0u);
    EXPECT_FALSE(parent->deleteSubkey("Sub"));
}

TEST_F(RegistryTest, DeletedKeyReadsEmptyAndRefusesWrites)
{
    auto registry = openRegistry();
    auto key = registry->createKey(RegRoot::CurrentUser, "Software\\Acme\\Gone");
    key->writeString("v", "x");
    ASSERT_TRUE(registry->deleteKey(RegRoot::CurrentUser, "Software\\Acme\\Gone"));
    EXPECT_EQ(key->valueCount(), 0u);
    EXPECT_TRUE(key->valueNames().empty());
    EXPECT_EQ(key->readString("v"), "");
    const auto error = platformErrorOf([&] { key->writeString("v", "y"); });
    ASSERT_TRUE(error);
    EXPECT_STREQ(error->what(), "Failed to set data for 'v'");
    EXPECT_NE(error->detail().find("does not exist"), std::string::npos) << error->detail();
    EXPECT_FALSE(registry->keyExists(RegRoot::CurrentUser, "Software\\Acme\\Gone"));
}

TEST_F(RegistryTest, CreatingAnExistingKeyChangesNothing)
{
    auto registry = openRegistry();
    registry->createKey(RegRoot::CurrentUser, "Software\\Acme")->writeString("v", "x");
    const std::string before = test::fileBytes(userReg());
    auto key = registry->createKey(RegRoot::CurrentUser, "SOFTWARE\\ACME");
    ASSERT_TRUE(key);
    EXPECT_EQ(key->readString("v"), "x");
    EXPECT_EQ(test::fileBytes(userReg()), before);
    EXPECT_EQ(registry->openKey(RegRoot::CurrentUser, "Software")->subkeyNames(), (std::vector<std::string>{"Acme"}));
}

TEST_F(RegistryTest, SeesChangesWineSavedMeanwhile)
{
    auto registry = openRegistry();
    auto key = registry->createKey(RegRoot::CurrentUser, "Software\\Acme");
    key->writeString("Ours", "1");
    // Wine saves the hive with a value of its own.
    std::string text = test::fileBytes(userReg());
    text += "\n[Software\\\\Wine\\\\Saved] 1700000000\n#time=1da1747c66d0000\n\"Theirs\"=\"2\"\n";
    test::writeBytes(userReg(), text);

    key->writeString("Ours2", "3");
    auto reopened = openRegistry();
    EXPECT_EQ(reopened->openKey(RegRoot::CurrentUser, "Software\\Wine\\Saved")->readString("Theirs"), "2");
    EXPECT_EQ(reopened->openKey(RegRoot::CurrentUser, "Software\\Acme")->readString("Ours2"), "3");
}

} // namespace
} // namespace tw
