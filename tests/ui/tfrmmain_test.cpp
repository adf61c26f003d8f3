#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>
#include <QTimer>
#include <QToolBox>
#include <QToolButton>

#include <algorithm>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "cleaner/drivecleaner.h"
#include "common/machine/environment.h"
#include "common/registry/registry.h"
#include "common/shell/shell.h"
#include "config/checksettings.h"
#include "support/tempprefix.h"
#include "ui/busyindicator.h"
#include "ui/mainstatusbar.h"
#include "ui/panelheader.h"
#include "ui/tfrmabout1.h"
#include "ui/tfrmmain.h"

using namespace tw;

namespace {

const char* const ProgramFolder = "C:\\Program Files\\Tidewick";

const char* const PanelNames[] = {"pnlDC", "pnlOC", "pnlInternetClean", "RegCleaner", "pnlSU",
                                  "pnlUI", "pnlDF", "pnlSD", "pnlFW", "pnlAM"};

struct Box {
    MessageKind kind;
    std::string text;
    MessageButtons buttons;
};

// The window over a throw-away prefix, its message boxes recorded and answered
// without being shown (a box that offers a choice takes the cautious answer).
struct Setup {
    test::TempPrefix prefix;
    std::vector<Box> boxes;
    std::vector<std::string> opened;
    std::deque<std::filesystem::path> pickedFolders;
    std::unique_ptr<TfrmMain> window;

    Setup() { prefix.makeFolder(ProgramFolder); }
    ~Setup()
    {
        window.reset();
        qApp->setStyleSheet({});
    }

    TfrmMain& open()
    {
        window = std::make_unique<TfrmMain>(prefix.env(), ProgramFolder);
        QtHost::Replacements replacements;
        replacements.messageBox = [this](MessageKind kind, std::string_view text, MessageButtons buttons) {
            boxes.push_back({kind, std::string(text), buttons});
            return buttons == MessageButtons::Ok ? MessageAnswer::Ok
                   : buttons == MessageButtons::OkCancel ? MessageAnswer::Cancel
                                                         : MessageAnswer::No;
        };
        replacements.pickFolder = [this](std::string_view) -> std::optional<std::filesystem::path> {
            if (pickedFolders.empty())
                return std::nullopt;
            auto folder = pickedFolders.front();
            pickedFolders.pop_front();
            return folder;
        };
        window->host().setReplacements(std::move(replacements));
        window->setDocumentOpener([this](std::string_view path) {
            opened.emplace_back(path);
            return true;
        });
        window->show();
        return *window;
    }

    template <typename T = QWidget>
    T* find(const char* name) const
    {
        return window->findChild<T*>(name);
    }
    // A navigation button: its section frame and its objectName within it.
    QToolButton* navigationButton(const char* section, const char* button) const
    {
        QWidget* frame = find(section);
        return frame ? frame->findChild<QToolButton*>(button) : nullptr;
    }
    QStringList visiblePanels() const
    {
        QStringList names;
        for (const char* name : PanelNames)
            if (QWidget* panel = find(name); panel && panel->isVisible())
                names << name;
        return names;
    }
    void checkPathRow(std::string_view caption)
    {
        CheckList& paths = window->driveCleaner().lvDCDrive();
        for (size_t row = 0; row < paths.rowCount(); ++row)
            if (paths.cell(row, 0) == caption)
                paths.setChecked(row, true);
    }
    bool shown(std::string_view text) const
    {
        for (const Box& box : boxes)
            if (box.text == text)
                return true;
        return false;
    }
    // Junk for a search of C:\ long enough to process window messages many times.
    void writeJunk(int files)
    {
        for (int i = 0; i < files; ++i)
            prefix.writeFile("C:\\junk\\file" + std::to_string(i) + ".tmp", "x");
    }
};

// Runs action inside the next modal dialog, once it is up.
void inNextModal(std::function<void(QWidget*)> action)
{
    QTimer::singleShot(0, qApp, [action = std::move(action)] {
        QTRY_VERIFY(QApplication::activeModalWidget() != nullptr);
        action(QApplication::activeModalWidget());
    });
}

} // namespace

