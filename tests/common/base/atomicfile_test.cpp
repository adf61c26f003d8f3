#include "common/base/atomicfile.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tw {
namespace {

namespace fs = std::filesystem;

class AtomicFile : public testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/tidewick-atomic-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        m_folder = pattern;
    }
    void TearDown() override
    {
        fs::permissions(m_folder, fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(m_folder);
    }
    fs::path m_folder;
};

TEST_F(AtomicFile, ReplacesContentAndKeepsMode)
{
    const fs::path file = m_folder / "a.ini";
    ASSERT_TRUE(writeFileAtomically(file, "old"));
    ::chmod(file.c_str(), 0640);
    ASSERT_TRUE(writeFileAtomically(file, "new\r\n"));
    std::string bytes;
    ASSERT_TRUE(readWholeFile(file, bytes));
    EXPECT_EQ(bytes, "new\r\n");
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    // No temporary file is left behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(m_folder), fs::directory_iterator()), 1);
}

TEST_F(AtomicFile, FailedWriteLeavesTheOldFile)
{
    const fs::path file = m_folder / "a.ini";
    ASSERT_TRUE(writeFileAtomically(file, "old"));
    // A file-size limit makes the write of the new content fail, also for root.
    struct rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 4;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    std::string error;
    const bool written = writeFileAtomically(file, "new and longer", &error);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(written);
    EXPECT_NE(error.find("cannot write"), std::string::npos) << error;
    std::string bytes;
    ASSERT_TRUE(readWholeFile(file, bytes));
    EXPECT_EQ(bytes, "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(m_folder), fs::directory_iterator()), 1)
        << "the temporary file is removed";
}

TEST_F(AtomicFile, TargetThatIsAFolderIsNotReplaced)
{
    const fs::path target = m_folder / "sub";
    fs::create_directory(target);
    fs::create_directory(target / "inner");
    std::string error;
    EXPECT_FALSE(writeFileAtomically(target, "x", &error));
    EXPECT_TRUE(fs::is_directory(target / "inner"));
    EXPECT_EQ(std::distance(fs::directory_iterator(m_folder), fs::directory_iterator()), 1);
}

} // namespace
} // namespace tw
