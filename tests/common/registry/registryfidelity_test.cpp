#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

#include "common/base/text.h"
#include "registrytestfixture.h"

namespace tw {
namespace {

using test::platformErrorOf;

class RegistryFidelity : public test::RegistryTest {
protected:
    void SetUp() override { copyWineHives(); }
};

// The lines of a file; a change must leave every line outside one block alone.
std::vector<std::string> linesOf(const std::string& text)
{
    return splitLines(text);
}

TEST_F(RegistryFidelity, ReadsTheUnicodeExampleWineWrote)
{
    auto registry = openRegistry();
    const auto key = registry->openKey(RegRoot::CurrentUser, "Software\\Example \xc3\x9c" "n\xc3\xaf" "code");
    ASSERT_TRUE(key);
    const std::string name = "na\xc3\xafve \"q\" \\ back";
    EXPECT_EQ(key->valueNames(), (std::vector<std::string>{name}));
    EXPECT_EQ(key->readString(name),
        "Zo\xc3\xab \xe2\x80\x93 \xe6\x97\xa5\xe6\x9c\xac \"x\" C:\\a\\b.exe\ttab");
    EXPECT_EQ(registry->openKey(RegRoot::CurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Run")
                  ->readString("Updater"),
        "\"C:\\Program Files\\Upd\\upd.exe\" -min");
}

TEST_F(RegistryFidelity, KeepsEveryValueTypeWineWrote)
{
    auto registry = openRegistry();
    const auto link = registry->openKey(RegRoot::LocalMachine, "Software\\Wow6432Node\\Classes");
    ASSERT_TRUE(link);
    EXPECT_EQ(link->valueNames(), (std::vector<std::string>{"SymbolicLinkValue"}));
    EXPECT_EQ(link->valueType("SymbolicLinkValue"), RegType::Link);
    const auto target = link->readValue("SymbolicLinkValue");
    ASSERT_TRUE(target);
    std::u16string units;
    for (size_t i = 0; i + 1 < target->data.size(); i += 2)
        units += static_cast<char16_t>(target->data[i] | (target->data[i + 1] << 8));
    EXPECT_EQ(units, u"\\Registry\\Machine\\Software\\Classes\\Wow6432Node");
    const auto error = platformErrorOf([&] { link->readString("SymbolicLinkValue"); });
    ASSERT_TRUE(error);
    EXPECT_STREQ(error->what(), "Invalid data type for 'SymbolicLinkValue'");

    const auto property = registry->openKey(RegRoot::LocalMachine,
        "System\\CurrentControlSet\\Enum\\DISPLAY\\Default_Monitor\\0000&0000\\Properties\\"
        "{233a9ef3-afc4-4abd-b564-c32f21f1535b}\\0005");
    ASSERT_TRUE(property);
    EXPECT_EQ(property->valueNames(), (std::vector<std::string>{""}));
    EXPECT_EQ(property->valueType(""), 0xffff0012u);
    const std::vector<uint8_t> start = {0x5c, 0, 0x5c, 0, 0x2e, 0, 0x5c, 0};
    const auto data = property->readValue("")->data;
    ASSERT_GE(data.size(), start.size());
    EXPECT_TRUE(std::equal(start.begin(), start.end(), data.begin()));
}

TEST_F(RegistryFidelity, ReadsClassesOfTheWineFixture)
{
    auto registry = openRegistry();
    const auto empty = registry->openKey(RegRoot::ClassesRoot, ".zzempty");
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->valueNames(), (std::vector<std::string>{""}));
    EXPECT_EQ(empty->valueType(""), RegType::Sz);
    EXPECT_EQ(empty->readString(""), "");
    EXPECT_GT(registry->openKey(RegRoot::ClassesRoot, "")->subkeyCount(), 100u);
}

TEST_F(RegistryFidelity, AChangeRewritesOnlyItsKeysLines)
{
    const std::string before = test::fileBytes(userReg());
    const std::string machineBefore = test::fileBytes(systemReg());
    auto registry = openRegistry();
    registry->openKeyForWrite(RegRoot::CurrentUser, "Control Panel\\Colors")->writeString("Menu", "1 2 3");
    const std::string after = test::fileBytes(userReg());

    const auto oldLines = linesOf(before);
    const auto newLines = linesOf(after);
    ASSERT_EQ(oldLines.size(), newLines.size());
    std::vector<std::string> changed;
    for (size_t i = 0; i < oldLines.size(); ++i)
        if (oldLines[i] != newLines[i])
            changed.push_back(oldLines[i] + " -> " + newLines[i]);
    ASSERT_EQ(changed.size(), 3u);
    EXPECT_EQ(changed[0].rfind("[Control Panel\\\\Colors] 1796908206 -> [Control Panel\\\\Colors] ", 0), 0u) << changed[0];
    EXPECT_EQ(changed[1].rfind("#time=1dd88a7c681fa08 -> #time=", 0), 0u) << changed[1];
    EXPECT_EQ(changed[2], "\"Menu\"=\"255 255 255\" -> \"Menu\"=\"1 2 3\"");
    EXPECT_TRUE(test::fileBytes(systemReg()) == machineBefore);
}

TEST_F(RegistryFidelity, NamesAndTextsWithEscapesRoundTrip)
{
    const std::string keyName = "Odd [key] \"q\" \xc3\x9c \t";
    const std::string valueName = "na\xc3\xafve \"q\" \\ back\x01\n";
    const std::string text = "C:\\a\\b.exe\t\"x\" \xe2\x80\x93 \xe6\x97\xa5\x1b\x7f\xf0\x9f\x98\x80 7\r\n";
    {
        auto registry = openRegistry();
        auto key = registry->createKey(RegRoot::CurrentUser, "Software\\" + keyName);
        ASSERT_TRUE(key);
        key->writeString(valueName, text);
        key->writeExpandString("x", "%A%\\\xc3\xa9" "1");
    }
    const std::string saved = test::fileBytes(userReg());
    for (const char c : saved)
        ASSERT_LT(static_cast<unsigned char>(c), 0x80) << "the saved hive is not pure ASCII";
    auto registry = openRegistry();
    const auto key = registry->openKey(RegRoot::CurrentUser, "Software\\" + keyName);
    ASSERT_TRUE(key);
    EXPECT_EQ(key->readString(valueName), text);
    EXPECT_EQ(key->readString("x"), "%A%\\\xc3\xa9" "1");
    EXPECT_NE(saved.find("[Software\\\\Odd \\[key\\] \"q\" \\xdc \\t] "), std::string::npos);
}

TEST_F(RegistryFidelity, AFailedSaveLeavesTheOldFileAndTheOldValue)
{
    const std::string before = test::fileBytes(systemReg());
    auto registry = openRegistry();
    auto key = registry->openKeyForWrite(RegRoot::LocalMachine, "Software\\Classes\\.zzempty");
    ASSERT_TRUE(key);

    // A file size limit below the hive's size makes writing the temporary file fail
    // (even for root, who ignores permissions).
    rlimit saved {};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 64 * 1024;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const auto error = platformErrorOf([&] { key->writeString("", "changed"); });
    const bool deleted = registry->deleteKey(RegRoot::LocalMachine, "Software\\Classes\\.zzempty");
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    ASSERT_TRUE(error);
    EXPECT_STREQ(error->what(), "Failed to set data for ''");
    EXPECT_NE(error->detail().find("system.reg"), std::string::npos) << error->detail();
    EXPECT_FALSE(deleted);
    EXPECT_TRUE(test::fileBytes(systemReg()) == before);
    EXPECT_EQ(key->readString(""), "") << "the refused value is still held in memory";
    EXPECT_TRUE(registry->keyExists(RegRoot::LocalMachine, "Software\\Classes\\.zzempty"));
    for (const auto& entry : std::filesystem::directory_iterator(m_prefix))
        EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos) << entry.path();

