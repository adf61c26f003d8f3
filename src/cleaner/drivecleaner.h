#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "common/checklist.h"

// The drive cleaner: a path list of fixed drives and user folders, a search of the
// checked paths for files matching the active junk wildcards, and deletion of the
// checked findings by the stored removal method. This class holds the panel's
// state as plain data and implements its handlers; the panel only shows it.
namespace tw {

class Environment;
class Host;
class TSearchFiles;
struct MainState;

// Which controls of the panel can be used.
struct DriveCleanerControls {
    bool btnDCAddPath = true;
    bool btnDCRemovePath = true;
    bool btnDCSearch = true;
    bool btnDCStop = false;
    bool btnDCDelete = false;
    bool lvDCDrive = true;
    // "Select all", "Unselect all", "Invert selectionl": usable once a search ended.
    bool sBitBtn5 = false;
    bool sBitBtn6 = false;
    bool sBitBtn7 = false;
    // "Select All", "Unselect All", "Invert All" beside the result list.
    bool sBitBtn15 = true;
    bool sBitBtn16 = true;
    bool sBitBtn17 = true;
    // The result list takes check-mark clicks; off only while a deletion walks it.
    bool lvDCResult = true;

    bool operator==(const DriveCleanerControls&) const = default;
};

class DriveCleaner {
public:
    // Columns of the path list.
    enum DriveColumn { PathColumn, LabelColumn, FileSystemColumn, SerialColumn, TotalColumn, FreeColumn, TypeColumn };
    // Columns of the result list.
    enum ResultColumn { FileColumn, SizeColumn, RealSizeColumn };
    // Icons of the path list rows.
    enum PathIcon { FixedDriveIcon = 0, FolderIcon = 1 };

    // The tool over one machine, one window and the window's shared state; it
    // installs itself as the handler of the junk searcher's events.
    DriveCleaner(Environment& env, Host& host, MainState& state);
    ~DriveCleaner();
    DriveCleaner(const DriveCleaner&) = delete;
    DriveCleaner& operator=(const DriveCleaner&) = delete;

    // The window the tool reports to (the panel runs the handlers through it).
    Host& host() { return m_host; }

    // --- state shown by the panel ---
    CheckList& lvDCDrive() { return m_drives; }
    CheckList& lvDCResult() { return m_results; }
    const CheckList& lvDCDrive() const { return m_drives; }
    const CheckList& lvDCResult() const { return m_results; }
    const DriveCleanerControls& controls() const { return m_controls; }
    // Texts of the counter labels.
    const std::string& lblDCFileCount() const { return m_countText; }
    const std::string& lblDCFileSize() const { return m_sizeText; }
    // Number of listed files and the sum of their sizes in bytes.
    int64_t fileCount() const { return m_fileCount; }
    int64_t fileSizeSum() const { return m_fileSizeSum; }
    // True while "Search" runs.
    bool searching() const { return m_searching; }
    // True while "Delete" walks the result list.
    bool deleting() const { return m_deleting; }
    // Called after every change of the controls' states or the counter labels.
    void setChangeCallback(std::function<void()> callback) { m_changed = std::move(callback); }

    // --- handlers ---
    // The handler of a disabled control does nothing, so a click that was queued
    // before the control was disabled (during a search or a deletion) cannot act.
    // "Disk clean": refills the path list with the fixed drives, runs showPanel
    // (the window shows the panel there), then lists the user folders.
    void sSpeedButton1Click(const std::function<void()>& showPanel = {});
    // "Add": picks a folder, lists it and appends it to the user folder file.
    void btnDCAddPathClick();
    // "Remove": removes the selected user folder and rewrites the user folder file.
    void btnDCRemovePathClick();
    // "Search": lists the junk files below every checked path. A platform error
    // ends it after the panel was unlocked and is thrown on to the caller.
    void btnDCSearchClick();
    // "Stop": ends the running search at its next entry.
    void btnDCStopClick();
    // "Delete": removes the checked files after a question and reports the outcome.
    void btnDCDeleteClick();
    // Check-mark commands of the result list (5..7 below the path list, 15..17 beside the results).
    void sBitBtn5Click();
    void sBitBtn6Click();
    void sBitBtn7Click();
    void sBitBtn15Click();
    void sBitBtn16Click();
    void sBitBtn17Click();

    // --- events of dcSearcher ---
    void dcSearcherBeginScanDir(TSearchFiles& sender, const std::string& folder);
    void dcSearcherFindFile(TSearchFiles& sender, const std::string& path);
    void dcSearcherProgress(TSearchFiles& sender);

private:
    void setControlsForSearch(bool running);
    void finishSearch();
    void lockResultsForDeletion(bool locked);
    void showCounters();
    void notify();
    void rewriteUserFolderFile();
    std::string configFile(std::string_view relative) const;

    Environment& m_env;
    Host& m_host;
    MainState& m_state;

    CheckList m_drives;
    CheckList m_results;
    DriveCleanerControls m_controls;
    int64_t m_fileCount = 0;
    int64_t m_fileSizeSum = 0;
    std::string m_countText = "0";
    std::string m_sizeText = "0";
    bool m_searching = false;
    bool m_deleting = false;
    // The controls as they were before a deletion locked the result list.
    DriveCleanerControls m_beforeDeletion;
    std::function<void()> m_changed;

    // Held during one search only: upper-cased file names and folder texts to skip.
    std::vector<std::string> m_fileExceptions;
    std::vector<std::string> m_folderExceptions;
};

} // namespace tw
