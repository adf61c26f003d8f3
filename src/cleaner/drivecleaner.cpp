#include "cleaner/drivecleaner.h"

#include <exception>

#include "common/base/platformerror.h"
#include "common/base/text.h"
#include "common/base/winpath.h"
#include "common/drivelist.h"
#include "common/fs/filesystem.h"
#include "common/host.h"
#include "common/machine/environment.h"
#include "common/mainstate.h"
#include "common/registry/registry.h"
#include "common/removal.h"
#include "common/searchfiles.h"
#include "common/sizetext.h"
#include "config/checksettings.h"
#include "config/configpaths.h"
#include "config/junkmaskline.h"

namespace tw {
namespace {

constexpr std::string_view FolderRowType = "-1";

std::vector<CheckListColumn> driveColumns()
{
    return {
        // The path column stretches but keeps at least its width; the fixed
        // columns fit beside it at the window's default size.
        {"Path", 100, CellAlign::Left, true},
        {"Volume label", 75, CellAlign::Left, false},
        {"File system", 65, CellAlign::Left, false},
        {"Serial number", 85, CellAlign::Left, false},
        {"Total size", 65, CellAlign::Right, false},
        {"Free size", 65, CellAlign::Right, false},
        {"type", 0, CellAlign::Left, false},
    };
}

std::vector<CheckListColumn> resultColumns()
{
    return {
        {"File", 200, CellAlign::Left, true},
        {"Size", 80, CellAlign::Right, false},
        {"real size", 0, CellAlign::Right, false},
    };
}

} // namespace

DriveCleaner::DriveCleaner(Environment& env, Host& host, MainState& state)
    : m_env(env), m_host(host), m_state(state), m_drives(driveColumns()), m_results(resultColumns())
{
    TSearchFiles& searcher = m_state.dcSearcher;
    searcher.OnBeginScanDir = [this](TSearchFiles& sender, const std::string& folder) {
        dcSearcherBeginScanDir(sender, folder);
    };
    searcher.OnFindFile = [this](TSearchFiles& sender, const std::string& path) { dcSearcherFindFile(sender, path); };
    searcher.OnProgress = [this](TSearchFiles& sender) { dcSearcherProgress(sender); };
}

DriveCleaner::~DriveCleaner()
{
    // The searcher belongs to the window and may outlive the tool.
    TSearchFiles& searcher = m_state.dcSearcher;
    searcher.OnBeginScanDir = nullptr;
    searcher.OnFindFile = nullptr;
    searcher.OnProgress = nullptr;
}

std::string DriveCleaner::configFile(std::string_view relative) const
{
    return ConfigPath::configFile(m_state.ProgramFolder, relative);
}

void DriveCleaner::notify()
{
    if (m_changed)
        m_changed();
}

void DriveCleaner::showCounters()
{
    m_countText = decimal(m_fileCount);
    m_sizeText = SizeText(m_fileSizeSum);
    notify();
}

// ---------------------------------------------------------------- path list

void DriveCleaner::sSpeedButton1Click(const std::function<void()>& showPanel)
{
    m_drives.clear();
    for (const TDriveInfo& drive : m_state.drives) {
        // Only fixed drives stay in the list: rows of removable and remote drives
        // would be taken out again at once, so they are not added.
        if (drive.DriveType == DriveType::Removable || drive.DriveType == DriveType::Remote)
            continue;
        m_drives.append(DriveRow(drive), drive.DriveType == DriveType::Fixed ? FixedDriveIcon : -1);
    }
    notify();
    if (showPanel)
        showPanel();
    EnsureUserFolderFile(m_env, m_state.ProgramFolder);
    const auto lines = m_env.fileSystem().ReadLines(configFile(ConfigPath::UserFolderFile));
    if (lines) {
        for (const std::string& line : *lines)
            m_drives.append(FolderRow(line), FolderIcon);
    }
    notify();
}

void DriveCleaner::btnDCAddPathClick()
{
    if (!m_controls.btnDCAddPath)
        return;
    const std::optional<std::string> picked = m_host.pickFolder("Select a folder to search");
    if (!picked)
        return;
    // The row stays for this run even when the file cannot be written below.
    m_drives.append(FolderRow(*picked), FolderIcon);
    notify();

    const std::string file = configFile(ConfigPath::UserFolderFile);
    std::vector<std::string> lines;
    if (m_env.fileSystem().FileExists(file)) {
        std::optional<std::vector<std::string>> stored = m_env.fileSystem().ReadLines(file);
        // Writing the one new line over a file that could not be read would lose the folders in it.
        if (!stored)
            throw PlatformError("Unable to read " + file);
        lines = std::move(*stored);
    }
    lines.push_back(*picked);
    if (!m_env.fileSystem().WriteLines(file, lines))
        throw PlatformError("Unable to write to " + file);
}

void DriveCleaner::btnDCRemovePathClick()
{
    if (!m_controls.btnDCRemovePath)
        return;
    EnsureUserFolderFile(m_env, m_state.ProgramFolder);
    const std::optional<size_t> selected = m_drives.selectedRow();
    if (!selected || m_drives.cell(*selected, TypeColumn) != FolderRowType)
        return;
    m_drives.remove(*selected);
    notify();
    rewriteUserFolderFile();
}

void DriveCleaner::rewriteUserFolderFile()
{
    // Only this list's folder rows are written: a folder added elsewhere since the
    // list was filled is dropped from the file.
    std::vector<std::string> lines;
    for (size_t row = 0; row < m_drives.rowCount(); ++row) {
        if (m_drives.cell(row, TypeColumn) == FolderRowType)
            lines.emplace_back(m_drives.cell(row, PathColumn));
    }
    const std::string file = configFile(ConfigPath::UserFolderFile);
    if (!m_env.fileSystem().WriteLines(file, lines))
        throw PlatformError("Unable to write to " + file);
}

// ---------------------------------------------------------------- search

void DriveCleaner::setControlsForSearch(bool running)
{
    m_controls.btnDCAddPath = !running;
    m_controls.btnDCRemovePath = !running;
    m_controls.btnDCSearch = !running;
    m_controls.lvDCDrive = !running;
    m_controls.sBitBtn5 = !running;
    m_controls.sBitBtn6 = !running;
    m_controls.sBitBtn7 = !running;
    m_controls.btnDCStop = running;
    m_controls.btnDCDelete = running ? false : !m_results.empty();
    m_drives.setEnabled(!running);
    m_host.setNavigationEnabled(!running);
    notify();
}

namespace {

// The lines of a list file, upper-cased, without empty lines (an empty line
// excludes nothing); empty when the file does not exist or cannot be read.
std::vector<std::string> loadUpperCasedList(const FileSystem& fileSystem, const std::string& file)
{
    std::vector<std::string> entries;
    if (!fileSystem.FileExists(file))
        return entries;
    for (const std::string& line : fileSystem.ReadLines(file).value_or(std::vector<std::string>())) {
        if (!line.empty())
            entries.push_back(upperCase(line));
    }
    return entries;
}

// GetScanExcludedFolder, read for one found file. That function first makes sure
// that the config folders exist, five folder look-ups that would cost a junk
// search over a large tree more than the rest of the per-file work together and
// that change nothing the search skips; so while the settings key exists its
// values are read directly, and only a missing key goes the full way.
std::string scanExcludedFolder(Environment& env, std::string_view programFolder)
{
    if (std::optional<std::string> folder = ReadScanExcludedFolder(env))
        return *folder;
    return GetScanExcludedFolder(env, programFolder);
}

} // namespace

void DriveCleaner::btnDCSearchClick()
{
    if (!m_controls.btnDCSearch || m_searching)
        return;
    m_searching = true;
    setControlsForSearch(true);

    m_fileCount = 0;
    m_fileSizeSum = 0;
    m_countText = "0";
    m_sizeText = "0";
    notify();
    m_state.SearchStopped = false;
    m_results.clear();

    // From here on the panel is unlocked again whatever happens, also after an
    // error, which then goes on to the caller's error box.
    try {
        const FileSystem& fileSystem = m_env.fileSystem();
        m_fileExceptions = loadUpperCasedList(fileSystem, configFile(ConfigPath::FileExceptionFile));
        m_folderExceptions = loadUpperCasedList(fileSystem, configFile(ConfigPath::FolderExceptionFile));

        m_host.setAnimationActive(true);
        m_host.setStatusText(StatusPanel::State, "Search for junk file...");
        m_host.repaintStatusBar();

        const std::string maskFile = configFile(ConfigPath::JunkMaskFile);
        if (!fileSystem.FileExists(maskFile))
            EnsureJunkMaskFile(m_env, m_state.ProgramFolder);
        const std::optional<std::vector<std::string>> maskLines = fileSystem.ReadLines(maskFile);
        // An unreadable wildcard file must not turn into an empty wildcard list,
        // which would list every file as junk.
        if (!maskLines)
            throw PlatformError("Unable to read " + maskFile);

        // An active line with an empty wildcard stays as an empty wildcard, which
        // matches no file, so a file of only such lines never lists every file.
        m_state.dcSearcher.FileParams.FileMasks = ActiveJunkMasks(*maskLines);

        for (size_t row = 0; row < m_drives.rowCount(); ++row) {
            if (m_state.SearchStopped || !m_drives.checked(row))
                continue;
            m_state.dcSearcher.RootDirectory = std::string(trim(m_drives.cell(row, PathColumn)));
            m_state.dcSearcher.RunSearch();
        }
    } catch (...) {
        finishSearch();
        // The search has ended: the busy animation and the folder text would
        // otherwise stay as if it still ran.
        m_host.setStatusText(StatusPanel::Details, "");
        m_host.setAnimationActive(false);
        m_host.repaintStatusBar();
        throw;
    }
    finishSearch();

    m_host.setStatusText(StatusPanel::State, m_state.SearchStopped ? "Canceled by user" : "Search done");
    m_host.setStatusText(StatusPanel::Details, "");
    m_host.setAnimationActive(false);
    m_host.repaintStatusBar();
    if (!m_state.SearchStopped)
        m_host.messageBox(MessageKind::Information, "Complete.", MessageButtons::Ok);
}

void DriveCleaner::finishSearch()
{
    m_fileExceptions = {};
    m_folderExceptions = {};
    m_searching = false;
    setControlsForSearch(false);
}

void DriveCleaner::btnDCStopClick()
{
    if (!m_controls.btnDCStop || !m_searching)
        return;
    m_host.setAnimationActive(false);
    m_state.SearchStopped = true;
    m_state.dcSearcher.AbortSearch();
}

void DriveCleaner::dcSearcherBeginScanDir(TSearchFiles&, const std::string& folder)
{
    m_host.setStatusText(StatusPanel::Details, "Searching in " + folder + "...");
}

void DriveCleaner::dcSearcherProgress(TSearchFiles&)
{
    m_host.pumpEvents();
}

void DriveCleaner::dcSearcherFindFile(TSearchFiles& sender, const std::string& path)
{
    const std::string_view name = ExtractFileName(path);
    if (!m_fileExceptions.empty()) {
        const std::string upperName = upperCase(name);
        for (const std::string& entry : m_fileExceptions) {
            if (entry == upperName)
                return;
        }
    }
    if (!m_folderExceptions.empty()) {
        const std::string upperPath = upperCase(path);
        for (const std::string& entry : m_folderExceptions) {
            if (upperPath.find(entry) != std::string::npos)
                return;
        }
    }
    // Read for every file, so that a change of the removal settings made during
    // the search applies to the files found after it.
    const std::string excluded = scanExcludedFolder(m_env, m_state.ProgramFolder);
    if (!excluded.empty() && equalsIgnoreCase(excluded, ExtractFileDir(path)))
        return;

    // Sizes are held as 64-bit numbers throughout, so files of 4 GiB and more
    // and sums beyond 2 GiB are listed, counted and subtracted exactly.
    const int64_t size = static_cast<int64_t>(sender.FindData.size);
    m_results.append({path, SizeText(size), decimal(size)});
    ++m_fileCount;
    m_fileSizeSum += size;
    showCounters();
}

// ---------------------------------------------------------------- results

void DriveCleaner::sBitBtn5Click()
{
    if (m_controls.sBitBtn5)
        m_results.selectAll();
}

void DriveCleaner::sBitBtn6Click()
{
    if (m_controls.sBitBtn6)
        m_results.unselectAll();
}

void DriveCleaner::sBitBtn7Click()
{
    if (m_controls.sBitBtn7)
        m_results.invertAll();
}

void DriveCleaner::sBitBtn15Click()
{
    if (m_controls.sBitBtn15)
        m_results.selectAll();
}

void DriveCleaner::sBitBtn16Click()
{
    if (m_controls.sBitBtn16)
        m_results.unselectAll();
}

void DriveCleaner::sBitBtn17Click()
{
    if (m_controls.sBitBtn17)
        m_results.invertAll();
}

// ---------------------------------------------------------------- deletion

void DriveCleaner::lockResultsForDeletion(bool locked)
{
    // Deletion walks the result list by index while it lets window messages run,
    // so nothing else may add, remove, check or uncheck rows meanwhile: the
    // commands that change the list are disabled (their handlers then do nothing)
    // and the list itself takes no clicks. Everything else stays usable.
    m_deleting = locked;
    if (locked) {
        m_beforeDeletion = m_controls;
        m_controls.btnDCSearch = false;
        m_controls.btnDCDelete = false;
        m_controls.sBitBtn5 = m_controls.sBitBtn6 = m_controls.sBitBtn7 = false;
        m_controls.sBitBtn15 = m_controls.sBitBtn16 = m_controls.sBitBtn17 = false;
        m_controls.lvDCResult = false;
    } else {
        m_controls = m_beforeDeletion;
    }
    m_results.setEnabled(m_controls.lvDCResult);
    notify();
}

namespace {

// Unlocks the result list when the deletion ends, also by an exception.
class DeletionLock {
public:
    explicit DeletionLock(std::function<void(bool)> lock) : m_lock(std::move(lock)) { m_lock(true); }
    ~DeletionLock() { m_lock(false); }
    DeletionLock(const DeletionLock&) = delete;
    DeletionLock& operator=(const DeletionLock&) = delete;

private:
    std::function<void(bool)> m_lock;
};

} // namespace

void DriveCleaner::btnDCDeleteClick()
{
    if (!m_controls.btnDCDelete || m_deleting || m_searching)
        return;
    if (m_host.messageBox(MessageKind::Confirmation, "Delete files?", MessageButtons::YesNo) != MessageAnswer::Yes)
        return;
    // A settings key without "Remove method" ends the command here, before any file is touched.
    const int32_t method = GetRemoveMethod(m_env, m_state.ProgramFolder);
    m_host.pumpEvents();
    const std::string folder = GetRemoveFolder(m_env, m_state.ProgramFolder);

    {
        const DeletionLock lock([this](bool locked) { lockResultsForDeletion(locked); });
        // From the last row to the first, so that removing a row does not move the rows still to come.
        for (size_t row = m_results.rowCount(); row-- > 0;) {
            if (!m_results.checked(row))
                continue;
            try {
                m_host.pumpEvents();
                EnsureConfigFolders(m_env, m_state.ProgramFolder);
                const std::string path(m_results.cell(row, FileColumn));
                if (!RunFileOperation(m_env, path, folder, method))
                    continue;
                m_host.pumpEvents();
                // The cell holds the 64-bit size this list wrote; a file that is gone
                // leaves the list even if the cell were unreadable.
                int64_t size = 0;
                if (!parseInt64(m_results.cell(row, RealSizeColumn), size))
                    size = 0;
                --m_fileCount;
                m_fileSizeSum -= size;
                showCounters();
                m_results.remove(row);
            } catch (const std::exception&) {
                // One file's failure keeps its row; the loop goes on with the next.
            }
        }
    }

    m_host.messageBox(MessageKind::Information,
                      m_results.empty() ? "Complete." : "Complete. Some files can not be deleted.",
                      MessageButtons::Ok);
}

} // namespace tw
