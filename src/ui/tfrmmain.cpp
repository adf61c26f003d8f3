#include "ui/tfrmmain.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QScreen>
#include <QStackedWidget>
#include <QToolBox>
#include <QToolButton>
#include <QVBoxLayout>

#include "common/base/platformerror.h"
#include "common/drivelist.h"
#include "common/knownfolders.h"
#include "common/machine/environment.h"
#include "common/registry/registry.h"
#include "common/shell/shell.h"
#include "config/checksettings.h"
#include "ui/artwork.h"
#include "ui/drivecleanerpanel.h"
#include "ui/emptytoolpanel.h"
#include "ui/handlerguard.h"
#include "ui/mainstatusbar.h"
#include "ui/navigationsection.h"
#include "ui/tfrmabout1.h"
#include "ui/tfrmsettings.h"

namespace tw {
namespace {

constexpr int HeaderHeight = 41;
constexpr int NavigationWidth = 131;
// The skin asked for when the settings key does not exist yet (first start).
constexpr const char* FirstStartSkin = "opus.asz";
constexpr const char* HelpFile = "\\Tidewick.chm";
constexpr int CloseRetryMilliseconds = 25;

QString versionText()
{
    return QString::fromStdString(Shell::FileVersion());
}

} // namespace

TfrmMain::TfrmMain(Environment& env, std::string programFolder, QWidget* parent)
    : QMainWindow(parent),
      m_env(env),
      m_state(env.fileSystem()),
      m_host(*this, env.fileSystem()),
      m_skins(env.fileSystem()),
      m_driveCleaner(env, m_host, m_state),
      m_openDocument([this](std::string_view path) { return m_env.shell().ShellExecuteOpen(path); })
{
    setObjectName("frmMain");
    m_state.ProgramFolder = std::move(programFolder);
    m_closeRetry.setSingleShot(true);
    m_closeRetry.setInterval(CloseRetryMilliseconds);
    connect(&m_closeRetry, &QTimer::timeout, this, &TfrmMain::retryClose);

    setWindowIcon(programIcon());
    setWindowTitle("Brindlewharf Tidewick");
    // The design's font; dialogs opened from the window take it too.
    setFont(QFont("Tahoma", 8));
    setAttribute(Qt::WA_WindowPropagation);

    auto* client = new QWidget(this);
    auto* column = new QVBoxLayout(client);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(buildHeader());
    auto* row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    m_panels = buildPanels();
    m_barMenu = buildNavigation();
    row->addWidget(m_barMenu);
    row->addWidget(m_panels, 1);
    column->addLayout(row, 1);
    setCentralWidget(client);

    m_statusBar = new MainStatusBar(this);
    setStatusBar(m_statusBar);
    m_host.setStatusBar(m_statusBar);
    m_host.setNavigationBar(m_barMenu);

    FormCreate();
}

TfrmMain::~TfrmMain()
{
    // The panels show lists of the tools, which are members: the panels go first.
    delete takeCentralWidget();
}

void TfrmMain::FormCreate()
{
    LoadKnownFolders(m_env, m_state.knownFolders);
    // ProgramFolder was fixed by the caller from the executable's folder.
    applyStoredSkin();
    try {
        EnsureSettingsKey(m_env, m_state.ProgramFolder);
    } catch (const PlatformError& error) {
        // The window comes up all the same; the reason is shown once it is visible.
        m_creationError = error.message();
    }
    m_state.SearchStopped = false;
    setMinimumSize(600, 545);
    resize(700, 600);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    setWindowTitle("Brindlewharf Tidewick " + versionText());
}

void TfrmMain::applyStoredSkin()
{
    std::string skin = FirstStartSkin;
    if (const std::optional<RegKey> key = m_env.registry().openKey(RegRoot::CurrentUser, SettingsKey)) {
        try {
            skin = key->readString("Skin name");
        } catch (const PlatformError&) {
            // A value of another type names no skin; the plain look is used.
            skin.clear();
        }
    }
    m_skins.setSkinFolder(m_state.ProgramFolder + "\\Skins");
    // An unknown skin (such as the first start's) leaves the plain look.
    if (!m_skins.applySkin(skin))
        m_skins.applySkin(SkinEngine::DefaultSkin);
}

QWidget* TfrmMain::buildHeader()
{
    auto* header = new QFrame(this);
    header->setObjectName("pnlHeader");
    header->setFixedHeight(HeaderHeight);
    header->setAutoFillBackground(true);
    header->setBackgroundRole(QPalette::Base);

    auto* icon = new QLabel(header);
    icon->setObjectName("imgIcon");
    icon->setPixmap(programIcon().pixmap(32, 32));
    auto* title = new QLabel("Brindlewharf Tidewick", header);
    title->setObjectName("lblTitle");
    QFont bold = title->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.3);
    title->setFont(bold);

