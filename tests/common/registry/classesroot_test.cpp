#include <gtest/gtest.h>

#include "registrytestfixture.h"

namespace tw {
namespace {

// HKEY_CLASSES_ROOT over a machine hive holding ".txt", ".zzempty" and ".both\\sub"
// and a user hive holding ".txt" and ".mine".
class ClassesRoot : public test::RegistryTest {
protected:
    void SetUp() override
    {
        auto registry = openRegistry();
        registry->createKey(RegRoot::LocalMachine, "Software\\Classes\\.txt")->writeString("", "txtfile");
        registry->createKey(RegRoot::LocalMachine, "Software\\Classes\\.txt")->writeString("Machine only", "m");
        registry->createKey(RegRoot::LocalMachine, "Software\\Classes\\.txt\\ShellNew");
        registry->createKey(RegRoot::LocalMachine, "Software\\Classes\\.zzempty")->writeString("", "");
        registry->createKey(RegRoot::CurrentUser, "Software\\Classes\\.TXT")->writeString("", "userfile");
        registry->createKey(RegRoot::CurrentUser, "Software\\Classes\\.txt\\OpenWithList");
        registry->createKey(RegRoot::CurrentUser, "Software\\Classes\\.mine");
    }

    bool machineHas(const char* path) { return openRegistry()->keyExists(RegRoot::LocalMachine, path); }
    bool userHas(const char* path) { return openRegistry()->keyExists(RegRoot::CurrentUser, path); }
};

TEST_F(ClassesRoot, ListsTheKeysOfBothHivesOnce)
{
    auto registry = openRegistry();
    EXPECT_EQ(registry->openKey(RegRoot::ClassesRoot, "")->subkeyNames(),
        (std::vector<std::string>{".mine", ".TXT", ".zzempty"}));
    EXPECT_EQ(registry->openKey(RegRoot::ClassesRoot, "\\")->subkeyCount(), 3u);
    EXPECT_EQ(registry->openKey(RegRoot::ClassesRoot, ".txt")->subkeyNames(),
        (std::vector<std::string>{"OpenWithList", "ShellNew"}));
}

TEST_F(ClassesRoot, UserKeyWins)
{
    auto registry = openRegistry();
    const auto txt = registry->openKey(RegRoot::ClassesRoot, ".txt");
    ASSERT_TRUE(txt);
    EXPECT_EQ(txt->readString(""), "userfile");
    EXPECT_EQ(txt->valueNames(), (std::vector<std::string>{""}));
    EXPECT_EQ(txt->valueCount(), 1u);
    EXPECT_TRUE(registry->keyExists(RegRoot::ClassesRoot, ".zzempty"));
    EXPECT_TRUE(registry->keyExists(RegRoot::ClassesRoot, ".mine"));
    EXPECT_FALSE(registry->keyExists(RegRoot::ClassesRoot, ".none"));
}

TEST_F(ClassesRoot, ChangesGoToTheHiveThatHoldsTheKey)
{
    auto registry = openRegistry();
    registry->openKeyForWrite(RegRoot::ClassesRoot, ".txt")->writeString("Changed", "u");
    registry->openKeyForWrite(RegRoot::ClassesRoot, ".zzempty")->writeString("Changed", "m");
    EXPECT_TRUE(openRegistry()->openKey(RegRoot::CurrentUser, "Software\\Classes\\.txt")->hasValue("Changed"));
    EXPECT_FALSE(openRegistry()->openKey(RegRoot::LocalMachine, "Software\\Classes\\.txt")->hasValue("Changed"));
    EXPECT_TRUE(openRegistry()->openKey(RegRoot::LocalMachine, "Software\\Classes\\.zzempty")->hasValue("Changed"));
    EXPECT_TRUE(registry->openKeyForWrite(RegRoot::ClassesRoot, ".txt")->deleteValue(""));
    EXPECT_EQ(openRegistry()->openKey(RegRoot::LocalMachine, "Software\\Classes\\.txt")->readString(""), "txtfile");
}

TEST_F(ClassesRoot, NewKeysGoToTheMachineHive)
{
    auto registry = openRegistry();
    ASSERT_TRUE(registry->createKey(RegRoot::ClassesRoot, ".new\\shell"));
    EXPECT_TRUE(machineHas("Software\\Classes\\.new\\shell"));
    EXPECT_FALSE(userHas("Software\\Classes\\.new"));
    // A key the user hive holds is opened there, not created again.
    ASSERT_TRUE(registry->createKey(RegRoot::ClassesRoot, ".mine"));
    EXPECT_FALSE(machineHas("Software\\Classes\\.mine"));
}

TEST_F(ClassesRoot, DeletingAKeyRemovesItFromBothHives)
{
    auto registry = openRegistry();
    EXPECT_TRUE(registry->deleteKey(RegRoot::ClassesRoot, ".TXT"));
    EXPECT_FALSE(registry->keyExists(RegRoot::ClassesRoot, ".txt"));
    EXPECT_FALSE(machineHas("Software\\Classes\\.txt"));
    EXPECT_FALSE(userHas("Software\\Classes\\.txt"));
    EXPECT_TRUE(registry->openKey(RegRoot::ClassesRoot, "")->subkeyNames()
        == (std::vector<std::string>{".mine", ".zzempty"}));
    EXPECT_TRUE(registry->openKey(RegRoot::ClassesRoot, "")->deleteSubkey(".mine"));
    EXPECT_FALSE(userHas("Software\\Classes\\.mine"));
}

} // namespace
} // namespace tw
