#pragma once

#include <QMainWindow>
#include <QTimer>

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "cleaner/drivecleaner.h"
#include "common/mainstate.h"
#include "ui/qthost.h"
#include "ui/skinengine.h"

class QStackedWidget;
class QToolBox;
class QToolButton;

namespace tw {

class Environment;
class MainStatusBar;
class NavigationSection;

// The main window: the header strip with "Settings", "About", "Help" and "Exit",
// the navigation bar barMenu with its three sections, the ten tool panels (one
// visible at a time) and the status bar sBar. It owns the state the tools share
// and the tools themselves, and is the Host they report to.
class TfrmMain : public QMainWindow {
    Q_OBJECT
public:
    // The window over a machine; programFolder is the Windows path of the
    // executable's folder without trailing backslash. Runs FormCreate.
    TfrmMain(Environment& env, std::string programFolder, QWidget* parent = nullptr);
    ~TfrmMain() override;

    QtHost& host() { return m_host; }
    MainState& state() { return m_state; }
    SkinEngine& skinEngine() { return m_skins; }
    DriveCleaner& driveCleaner() { return m_driveCleaner; }

    // How "Help" opens the help file; the shell's "open" unless replaced.
    void setDocumentOpener(std::function<bool(std::string_view)> opener) { m_openDocument = std::move(opener); }

    // --- handlers of the header buttons ---
    void btnSettingsClick();
    void btnAboutClick();
    void btnHelpClick();
    void btnExitClick();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // A tool's opening work besides showing its panel; it calls showPanel where
    // its order puts the panel's showing.
    using ToolWork = std::function<void(const std::function<void()>& showPanel)>;
    struct Tool {
        NavigationSection* section = nullptr;
        QToolButton* button = nullptr;
        QWidget* panel = nullptr;
        ToolWork work;
    };

    void FormCreate();
    void FormShow();
    void FormClose();

    QWidget* buildHeader();
    QToolBox* buildNavigation();
    QStackedWidget* buildPanels();
    Tool addTool(NavigationSection* section, const char* buttonName, const QString& caption, QIcon icon,
                 QWidget* panel, ToolWork work = {});
    // Sets the down states and does the tool's opening work, which shows its panel
    // alone (a tool without such work shows it at once).
    void chooseTool(const Tool& tool);
    void applyStoredSkin();
    // True while a handler or a long operation of a tool is under way.
    bool busy() const;
    void retryClose();

    Environment& m_env;
    MainState m_state;
    QtHost m_host;
    SkinEngine m_skins;
    DriveCleaner m_driveCleaner;
    std::function<bool(std::string_view)> m_openDocument;

    MainStatusBar* m_statusBar = nullptr;
    QToolBox* m_barMenu = nullptr;
    QStackedWidget* m_panels = nullptr;
    NavigationSection* m_cleaners = nullptr;
    NavigationSection* m_system = nullptr;
    NavigationSection* m_files = nullptr;
    Tool m_diskClean;

    bool m_shownOnce = false;
    bool m_closeRequested = false;
    QTimer m_closeRetry;
    std::string m_creationError;
};

} // namespace tw