class TfrmMainTest : public QObject {
    Q_OBJECT

private slots:
    void firstStartShowsTheDriveCleanerAndCreatesTheSettingsKey()
    {
        Setup setup;
        QVERIFY(!setup.prefix.env().registry().keyExists(RegRoot::CurrentUser, SettingsKey));
        TfrmMain& window = setup.open();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        QVERIFY(!Shell::FileVersion().empty());
        QCOMPARE(window.windowTitle(), QString::fromStdString("Brindlewharf Tidewick " + Shell::FileVersion()));
        QCOMPARE(setup.visiblePanels(), QStringList{"pnlDC"});
        auto* bar = setup.find<QToolBox>("barMenu");
        QCOMPARE(bar->currentWidget()->objectName(), QString("frmCleaners"));
        QVERIFY(setup.navigationButton("frmCleaners", "sSpeedButton1")->isChecked());
        QCOMPARE(setup.navigationButton("frmCleaners", "sSpeedButton1")->text(), QString("Disk clean"));

        // The path list was filled: drive C: of the prefix.
        const CheckList& paths = window.driveCleaner().lvDCDrive();
        QVERIFY(paths.rowCount() >= 1);
        QCOMPARE(QString::fromStdString(std::string(paths.cell(0, 0))), QString("C:\\"));
        QVERIFY(!window.state().drives.empty());

        Registry& registry = setup.prefix.env().registry();
        const std::optional<RegKey> key = registry.openKey(RegRoot::CurrentUser, SettingsKey);
        QVERIFY(key.has_value());
        QCOMPARE(key->readString("Skin name"), std::string("Neutral"));
        QCOMPARE(key->readInteger("Remove method"), 1u);
        QCOMPARE(key->readInteger("Remove scan"), 0u);
        QVERIFY(key->hasValue("Remove folder"));
        QCOMPARE(key->readString("Remove folder"), std::string());
        QCOMPARE(key->readString("DF mode"), std::string("mode 1"));
        QCOMPARE(key->valueCount(), 5u);

        // The first start's skin "opus.asz" is unknown: the plain look.
        QCOMPARE(window.skinEngine().activeSkinName(), std::string("Neutral"));
        QCOMPARE(window.skinEngine().skinFolder(), std::string(ProgramFolder) + "\\Skins");
        QCOMPARE(window.state().ProgramFolder, std::string(ProgramFolder));
        QVERIFY(!window.state().SearchStopped);
        QVERIFY(setup.boxes.empty());
    }

    void theWindowHasItsDesignSizesAndSections()
    {
        Setup setup;
        TfrmMain& window = setup.open();
        QCOMPARE(window.size(), QSize(700, 600));
        QCOMPARE(window.minimumSize(), QSize(600, 545));
        QCOMPARE(setup.find("pnlHeader")->height(), 41);
        QCOMPARE(setup.find("barMenu")->width(), 131);
        auto* bar = setup.find<QToolBox>("barMenu");
        QCOMPARE(bar->count(), 3);
        QCOMPARE(bar->itemText(0), QString("Cleaners"));
        QCOMPARE(bar->itemText(1), QString("System"));
        QCOMPARE(bar->itemText(2), QString("Files&&Folders"));
        const char* const header[] = {"btnSettings", "btnAbout", "btnHelp", "btnExit"};
        const char* const captions[] = {"Settings", "About", "Help", "Exit"};
        int left = -1;
        for (int i = 0; i < 4; ++i) {
            auto* button = setup.find<QToolButton>(header[i]);
            QVERIFY2(button, header[i]);
            QCOMPARE(button->text(), QString(captions[i]));
            // Left to right in this order.
            QVERIFY(button->x() > left);
            left = button->x();
        }
        auto* status = setup.find<MainStatusBar>("sBar");
        QVERIFY(status);
        QCOMPARE(status->panel(0)->width(), 150);
        QCOMPARE(setup.find("sBarPanel1")->width(), 30);
        QVERIFY(setup.find("Anim"));
    }

