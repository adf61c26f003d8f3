#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "registrytestfixture.h"

namespace tw {
namespace {

using test::platformErrorOf;

// A machine hive whose line 9 is not Wine's format, beside a good user hive.
class BrokenHive : public test::RegistryTest {
protected:
    void SetUp() override
    {
        test::writeBytes(systemReg(), Broken);
        auto good = openRegistry();
        good->createKey(RegRoot::CurrentUser, "Software\\Acme");
    }

    static constexpr const char* Broken =
        "WINE REGISTRY Version 2\n"
        ";; All keys relative to REGISTRY\\\\Machine\n"
        "\n"
        "#arch=win64\n"
        "\n"
        "[Software\\\\Before] 1700000000\n"
        "#time=1da1747c66d0000\n"
        "\"Good\"=\"yes\"\n"
        "\"Bad\"=dword:xyz\n"
        "\n"
        "[Software\\\\After] 1700000000\n";
};

TEST_F(BrokenHive, LoadsAsFarAsItGoes)
{
    auto registry = openRegistry();
    EXPECT_EQ(registry->openKey(RegRoot::LocalMachine, "Software\\Before")->readString("Good"), "yes");
    EXPECT_FALSE(registry->keyExists(RegRoot::LocalMachine, "Software\\After"));
}

TEST_F(BrokenHive, RefusesEveryChangeNamingFileAndLine)
{
    auto registry = openRegistry();
    const std::string reason = registry->readOnlyReason(RegRoot::LocalMachine);
    EXPECT_NE(reason.find(systemReg().string()), std::string::npos) << reason;
    EXPECT_NE(reason.find("line 9"), std::string::npos) << reason;
    EXPECT_EQ(registry->readOnlyReason(RegRoot::ClassesRoot), reason);

    EXPECT_FALSE(registry->createKey(RegRoot::LocalMachine, "Software\\New"));
    EXPECT_FALSE(registry->createKey(RegRoot::LocalMachine, "Software\\Before"));
    EXPECT_FALSE(registry->openKeyForWrite(RegRoot::LocalMachine, "Software\\Before"));
    EXPECT_FALSE(registry->deleteKey(RegRoot::LocalMachine, "Software\\Before"));
    EXPECT_FALSE(registry->createKey(RegRoot::ClassesRoot, ".new"));
    EXPECT_FALSE(registry->openKey(RegRoot::LocalMachine, "Software")->deleteSubkey("Before"));
    EXPECT_EQ(test::fileBytes(systemReg()), Broken);
}

TEST_F(BrokenHive, OtherHiveStaysWritable)
{
    auto registry = openRegistry();
    EXPECT_EQ(registry->readOnlyReason(RegRoot::CurrentUser), "");
    ASSERT_TRUE(registry->createKey(RegRoot::CurrentUser, "Software\\Acme\\More"));
}

TEST_F(BrokenHive, FileBrokenWhileOpenIsNeverSavedOver)
{
    std::filesystem::remove(systemReg());
    auto registry = openRegistry();
    auto key = registry->createKey(RegRoot::LocalMachine, "Software\\Before");
    ASSERT_TRUE(key);
    // Someone else leaves a file that does not parse.
    test::writeBytes(systemReg(), Broken);

    const auto error = platformErrorOf([&] { key->writeString("Good", "changed"); });
    ASSERT_TRUE(error);
    EXPECT_STREQ(error->what(), "Failed to set data for 'Good'");
    EXPECT_NE(error->detail().find(systemReg().string()), std::string::npos) << error->detail();
    EXPECT_NE(error->detail().find("line 9"), std::string::npos) << error->detail();
    EXPECT_FALSE(key->deleteValue("Good"));
    EXPECT_EQ(test::fileBytes(systemReg()), Broken);
    EXPECT_EQ(key->readString("Good"), "yes");
}

class UnreadableHive : public test::RegistryTest {};

TEST_F(UnreadableHive, IsReadOnly)
{
    // A folder where the hive should be cannot be read, and is never replaced.
    std::filesystem::create_directory(systemReg());
    auto registry = openRegistry();
    const std::string reason = registry->readOnlyReason(RegRoot::LocalMachine);
    EXPECT_NE(reason.find("Cannot read the registry file " + systemReg().string()), std::string::npos) << reason;
    EXPECT_FALSE(registry->createKey(RegRoot::LocalMachine, "Software"));
    EXPECT_TRUE(std::filesystem::is_directory(systemReg()));
}

// Where a Wine server of the prefix keeps its lock file, relative to /tmp.
struct ServerCase {
    const char* name;
    // The folder below the tmp folder ("%u" is the user id), and whether the
    // server folder is named after this prefix.
    const char* folder;
    bool ownPrefix;
    bool locked;
    bool refused;
};

class WineServer : public test::RegistryTest, public testing::WithParamInterface<ServerCase> {
protected:
    void SetUp() override
    {
        std::string folder = GetParam().folder;
        const size_t at = folder.find("%u");
        if (at != std::string::npos)
            folder.replace(at, 2, std::to_string(::getuid()));
        struct stat st {};
        const std::filesystem::path of = GetParam().ownPrefix ? m_prefix : m_scratch.path();
        ASSERT_EQ(::stat(of.c_str(), &st), 0);
        char name[64];
        std::snprintf(name, sizeof name, "server-%llx-%llx", static_cast<unsigned long long>(st.st_dev),
            static_cast<unsigned long long>(st.st_ino));
        const std::filesystem::path serverFolder = m_tmp / folder / name;
        std::filesystem::create_directories(serverFolder);
        m_lockFile = serverFolder / "lock";
        m_fd = ::open(m_lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        ASSERT_GE(m_fd, 0);
        if (GetParam().locked)
            lock(F_WRLCK);
    }
    void TearDown() override
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }

