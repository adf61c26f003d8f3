#include "cleaner/drivecleanerfixture.h"

#include "common/base/text.h"
#include "common/drivelist.h"
#include "config/checksettings.h"
#include "config/configpaths.h"

namespace tw::test {

DriveCleanerTest::DriveCleanerTest()
{
    prefix.addDrive('D');
    prefix.makeFolder(ProgramFolder);
    m_state = std::make_unique<MainState>(env().fileSystem());
    m_state->ProgramFolder = std::string(ProgramFolder);
    // What the window does at creation and at its first display.
    EnsureSettingsKey(env(), ProgramFolder);
    BuildDriveList(env().fileSystem(), m_state->drives);
    m_tool = std::make_unique<DriveCleaner>(env(), host, *m_state);
}

DriveCleanerTest::~DriveCleanerTest() = default;

void DriveCleanerTest::file(std::string_view windowsPath, size_t size)
{
    prefix.writeFile(windowsPath, std::string(size, 'x'));
}

void DriveCleanerTest::writeConfig(std::string_view relative, const std::vector<std::string>& lines)
{
    prefix.writeFile(ConfigPath::configFile(ProgramFolder, relative), joinLinesCrLf(lines));
}

std::vector<std::string> DriveCleanerTest::readConfig(std::string_view relative)
{
    return env().fileSystem().ReadLines(ConfigPath::configFile(ProgramFolder, relative)).value_or(std::vector<std::string>());
}

void DriveCleanerTest::useWildcards(const std::vector<std::string>& wildcards)
{
    std::vector<std::string> lines;
    for (const std::string& wildcard : wildcards)
        lines.push_back(wildcard + "=test=true");
    writeConfig(ConfigPath::JunkMaskFile, lines);
}

void DriveCleanerTest::checkPath(std::string_view path)
{
    CheckList& list = tool().lvDCDrive();
    for (size_t row = 0; row < list.rowCount(); ++row) {
        if (list.cell(row, DriveCleaner::PathColumn) == path) {
            list.setChecked(row, true);
            return;
        }
    }
    ADD_FAILURE() << "no path row \"" << path << "\"";
}

void DriveCleanerTest::fillAndCheck(const std::vector<std::string>& paths)
{
    tool().sSpeedButton1Click();
    for (const std::string& path : paths)
        checkPath(path);
}

void DriveCleanerTest::search(const std::vector<std::string>& paths)
{
    fillAndCheck(paths);
    tool().btnDCSearchClick();
}

std::vector<std::string> DriveCleanerTest::results() const
{
    std::vector<std::string> captions;
    const CheckList& list = m_tool->lvDCResult();
    for (size_t row = 0; row < list.rowCount(); ++row)
        captions.emplace_back(list.cell(row, DriveCleaner::FileColumn));
    return captions;
}

size_t DriveCleanerTest::resultRow(std::string_view path) const
{
    const CheckList& list = m_tool->lvDCResult();
    for (size_t row = 0; row < list.rowCount(); ++row) {
        if (list.cell(row, DriveCleaner::FileColumn) == path)
            return row;
    }
    ADD_FAILURE() << "no result row \"" << path << "\"";
    return 0;
}

std::vector<std::string> DriveCleanerTest::paths() const
{
    std::vector<std::string> captions;
    const CheckList& list = m_tool->lvDCDrive();
    for (size_t row = 0; row < list.rowCount(); ++row)
        captions.emplace_back(list.cell(row, DriveCleaner::PathColumn));
    return captions;
}

} // namespace tw::test