    key->writeString("", "now");
    EXPECT_EQ(openRegistry()->openKey(RegRoot::LocalMachine, "Software\\Classes\\.zzempty")->readString(""), "now");
}

TEST_F(RegistryFidelity, ExportsUnchangedHivesByteForByte)
{
    auto registry = openRegistry();
    const std::filesystem::path out = m_scratch.path() / "out";
    std::filesystem::create_directory(out);
    std::string error;
    ASSERT_TRUE(registry->exportHive(RegRoot::LocalMachine, out / "system.reg", &error)) << error;
    ASSERT_TRUE(registry->exportHive(RegRoot::CurrentUser, out / "user.reg", &error)) << error;
    EXPECT_TRUE(test::fileBytes(out / "system.reg") == test::fileBytes(systemReg()));
    EXPECT_TRUE(test::fileBytes(out / "user.reg") == test::fileBytes(userReg()));
    EXPECT_FALSE(registry->exportHive(RegRoot::CurrentUser, m_scratch.path() / "missing" / "user.reg", &error));
    EXPECT_NE(error.find("missing"), std::string::npos) << error;
}

TEST_F(RegistryFidelity, SavesThroughALinkedHive)
{
    const std::filesystem::path elsewhere = m_scratch.path() / "shared-user.reg";
    std::filesystem::rename(userReg(), elsewhere);
    std::filesystem::create_symlink(elsewhere, userReg());
    auto registry = openRegistry();
    registry->createKey(RegRoot::CurrentUser, "Software\\Acme")->writeString("v", "1");
    EXPECT_TRUE(std::filesystem::is_symlink(userReg()));
    EXPECT_NE(test::fileBytes(elsewhere).find("[Software\\\\Acme]"), std::string::npos);
}

} // namespace
} // namespace tw