    auto* layout = new QHBoxLayout(header);
    layout->setContentsMargins(6, 2, 6, 2);
    layout->addWidget(icon);
    layout->addWidget(title);
    layout->addStretch(1);

    struct HeaderButton {
        const char* name;
        const char* caption;
        void (TfrmMain::*handler)();
    };
    const HeaderButton buttons[] = {
        {"btnSettings", "Settings", &TfrmMain::btnSettingsClick},
        {"btnAbout", "About", &TfrmMain::btnAboutClick},
        {"btnHelp", "Help", &TfrmMain::btnHelpClick},
        {"btnExit", "Exit", &TfrmMain::btnExitClick},
    };
    for (const HeaderButton& entry : buttons) {
        auto* button = new QToolButton(header);
        button->setObjectName(entry.name);
        button->setText(entry.caption);
        button->setAutoRaise(true);
        const auto handler = entry.handler;
        connect(button, &QToolButton::clicked, this, [this, handler] { runHandler(m_host, [this, handler] { (this->*handler)(); }); });
        layout->addWidget(button);
    }
    return header;
}

QStackedWidget* TfrmMain::buildPanels()
{
    auto* panels = new QStackedWidget(this);
    panels->setObjectName("pnlClient");
    return panels;
}

QToolBox* TfrmMain::buildNavigation()
{
    auto* bar = new QToolBox(this);
    bar->setObjectName("barMenu");
    bar->setFixedWidth(NavigationWidth);

    using Down = NavigationSection::DownState;
    m_cleaners = new NavigationSection("frmCleaners", Down::Kept, bar);
    m_system = new NavigationSection("frmSystem", Down::Kept, bar);
    m_files = new NavigationSection("frmFile", Down::None, bar);
    bar->addItem(m_cleaners, "Cleaners");
    bar->addItem(m_system, "System");
    // The doubled ampersand shows as one.
    bar->addItem(m_files, "Files&&Folders");

    auto* driveCleanerPanel = new DriveCleanerPanel(m_driveCleaner, m_panels);
    driveCleanerPanel->setObjectName("pnlDC");
    auto empty = [this](const char* name, const char* title, const char* description) {
        return new EmptyToolPanel(name, title, description, m_panels);
    };

    // Buttons from top to bottom; the Cleaners frame numbers its handlers
    // 1 Disk, 2 System, 3 Duplicate, 4 Internet, 5 Registry.
    // The drive rows are listed before the panel shows, the user folders after it.
    m_diskClean = addTool(m_cleaners, "sSpeedButton1", "Disk clean", toolIcon(ToolGlyph::DiskClean),
                          driveCleanerPanel, [this](const std::function<void()>& showPanel) {
                              m_driveCleaner.sSpeedButton1Click(showPanel);
                          });
    addTool(m_cleaners, "sSpeedButton2", "System clean", toolIcon(ToolGlyph::SystemClean),
            empty("pnlOC", "Other clean", "Help you to delete files from special folders"));
    addTool(m_cleaners, "sSpeedButton4", "Internet clean", toolIcon(ToolGlyph::InternetClean),
            empty("pnlInternetClean", "Internet clean", "Help you to delete temp Internet files"));
    addTool(m_cleaners, "sSpeedButton3", "Duplicate clean", toolIcon(ToolGlyph::DuplicateClean),
            empty("pnlDF", "Duplicate finder", "Help you to find duplicate of files"));
    addTool(m_cleaners, "sSpeedButton5", "Registry clean", toolIcon(ToolGlyph::RegistryClean),
            empty("RegCleaner", "Registry clean", "Help you to clean Windows Registry"),
            [this](const std::function<void()>& showPanel) {
                showPanel();
                m_host.setStatusText(StatusPanel::Details, "");
            });

    addTool(m_system, "sSpeedButton1", "Startup manager", toolIcon(ToolGlyph::StartupManager),
            empty("pnlSU", "Startup manager", "Help you to manage program, which started at Windows start"));
    addTool(m_system, "sSpeedButton2", "Uninstaller", toolIcon(ToolGlyph::Uninstaller),
            empty("pnlUI", "Uninstall software", "Help you to uninstall software"));
    addTool(m_system, "sSpeedButton3", "Shortcut doctor", toolIcon(ToolGlyph::ShortcutDoctor),
            empty("pnlSD", "Shortcut doctor", "Help you to find and repair broken shortcuts"));

    addTool(m_files, "sSpeedButton1", "File attribute", toolIcon(ToolGlyph::FileAttribute),
            empty("pnlAM", "Attribute manager", "Help you to change file and folder attribute"));
    addTool(m_files, "sSpeedButton2", "File wiper", toolIcon(ToolGlyph::FileWiper),
            empty("pnlFW", "File wiper", "Help you to securely wipe file"));
    return bar;
}