    void everyPanelStartsWithItsHeader_data()
    {
        QTest::addColumn<QString>("panel");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("description");
        QTest::newRow("pnlDC") << "pnlDC" << "Drive cleaner" << "Help you to remove junk files";
        QTest::newRow("pnlOC") << "pnlOC" << "Other clean" << "Help you to delete files from special folders";
        QTest::newRow("pnlInternetClean") << "pnlInternetClean" << "Internet clean"
                                          << "Help you to delete temp Internet files";
        QTest::newRow("RegCleaner") << "RegCleaner" << "Registry clean" << "Help you to clean Windows Registry";
        QTest::newRow("pnlSU") << "pnlSU" << "Startup manager"
                               << "Help you to manage program, which started at Windows start";
        QTest::newRow("pnlUI") << "pnlUI" << "Uninstall software" << "Help you to uninstall software";
        QTest::newRow("pnlDF") << "pnlDF" << "Duplicate finder" << "Help you to find duplicate of files";
        QTest::newRow("pnlSD") << "pnlSD" << "Shortcut doctor" << "Help you to find and repair broken shortcuts";
        QTest::newRow("pnlFW") << "pnlFW" << "File wiper" << "Help you to securely wipe file";
        QTest::newRow("pnlAM") << "pnlAM" << "Attribute manager" << "Help you to change file and folder attribute";
    }
    void everyPanelStartsWithItsHeader()
    {
        QFETCH(QString, panel);
        QFETCH(QString, title);
        QFETCH(QString, description);
        Setup setup;
        setup.open();
        QWidget* widget = setup.find(panel.toUtf8().constData());
        QVERIFY(widget);
        auto* header = widget->findChild<PanelHeader*>();
        QVERIFY(header);
        QCOMPARE(header->title(), title);
        QCOMPARE(header->description(), description);
    }

    // Each navigation button shows its panel alone and sets the down states of its group.
    void choosingAToolShowsOnlyItsPanel_data()
    {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("panel");
        QTest::newRow("Disk clean") << "frmCleaners" << "sSpeedButton1" << "Disk clean" << "pnlDC";
        QTest::newRow("System clean") << "frmCleaners" << "sSpeedButton2" << "System clean" << "pnlOC";
        QTest::newRow("Internet clean") << "frmCleaners" << "sSpeedButton4" << "Internet clean" << "pnlInternetClean";
        QTest::newRow("Duplicate clean") << "frmCleaners" << "sSpeedButton3" << "Duplicate clean" << "pnlDF";
        QTest::newRow("Registry clean") << "frmCleaners" << "sSpeedButton5" << "Registry clean" << "RegCleaner";
        QTest::newRow("Startup manager") << "frmSystem" << "sSpeedButton1" << "Startup manager" << "pnlSU";
        QTest::newRow("Uninstaller") << "frmSystem" << "sSpeedButton2" << "Uninstaller" << "pnlUI";
        QTest::newRow("Shortcut doctor") << "frmSystem" << "sSpeedButton3" << "Shortcut doctor" << "pnlSD";
        QTest::newRow("File attribute") << "frmFile" << "sSpeedButton1" << "File attribute" << "pnlAM";
        QTest::newRow("File wiper") << "frmFile" << "sSpeedButton2" << "File wiper" << "pnlFW";
    }
    void choosingAToolShowsOnlyItsPanel()
    {
        QFETCH(QString, section);
        QFETCH(QString, button);
        QFETCH(QString, caption);
        QFETCH(QString, panel);
        Setup setup;
        setup.open();
        QToolButton* target = setup.navigationButton(section.toUtf8().constData(), button.toUtf8().constData());
        QVERIFY(target);
        QCOMPARE(target->text(), caption);
        target->click();
        QCOMPARE(setup.visiblePanels(), QStringList{panel});
        const bool kept = section != "frmFile";
        QCOMPARE(target->isCheckable(), kept);
        QCOMPARE(target->isChecked(), kept);
        // The other buttons of its section are raised.
        for (QToolButton* other : setup.find(section.toUtf8().constData())->findChildren<QToolButton*>())
            if (other != target)
                QVERIFY2(!other->isChecked(), qPrintable(other->text()));
    }