    // An open-file-description lock conflicts with the record lock test even inside
    // this process, so the test can stand in for the server.
    void lock(short type)
    {
        struct flock request {};
        request.l_type = type;
        request.l_whence = SEEK_SET;
        request.l_start = 0;
        request.l_len = 1;
        ASSERT_EQ(::fcntl(m_fd, F_OFD_SETLK, &request), 0);
    }

    std::filesystem::path m_lockFile;
    int m_fd = -1;
};

TEST_P(WineServer, RefusesWritesWhileItRuns)
{
    auto registry = openRegistry();
    const std::string reason = registry->readOnlyReason(RegRoot::CurrentUser);
    if (!GetParam().refused) {
        EXPECT_EQ(reason, "");
        EXPECT_TRUE(registry->createKey(RegRoot::CurrentUser, "Software\\Acme"));
        return;
    }
    EXPECT_NE(reason.find("Wine server is running"), std::string::npos) << reason;
    EXPECT_NE(reason.find(m_prefix.string()), std::string::npos) << reason;
    EXPECT_FALSE(registry->createKey(RegRoot::CurrentUser, "Software\\Acme"));
    EXPECT_FALSE(std::filesystem::exists(userReg()));

    // Once the server is gone, the same registry writes again.
    lock(F_UNLCK);
    EXPECT_EQ(registry->readOnlyReason(RegRoot::CurrentUser), "");
    EXPECT_TRUE(registry->createKey(RegRoot::CurrentUser, "Software\\Acme"));
}

INSTANTIATE_TEST_SUITE_P(Table, WineServer, testing::Values(
    ServerCase{"UpstreamFolder", ".wine-%u", true, true, true},
    ServerCase{"DebianFolder", "wine-Ab12Cd", true, true, true},
    ServerCase{"LockFileWithoutServer", ".wine-%u", true, false, false},
    ServerCase{"ServerOfAnotherPrefix", ".wine-%u", false, true, false},
    ServerCase{"FolderOfAnotherName", "other-Ab12Cd", true, true, false}),
    [](const testing::TestParamInfo<ServerCase>& info) { return std::string(info.param.name); });

class RunningServer : public test::RegistryTest {};

TEST_F(RunningServer, WriteThroughAnOpenKeySaysSo)
{
    auto registry = openRegistry();
    auto key = registry->createKey(RegRoot::CurrentUser, "Software\\Acme");
    ASSERT_TRUE(key);
    struct stat st {};
    ASSERT_EQ(::stat(m_prefix.c_str(), &st), 0);
    char name[64];
    std::snprintf(name, sizeof name, "server-%llx-%llx", static_cast<unsigned long long>(st.st_dev),
        static_cast<unsigned long long>(st.st_ino));
    const std::filesystem::path folder = m_tmp / ("wine-" + std::string("XyZ123")) / name;
    std::filesystem::create_directories(folder);
    const int fd = ::open((folder / "lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    ASSERT_GE(fd, 0);
    struct flock request {};
    request.l_type = F_WRLCK;
    request.l_whence = SEEK_SET;
    request.l_len = 1;
    ASSERT_EQ(::fcntl(fd, F_OFD_SETLK, &request), 0);
    const std::string before = test::fileBytes(userReg());

    const auto error = platformErrorOf([&] { key->writeInteger("Remove method", 2); });
    ::close(fd);
    ASSERT_TRUE(error);
    EXPECT_STREQ(error->what(), "Failed to set data for 'Remove method'");
    EXPECT_NE(error->detail().find("Wine server is running"), std::string::npos) << error->detail();
    EXPECT_EQ(test::fileBytes(userReg()), before);
}

} // namespace
} // namespace tw
