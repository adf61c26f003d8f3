#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

#include <memory>

#include "cleaner/drivecleaner.h"
#include "common/drivelist.h"
#include "common/mainstate.h"
#include "config/checksettings.h"
#include "config/configpaths.h"
#include "support/fakehost.h"
#include "support/tempprefix.h"
#include "ui/checklistmodel.h"
#include "ui/drivecleanerpanel.h"
#include "ui/panelheader.h"

using namespace tw;

// The drive cleaner panel over a real tool on a throw-away prefix with a scripted window.
class DriveCleanerPanelTest : public QObject {
    Q_OBJECT

private:
    struct Setup {
        test::TempPrefix prefix;
        test::FakeHost host;
        std::unique_ptr<MainState> state;
        std::unique_ptr<DriveCleaner> tool;
        std::unique_ptr<DriveCleanerPanel> panel;

        Setup()
        {
            prefix.addDrive('D');
            const std::string programFolder = "C:\\Program Files\\Tidewick";
            prefix.makeFolder(programFolder);
            state = std::make_unique<MainState>(prefix.env().fileSystem());
            state->ProgramFolder = programFolder;
            EnsureSettingsKey(prefix.env(), programFolder);
            BuildDriveList(prefix.env().fileSystem(), state->drives);
            tool = std::make_unique<DriveCleaner>(prefix.env(), host, *state);
            panel = std::make_unique<DriveCleanerPanel>(*tool);
        }
        template <typename T>
        T* find(const char* name)
        {
            return panel->findChild<T*>(name);
        }
    };

private slots:
    void buttonsCarryTheirNamesCaptionsAndHints_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("hint");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("add") << "btnDCAddPath" << "Add" << "Add path" << true;
        QTest::newRow("remove") << "btnDCRemovePath" << "Remove" << "Remove path" << true;
        QTest::newRow("search") << "btnDCSearch" << "Search" << "Start search" << true;
        QTest::newRow("stop") << "btnDCStop" << "Stop" << "Stop search" << false;
        QTest::newRow("delete") << "btnDCDelete" << "Delete" << "Delete selected" << false;
        QTest::newRow("select all below paths") << "sBitBtn5" << "Select all" << "" << false;
        QTest::newRow("unselect all below paths") << "sBitBtn6" << "Unselect all" << "" << false;
        QTest::newRow("invert below paths") << "sBitBtn7" << "Invert selectionl" << "" << false;
        QTest::newRow("select all") << "sBitBtn15" << "Select All" << "Select all items" << true;
        QTest::newRow("unselect all") << "sBitBtn16" << "Unselect All" << "Unselect all items" << true;
        QTest::newRow("invert all") << "sBitBtn17" << "Invert All" << "Invert all selected items" << true;
    }

    void buttonsCarryTheirNamesCaptionsAndHints()
    {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QString, hint);
        QFETCH(bool, enabled);
        Setup setup;
        QCOMPARE(setup.panel->objectName(), QString("pnlDC"));
        auto* button = setup.find<QPushButton>(name.toUtf8().constData());
        QVERIFY2(button, qPrintable("no button " + name));
        QCOMPARE(button->text(), caption);
        QCOMPARE(button->toolTip(), hint);
        QCOMPARE(button->isEnabled(), enabled);
    }

    void tabGoesFromThePathListToItsButtonsAndThenToTheResults()
    {
        Setup setup;
        const QStringList expected{"lvDCDrive", "btnDCAddPath", "btnDCRemovePath", "sBitBtn5",  "sBitBtn6",
                                   "sBitBtn7",  "lvDCResult",   "btnDCSearch",     "btnDCStop", "btnDCDelete",
                                   "sBitBtn15", "sBitBtn16",    "sBitBtn17"};
        QStringList chain;
        QWidget* widget = setup.panel.get();
        do {
            widget = widget->nextInFocusChain();
            if (expected.contains(widget->objectName()))
                chain << widget->objectName();
        } while (widget != setup.panel.get());
        QCOMPARE(chain, expected);
    }

    void headerAndCountersShowTheirTexts()
    {
        Setup setup;
        auto* header = setup.panel->findChild<PanelHeader*>();
        QVERIFY(header);
        QCOMPARE(header->title(), QString("Drive cleaner"));
        QCOMPARE(header->description(), QString("Help you to remove junk files"));
        QCOMPARE(setup.find<QLabel>("lblDCFileCount")->text(), QString("0"));
        QCOMPARE(setup.find<QLabel>("lblDCFileSize")->text(), QString("0"));
        QStringList texts;
        for (auto* label : setup.panel->findChildren<QLabel*>())
            texts << label->text();
        QVERIFY(texts.contains("Files count:"));
        QVERIFY(texts.contains("Files size:"));
    }

    void listsShowTheirColumnsWithTheHiddenOnesHidden()
    {
        Setup setup;
        auto* drives = setup.find<QTreeView>("lvDCDrive");
        auto* results = setup.find<QTreeView>("lvDCResult");
        QVERIFY(drives && results);
        const QStringList driveTitles{"Path", "Volume label", "File system", "Serial number", "Total size", "Free size", "type"};
        for (int i = 0; i < driveTitles.size(); ++i)
            QCOMPARE(drives->model()->headerData(i, Qt::Horizontal).toString(), driveTitles[i]);
        QVERIFY(drives->isColumnHidden(6));
        QVERIFY(!drives->isColumnHidden(0));
        QCOMPARE(results->model()->headerData(0, Qt::Horizontal).toString(), QString("File"));
        QCOMPARE(results->model()->headerData(1, Qt::Horizontal).toString(), QString("Size"));
        QVERIFY(results->isColumnHidden(2));
    }

    void clickOnSearchRunsTheToolAndTheViewsFollow()
    {
        Setup setup;
        setup.prefix.writeFile("D:\\junk.tmp", "12345");
        setup.prefix.writeFile("D:\\keep.txt", "1");
        setup.tool->sSpeedButton1Click();
        auto* drives = setup.find<QTreeView>("lvDCDrive");
        static_cast<CheckListModel*>(drives->model())->flush();
        QCOMPARE(drives->model()->rowCount(), 2);  // C:\ and D:\.
        QVERIFY(drives->model()->setData(drives->model()->index(1, 0), Qt::Checked, Qt::CheckStateRole));
        QVERIFY(setup.tool->lvDCDrive().checked(1));

        QTest::mouseClick(setup.find<QPushButton>("btnDCSearch"), Qt::LeftButton);

        QCOMPARE(setup.host.messageTexts(), std::vector<std::string>{"Complete."});
        auto* results = setup.find<QTreeView>("lvDCResult");
        static_cast<CheckListModel*>(results->model())->flush();
        QCOMPARE(results->model()->rowCount(), 1);
        QCOMPARE(results->model()->index(0, 0).data().toString(), QString("D:\\junk.tmp"));
        QCOMPARE(setup.find<QLabel>("lblDCFileCount")->text(), QString("1"));
        QCOMPARE(setup.find<QLabel>("lblDCFileSize")->text(), QString("5 b"));
        QVERIFY(setup.find<QPushButton>("btnDCDelete")->isEnabled());
        QVERIFY(setup.find<QPushButton>("sBitBtn5")->isEnabled());
        QVERIFY(!setup.find<QPushButton>("btnDCStop")->isEnabled());
    }

    void errorOfAHandlerIsShownInAnErrorBox()
    {
        Setup setup;
        // A folder where the user folder file should be: "Add" cannot write it.
        setup.prefix.makeFolder(ConfigPath::configFile(setup.state->ProgramFolder, ConfigPath::UserFolderFile));
        setup.host.answerFolder("D:\\picked");
        QTest::mouseClick(setup.find<QPushButton>("btnDCAddPath"), Qt::LeftButton);
        QCOMPARE(setup.host.messages().size(), size_t(1));
        QCOMPARE(setup.host.messages()[0].kind, MessageKind::Error);
        QVERIFY(setup.host.messages()[0].text.rfind("Unable to write to ", 0) == 0);
        // The row stays for this run.
        QCOMPARE(setup.tool->lvDCDrive().rowCount(), size_t(1));
    }
};

QTEST_MAIN(DriveCleanerPanelTest)
#include "drivecleanerpanel_test.moc"