    void toolsChosenOneAfterTheOther_data()
    {
        QTest::addColumn<QStringList>("captions");
        QTest::addColumn<QString>("panel");
        QTest::newRow("System clean after Disk clean") << QStringList{"Disk clean", "System clean"} << "pnlOC";
        QTest::newRow("Internet clean after System clean")
            << QStringList{"System clean", "Internet clean"} << "pnlInternetClean";
        QTest::newRow("back to Disk clean") << QStringList{"File wiper", "Uninstaller", "Disk clean"} << "pnlDC";
    }
    void toolsChosenOneAfterTheOther()
    {
        QFETCH(QStringList, captions);
        QFETCH(QString, panel);
        Setup setup;
        setup.open();
        for (const QString& caption : captions) {
            QToolButton* button = nullptr;
            for (QToolButton* candidate : setup.find("barMenu")->findChildren<QToolButton*>())
                if (candidate->text() == caption)
                    button = candidate;
            QVERIFY2(button, qPrintable(caption));
            button->click();
        }
        QCOMPARE(setup.visiblePanels(), QStringList{panel});
    }

    void diskCleanShowsItsPanelAfterTheDriveRowsAndBeforeTheFolderRows()
    {
        Setup setup;
        setup.prefix.writeFile(std::string(ProgramFolder) + "\\config\\usrfldr.ini", "C:\\users\r\n");
        TfrmMain& window = setup.open();
        setup.navigationButton("frmCleaners", "sSpeedButton2")->click();

        const CheckList& paths = window.driveCleaner().lvDCDrive();
        std::vector<std::string> typesWhenShown;
        auto* client = setup.find<QStackedWidget>("pnlClient");
        QObject::connect(client, &QStackedWidget::currentChanged, &window, [&] {
            if (client->currentWidget()->objectName() != "pnlDC")
                return;
            for (size_t row = 0; row < paths.rowCount(); ++row)
                typesWhenShown.emplace_back(paths.cell(row, DriveCleaner::TypeColumn));
        });
        setup.navigationButton("frmCleaners", "sSpeedButton1")->click();

        QVERIFY(!typesWhenShown.empty());
        QVERIFY2(std::find(typesWhenShown.begin(), typesWhenShown.end(), "-1") == typesWhenShown.end(),
                 "the folder rows come after the panel is shown");
        QCOMPARE(QString::fromStdString(std::string(paths.cell(paths.rowCount() - 1, 0))), QString("C:\\users"));
    }

    void aButtonOfTheOtherSectionKeepsTheFirstSectionsDownState()
    {
        Setup setup;
        setup.open();
        setup.navigationButton("frmSystem", "sSpeedButton2")->click();
        // Groups are per section: "Disk clean" stays down in its own group.
        QVERIFY(setup.navigationButton("frmCleaners", "sSpeedButton1")->isChecked());
        QVERIFY(setup.navigationButton("frmSystem", "sSpeedButton2")->isChecked());
        setup.navigationButton("frmSystem", "sSpeedButton3")->click();
        QVERIFY(!setup.navigationButton("frmSystem", "sSpeedButton2")->isChecked());
    }

    void registryCleanEmptiesStatusPanel2()
    {
        Setup setup;
        TfrmMain& window = setup.open();
        window.host().setStatusText(StatusPanel::Details, "Searching in C:\\...");
        auto* details = setup.find<MainStatusBar>("sBar")->panel(2);
        QCOMPARE(details->text(), QString("Searching in C:\\..."));
        setup.navigationButton("frmCleaners", "sSpeedButton5")->click();
        QCOMPARE(details->text(), QString());
    }

    void duringASearchOnlyTheNavigationBarIsDisabled()
    {
        Setup setup;
        setup.writeJunk(40);
        TfrmMain& window = setup.open();
        setup.checkPathRow("C:\\");

        bool looked = false;
        bool navigationEnabled = true;
        bool headerEnabled = false;
        bool animationRunning = false;
        QString aboutCaption;
        QTimer::singleShot(0, &window, [&] {
            // Inside the search, while it processes window messages.
            looked = window.driveCleaner().searching();
            navigationEnabled = setup.find("barMenu")->isEnabled();
            headerEnabled = true;
            for (const char* name : {"btnSettings", "btnAbout", "btnHelp", "btnExit"})
                headerEnabled = headerEnabled && setup.find(name)->isEnabled();
            animationRunning = setup.find<BusyIndicator>("Anim")->isActive();
            inNextModal([&](QWidget* dialog) {
                aboutCaption = dialog->windowTitle();
                QTest::keyClick(dialog, Qt::Key_Escape);
            });
            setup.find<QToolButton>("btnAbout")->click();
        });
        setup.find<QPushButton>("btnDCSearch")->click();

        QVERIFY(looked);
        QVERIFY(!navigationEnabled);
        QVERIFY(headerEnabled);
        QVERIFY(animationRunning);
        QCOMPARE(aboutCaption, QString("About"));
        // The search went on after the About dialog and ended normally.
        QVERIFY(setup.find("barMenu")->isEnabled());
        QVERIFY(!setup.find<BusyIndicator>("Anim")->isActive());
        QVERIFY(setup.shown("Complete."));
        QCOMPARE(window.driveCleaner().lvDCResult().rowCount(), size_t(40));
        QCOMPARE(setup.find<MainStatusBar>("sBar")->panel(0)->text(), QString("Search done"));
    }

