#include "ui/drivecleanerpanel.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

#include "cleaner/drivecleaner.h"
#include "ui/checklistmodel.h"
#include "ui/checklistview.h"
#include "ui/handlerguard.h"
#include "ui/panelheader.h"

namespace tw {

DriveCleanerPanel::DriveCleanerPanel(DriveCleaner& tool, QWidget* parent) : QWidget(parent), m_tool(tool)
{
    setObjectName("pnlDC");

    m_driveModel = new CheckListModel(m_tool.lvDCDrive(), this);
    m_resultModel = new CheckListModel(m_tool.lvDCResult(), this);
    m_drives = new QTreeView(this);
    m_drives->setObjectName("lvDCDrive");
    configureCheckListView(*m_drives, *m_driveModel);

    // Every button: the flag of the tool's controls that enables it, its
    // objectName, caption, hint and handler.
    struct ButtonEntry {
        bool DriveCleanerControls::*state;
        const char* name;
        const char* caption;
        const char* hint;
        void (DriveCleaner::*handler)();
    };
    using C = DriveCleanerControls;
    using T = DriveCleaner;
    const ButtonEntry pathEntries[] = {
        {&C::btnDCAddPath, "btnDCAddPath", "Add", "Add path", &T::btnDCAddPathClick},
        {&C::btnDCRemovePath, "btnDCRemovePath", "Remove", "Remove path", &T::btnDCRemovePathClick},
    };
    const ButtonEntry selectionEntries[] = {
        {&C::sBitBtn5, "sBitBtn5", "Select all", "", &T::sBitBtn5Click},
        {&C::sBitBtn6, "sBitBtn6", "Unselect all", "", &T::sBitBtn6Click},
        {&C::sBitBtn7, "sBitBtn7", "Invert selectionl", "", &T::sBitBtn7Click},
    };
    const ButtonEntry searchEntries[] = {
        {&C::btnDCSearch, "btnDCSearch", "Search", "Start search", &T::btnDCSearchClick},
        {&C::btnDCStop, "btnDCStop", "Stop", "Stop search", &T::btnDCStopClick},
        {&C::btnDCDelete, "btnDCDelete", "Delete", "Delete selected", &T::btnDCDeleteClick},
    };
    const ButtonEntry checkEntries[] = {
        {&C::sBitBtn15, "sBitBtn15", "Select All", "Select all items", &T::sBitBtn15Click},
        {&C::sBitBtn16, "sBitBtn16", "Unselect All", "Unselect all items", &T::sBitBtn16Click},
        {&C::sBitBtn17, "sBitBtn17", "Invert All", "Invert all selected items", &T::sBitBtn17Click},
    };
    const auto addButtons = [this](QBoxLayout* layout, const auto& entries) {
        for (const ButtonEntry& entry : entries)
            layout->addWidget(addButton(entry.state, entry.name, entry.caption, entry.hint, entry.handler));
    };

    auto* pathButtons = new QVBoxLayout;
    addButtons(pathButtons, pathEntries);
    pathButtons->addStretch();
    auto* pathRow = new QHBoxLayout;
    pathRow->addWidget(m_drives, 1);
    pathRow->addLayout(pathButtons);

    auto* selectionBox = new QGroupBox(this);
    selectionBox->setObjectName("gbDCSelection");
    auto* selectionButtons = new QHBoxLayout(selectionBox);
    addButtons(selectionButtons, selectionEntries);
    selectionButtons->addStretch();

    // Made after the buttons above it, so that Tab goes from the path list and its
    // buttons to the result list and then to the buttons beside it.
    m_results = new QTreeView(this);
    m_results->setObjectName("lvDCResult");
    configureCheckListView(*m_results, *m_resultModel);
    auto* resultButtons = new QVBoxLayout;
    addButtons(resultButtons, searchEntries);
    resultButtons->addSpacing(12);
    addButtons(resultButtons, checkEntries);
    resultButtons->addStretch();
    auto* resultRow = new QHBoxLayout;
    resultRow->addWidget(m_results, 1);
    resultRow->addLayout(resultButtons);

    m_count = new QLabel(this);
    m_count->setObjectName("lblDCFileCount");
    m_size = new QLabel(this);
    m_size->setObjectName("lblDCFileSize");
    auto* counters = new QHBoxLayout;
    counters->addWidget(new QLabel("Files count:", this));
    counters->addWidget(m_count);
    counters->addSpacing(24);
    counters->addWidget(new QLabel("Files size:", this));
    counters->addWidget(m_size);
    counters->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new PanelHeader("Drive cleaner", "Help you to remove junk files", this));
    layout->addLayout(pathRow, 2);
    layout->addWidget(selectionBox);
    layout->addLayout(resultRow, 3);
    layout->addLayout(counters);

    m_tool.setChangeCallback([this] { refresh(); });
    refresh();
}

DriveCleanerPanel::~DriveCleanerPanel()
{
    m_tool.setChangeCallback(nullptr);
}

QPushButton* DriveCleanerPanel::addButton(bool DriveCleanerControls::*state, const char* name, const QString& caption,
                                          const QString& hint, void (DriveCleaner::*handler)())
{
    auto* button = new QPushButton(caption, this);
    button->setObjectName(name);
    if (!hint.isEmpty())
        button->setToolTip(hint);
    connect(button, &QPushButton::clicked, this, [this, handler] { run(handler); });
    m_buttons.push_back({button, state});
    return button;
}

void DriveCleanerPanel::run(void (DriveCleaner::*handler)())
{
    runHandler(m_tool.host(), [this, handler] { (m_tool.*handler)(); });
}

void DriveCleanerPanel::refresh()
{
    const DriveCleanerControls& controls = m_tool.controls();
    for (const auto& [button, state] : m_buttons)
        button->setEnabled(controls.*state);
    m_drives->setEnabled(controls.lvDCDrive);
    m_results->setEnabled(controls.lvDCResult);
    m_count->setText(QString::fromStdString(m_tool.lblDCFileCount()));
    m_size->setText(QString::fromStdString(m_tool.lblDCFileSize()));
}

} // namespace tw
