#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "cleaner/drivecleaner.h"
#include "common/mainstate.h"
#include "support/fakehost.h"
#include "support/tempprefix.h"

namespace tw::test {

// A drive cleaner over a throw-away prefix: drive C: holds the program folder
// "C:\Program Files\Tidewick", drive D: is an empty drive for the files a test
// searches, and the window is a FakeHost.
class DriveCleanerTest : public ::testing::Test {
protected:
    static constexpr std::string_view ProgramFolder = "C:\\Program Files\\Tidewick";

    DriveCleanerTest();
    ~DriveCleanerTest() override;

    Environment& env() { return prefix.env(); }
    DriveCleaner& tool() { return *m_tool; }
    MainState& state() { return *m_state; }

    // Creates a file on a Windows path with the given size in bytes (content 'x').
    void file(std::string_view windowsPath, size_t size = 1);
    // Writes a config file of the program folder ("\config\ext.ini") with CR LF lines.
    void writeConfig(std::string_view relative, const std::vector<std::string>& lines);
    // The lines of a config file; empty when it cannot be read.
    std::vector<std::string> readConfig(std::string_view relative);
    // Makes ext.ini hold exactly these wildcards, all active.
    void useWildcards(const std::vector<std::string>& wildcards);

    // Runs "Disk clean" and checks the path rows with these captions.
    void fillAndCheck(const std::vector<std::string>& paths);
    // Checks the path row with this caption (fails when there is none).
    void checkPath(std::string_view path);
    // "Search" with the paths checked; the "Complete." box needs no script.
    void search(const std::vector<std::string>& paths);
    // Captions of the result rows in list order.
    std::vector<std::string> results() const;
    // Index of the result row with this caption (fails when there is none).
    size_t resultRow(std::string_view path) const;
    // Captions of the path rows in list order.
    std::vector<std::string> paths() const;

    TempPrefix prefix;
    FakeHost host;

private:
    std::unique_ptr<MainState> m_state;
    std::unique_ptr<DriveCleaner> m_tool;
};

} // namespace tw::test