TfrmMain::Tool TfrmMain::addTool(NavigationSection* section, const char* buttonName, const QString& caption,
                                 QIcon icon, QWidget* panel, ToolWork work)
{
    m_panels->addWidget(panel);
    QToolButton* button = section->addButton(buttonName, caption, icon);
    const Tool tool{section, button, panel, std::move(work)};
    connect(button, &QToolButton::clicked, this, [this, tool] { runHandler(m_host, [&] { chooseTool(tool); }); });
    return tool;
}

void TfrmMain::chooseTool(const Tool& tool)
{
    tool.section->setDown(tool.button);
    const auto showPanel = [this, &tool] { m_panels->setCurrentWidget(tool.panel); };
    if (tool.work)
        tool.work(showPanel);
    else
        showPanel();
}

void TfrmMain::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (m_shownOnce)
        return;
    m_shownOnce = true;
    FormShow();
}

void TfrmMain::FormShow()
{
    BuildDriveList(m_env.fileSystem(), m_state.drives);
    runHandler(m_host, [this] { chooseTool(m_diskClean); });
    m_barMenu->setCurrentWidget(m_cleaners);
    m_cleaners->setDown(m_diskClean.button);
    if (!m_creationError.empty()) {
        const std::string text = std::exchange(m_creationError, {});
        m_host.messageBox(MessageKind::Error, text, MessageButtons::Ok);
    }
}

bool TfrmMain::busy() const
{
    return runningHandlers() > 0 || m_driveCleaner.searching() || m_driveCleaner.deleting();
}

void TfrmMain::closeEvent(QCloseEvent* event)
{
    // Closing in the middle of a handler would pull the window from under it:
    // the running search is stopped, and the window closes once the handler
    // has returned (a deletion runs to its end first, so nothing is half done).
    if (busy()) {
        event->ignore();
        m_closeRequested = true;
        if (m_driveCleaner.searching())
            m_driveCleaner.btnDCStopClick();
        m_closeRetry.start();
        return;
    }
    m_closeRequested = false;
    FormClose();
    QMainWindow::closeEvent(event);
}

void TfrmMain::retryClose()
{
    if (!m_closeRequested)
        return;
    if (busy()) {
        m_closeRetry.start();
        return;
    }
    close();
}

void TfrmMain::FormClose()
{
    m_state.drives.clear();
    m_state.drives.shrink_to_fit();
}

void TfrmMain::btnSettingsClick()
{
    TfrmSettings dialog(this);
    dialog.exec();
}

void TfrmMain::btnAboutClick()
{
    TfrmAbout1 dialog(versionText(), this);
    dialog.exec();
}

void TfrmMain::btnHelpClick()
{
    const std::string help = m_state.ProgramFolder + HelpFile;
    if (m_env.fileSystem().FileExists(help))
        m_openDocument(help);
}

void TfrmMain::btnExitClick()
{
    // Queued, so that the click's own handler has ended when the window closes.
    QMetaObject::invokeMethod(this, &TfrmMain::close, Qt::QueuedConnection);
}

} // namespace tw
