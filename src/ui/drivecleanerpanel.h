#pragma once

#include <QWidget>

#include <utility>
#include <vector>

class QLabel;
class QPushButton;
class QTreeView;

namespace tw {

class CheckListModel;
class DriveCleaner;
struct DriveCleanerControls;

// The "Drive cleaner" panel (objectName "pnlDC"): lays out the path list, the
// result list, their buttons and the counters, forwards every click to the tool
// and redraws from the tool's state when the tool reports a change.
class DriveCleanerPanel : public QWidget {
    Q_OBJECT
public:
    // The panel over a tool that outlives it.
    explicit DriveCleanerPanel(DriveCleaner& tool, QWidget* parent = nullptr);
    ~DriveCleanerPanel() override;

    // Shows the tool's enabled states and counter texts.
    void refresh();

private:
    // A button with its objectName, caption and hint, enabled by one flag of the tool's controls.
    QPushButton* addButton(bool DriveCleanerControls::*state, const char* name, const QString& caption,
                           const QString& hint, void (DriveCleaner::*handler)());
    // Runs a handler of the tool through the error-box wrapper.
    void run(void (DriveCleaner::*handler)());

    DriveCleaner& m_tool;
    CheckListModel* m_driveModel = nullptr;
    CheckListModel* m_resultModel = nullptr;
    QTreeView* m_drives = nullptr;
    QTreeView* m_results = nullptr;
    QLabel* m_count = nullptr;
    QLabel* m_size = nullptr;
    std::vector<std::pair<QPushButton*, bool DriveCleanerControls::*>> m_buttons;
};

} // namespace tw
