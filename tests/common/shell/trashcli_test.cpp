// trash-cli, an outside reader of the freedesktop.org Trash, must see what we
// trash and be able to restore it.
#include <cstdlib>
#include <fstream>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include "common/shell/trash.h"
#include "support/hostfiles.h"
#include "support/tempprefix.h"

namespace tw {
namespace {

namespace fs = std::filesystem;
using test::readHostFile;

bool toolAvailable(const char* tool)
{
    const std::string command = std::string("command -v ") + tool + " >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

// Runs a shell command line in folder with the test's HOME and XDG_DATA_HOME
// (already in the process environment); its output goes to a file that is returned.
std::string run(const fs::path& folder, const std::string& commandLine, int* status = nullptr)
{
    const fs::path output = folder / "command-output.txt";
    const std::string command = "cd '" + folder.string() + "' && " + commandLine + " >'" + output.string() + "' 2>&1";
    const int result = std::system(command.c_str());
    if (status)
        *status = WIFEXITED(result) ? WEXITSTATUS(result) : -1;
    std::string text = readHostFile(output);
    fs::remove(output);
    return text;
}

class TrashCliTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!toolAvailable("trash-list") || !toolAvailable("trash-restore"))
            GTEST_SKIP() << "trash-cli (trash-list, trash-restore) is not installed: scripts/install-deps.sh installs it";
        fs::create_directories(work);
    }

    test::TempPrefix prefix;
    fs::path work = prefix.root() / "work";
    Trash trash{prefix.homeTrash(), {prefix.root()}};
};

TEST_F(TrashCliTest, TrashListShowsOurItemWithItsDateAndPath)
{
    const fs::path file = work / "odd name %ü.txt";
    std::ofstream(file) << "data";
    ASSERT_TRUE(trash.put(file));

    const std::string listing = run(work, "trash-list");
    // "YYYY-MM-DD hh:mm:ss /original/path", the date taken from our info file.
    const size_t at = listing.find(" " + file.string() + "\n");
    ASSERT_NE(at, std::string::npos) << listing;
    const size_t lineStart = listing.rfind('\n', at) == std::string::npos ? 0 : listing.rfind('\n', at) + 1;
    const std::string date = listing.substr(lineStart, at - lineStart);
    ASSERT_EQ(date.size(), 19u) << listing;
    EXPECT_EQ(date[4], '-');
    EXPECT_EQ(date[10], ' ');
    EXPECT_NE(date.find_first_of("0123456789"), std::string::npos);
    EXPECT_EQ(date.find('?'), std::string::npos) << "trash-list could not read the date: " << listing;
}

TEST_F(TrashCliTest, TrashRestorePutsOurItemBack)
{
    const fs::path file = work / "restore me.txt";
    std::ofstream(file) << "precious";
    fs::create_directories(work / "folder" / "sub");
    std::ofstream(work / "folder" / "sub" / "inner.txt") << "inner";
    ASSERT_TRUE(trash.put(file));
    ASSERT_TRUE(trash.put(work / "folder"));
    ASSERT_FALSE(fs::exists(file));

    // trash-restore asks which item to restore: answer with the first one, twice.
    for (int i = 0; i < 2; ++i) {
        int status = 0;
        const std::string dialog = run(work, "echo 0 | trash-restore '" + work.string() + "'", &status);
        EXPECT_EQ(status, 0) << dialog;
    }
    EXPECT_EQ(readHostFile(file), "precious");
    EXPECT_EQ(readHostFile(work / "folder" / "sub" / "inner.txt"), "inner");
    EXPECT_EQ(trash.itemCount(), 0u);
}

} // namespace
} // namespace tw