    void closingDuringASearchStopsItAndClosesAfterwards()
    {
        Setup setup;
        setup.writeJunk(40);
        TfrmMain& window = setup.open();
        setup.checkPathRow("C:\\");

        bool stillOpen = false;
        bool stopped = false;
        QTimer::singleShot(0, &window, [&] {
            window.close();
            // Not closed under the running handler: the search was told to stop.
            stillOpen = window.isVisible();
            stopped = window.state().SearchStopped;
        });
        setup.find<QPushButton>("btnDCSearch")->click();

        QVERIFY(stillOpen);
        QVERIFY(stopped);
        QVERIFY(!window.driveCleaner().searching());
        QVERIFY(!setup.shown("Complete."));
        QCOMPARE(setup.find<MainStatusBar>("sBar")->panel(0)->text(), QString("Canceled by user"));
        QTRY_VERIFY(!window.isVisible());
        // FormClose freed the drive list.
        QVERIFY(window.state().drives.empty());
    }

    void exitClosesTheWindow()
    {
        Setup setup;
        TfrmMain& window = setup.open();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        setup.find<QToolButton>("btnExit")->click();
        QTRY_VERIFY(!window.isVisible());
        QVERIFY(setup.boxes.empty());
    }

    void escapeClosesAboutAndEveryClickOpensAFreshOne()
    {
        Setup setup;
        TfrmMain& window = setup.open();
        QList<QPointer<QWidget>> dialogs;
        for (int click = 0; click < 2; ++click) {
            inNextModal([&](QWidget* dialog) {
                dialogs << dialog;
                QVERIFY(qobject_cast<TfrmAbout1*>(dialog));
                QCOMPARE(dialog->windowTitle(), QString("About"));
                QCOMPARE(dialog->size(), QSize(290, 261));
                QVERIFY(!(dialog->windowFlags() & Qt::WindowMinimizeButtonHint));
                QVERIFY(!(dialog->windowFlags() & Qt::WindowMaximizeButtonHint));
                QCOMPARE(dialog->findChild<QLabel*>("lblProduct")->text(), QString("Brindlewharf Tidewick"));
                QCOMPARE(dialog->findChild<QLabel*>("lblVersion")->text(),
                         QString::fromStdString("Version: " + Shell::FileVersion()));
                QVERIFY(dialog->findChild<QLabel*>("imgBanner")->pixmap().width() > 0);
                QTest::keyClick(dialog, Qt::Key_Escape);
            });
            setup.find<QToolButton>("btnAbout")->click();
            // The dialog closed and was freed when it closed.
            QCOMPARE(dialogs.size(), click + 1);
            QVERIFY(dialogs.last().isNull());
        }
        QVERIFY(QApplication::activeModalWidget() == nullptr);
        QVERIFY(window.isVisible());
    }

    void aboutClosesWithOk()
    {
        Setup setup;
        setup.open();
        bool closedByOk = false;
        inNextModal([&](QWidget* dialog) {
            dialog->findChild<QPushButton*>("btnOK")->click();
            closedByOk = true;
        });
        setup.find<QToolButton>("btnAbout")->click();
        QVERIFY(closedByOk);
        QVERIFY(QApplication::activeModalWidget() == nullptr);
    }

    void settingsOpensAModalDialog()
    {
        Setup setup;
        setup.open();
        QString caption;
        bool modal = false;
        inNextModal([&](QWidget* dialog) {
            caption = dialog->windowTitle();
            modal = dialog->isModal();
            QTest::keyClick(dialog, Qt::Key_Escape);
        });
        setup.find<QToolButton>("btnSettings")->click();
        QCOMPARE(caption, QString("Settings"));
        QVERIFY(modal);
    }

    void helpWithoutTheHelpFileDoesNothing()
    {
        Setup setup;
        setup.open();
        setup.find<QToolButton>("btnHelp")->click();
        QCoreApplication::processEvents();
        QVERIFY(setup.opened.empty());
        QVERIFY(setup.boxes.empty());
        QVERIFY(QApplication::activeModalWidget() == nullptr);
    }

    void helpOpensTheHelpFileOfTheProgramFolder()
    {
        Setup setup;
        setup.prefix.writeFile(std::string(ProgramFolder) + "\\Tidewick.chm", "help");
        setup.open();
        setup.find<QToolButton>("btnHelp")->click();
        QCOMPARE(setup.opened, std::vector<std::string>{std::string(ProgramFolder) + "\\Tidewick.chm"});
        QVERIFY(setup.boxes.empty());
    }

    void aPlatformErrorOfAHandlerIsShownAndTheProgramGoesOn()
    {
        Setup setup;
        TfrmMain& window = setup.open();
        QVERIFY(setup.boxes.empty());
        // The user folder file cannot be written: a folder stands in its place.
        std::filesystem::remove(setup.prefix.host(std::string(ProgramFolder) + "\\config\\usrfldr.ini"));
        setup.prefix.makeFolder(std::string(ProgramFolder) + "\\config\\usrfldr.ini");
        setup.pickedFolders.push_back(setup.prefix.host("C:\\users"));
        setup.find<QPushButton>("btnDCAddPath")->click();

        QCOMPARE(setup.boxes.size(), size_t(1));
        QCOMPARE(int(setup.boxes[0].kind), int(MessageKind::Error));
        QCOMPARE(int(setup.boxes[0].buttons), int(MessageButtons::Ok));
        QCOMPARE(setup.boxes[0].text, "Unable to write to " + std::string(ProgramFolder) + "\\config\\usrfldr.ini");
        // The row added before the failure stays for this run.
        const CheckList& paths = window.driveCleaner().lvDCDrive();
        QCOMPARE(QString::fromStdString(std::string(paths.cell(paths.rowCount() - 1, 0))), QString("C:\\users"));

        // The program goes on: the next handler runs.
        setup.navigationButton("frmCleaners", "sSpeedButton2")->click();
        QCOMPARE(setup.visiblePanels(), QStringList{"pnlOC"});
        QVERIFY(window.isVisible());
    }

    void theStoredSkinIsAppliedAtStart_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("active");
        QTest::addColumn<bool>("styled");
        QTest::newRow("built-in") << "Harbour" << "Harbour" << true;
        QTest::newRow("other letter case") << "harbour" << "Harbour" << true;
        QTest::newRow("a skin file") << "Ocean" << "Ocean" << true;
        QTest::newRow("unknown") << "opus.asz" << "Neutral" << false;
        QTest::newRow("default") << "Neutral" << "Neutral" << false;
    }
    void theStoredSkinIsAppliedAtStart()
    {
        QFETCH(QString, stored);
        QFETCH(QString, active);
        QFETCH(bool, styled);
        Setup setup;
        setup.prefix.writeFile(std::string(ProgramFolder) + "\\Skins\\Ocean.qss", "QMainWindow { background: navy; }\r\n");
        EnsureSettingsKey(setup.prefix.env(), ProgramFolder);
        setup.prefix.env()
            .registry()
            .createKey(RegRoot::CurrentUser, SettingsKey)
            ->writeString("Skin name", stored.toStdString());
        TfrmMain& window = setup.open();
        QCOMPARE(QString::fromStdString(window.skinEngine().activeSkinName()), active);
        QCOMPARE(!qApp->styleSheet().isEmpty(), styled);
    }

    void aSkinNameOfAnotherTypeGivesThePlainLook()
    {
        Setup setup;
        EnsureSettingsKey(setup.prefix.env(), ProgramFolder);
        setup.prefix.env().registry().createKey(RegRoot::CurrentUser, SettingsKey)->writeInteger("Skin name", 7);
        TfrmMain& window = setup.open();
        QCOMPARE(window.skinEngine().activeSkinName(), std::string("Neutral"));
        QVERIFY(setup.boxes.empty());
    }
};

QTEST_MAIN(TfrmMainTest)
#include "tfrmmain_test.moc"
