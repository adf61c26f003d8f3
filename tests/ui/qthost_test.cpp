#include <QApplication>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <thread>
#include <vector>

#include "common/machine/environment.h"
#include "support/tempprefix.h"
#include "ui/busyindicator.h"
#include "ui/mainstatusbar.h"
#include "ui/messageboxes.h"
#include "ui/qthost.h"

using namespace tw;

Q_DECLARE_METATYPE(tw::MessageKind)
Q_DECLARE_METATYPE(tw::MessageButtons)
Q_DECLARE_METATYPE(tw::MessageAnswer)

namespace {

// Runs action inside the next modal dialog, once it is up.
void inNextModal(std::function<void(QWidget*)> action)
{
    QTimer::singleShot(0, qApp, [action = std::move(action)] {
        QTRY_VERIFY(QApplication::activeModalWidget() != nullptr);
        action(QApplication::activeModalWidget());
    });
}

} // namespace

class QtHostTest : public QObject {
    Q_OBJECT

private slots:
    void boxesHaveTheirCaptionIconAndButtons_data()
    {
        QTest::addColumn<MessageKind>("kind");
        QTest::addColumn<MessageButtons>("buttons");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("icon");
        QTest::addColumn<QList<int>>("standardButtons");
        QTest::addColumn<int>("escape");
        QTest::newRow("warning") << MessageKind::Warning << MessageButtons::Ok << "Warning" << int(QMessageBox::Warning)
                                 << QList<int>{QMessageBox::Ok} << int(QMessageBox::Ok);
        QTest::newRow("error") << MessageKind::Error << MessageButtons::Ok << "Error" << int(QMessageBox::Critical)
                               << QList<int>{QMessageBox::Ok} << int(QMessageBox::Ok);
        QTest::newRow("information") << MessageKind::Information << MessageButtons::OkCancel << "Information"
                                     << int(QMessageBox::Information)
                                     << QList<int>{QMessageBox::Ok, QMessageBox::Cancel} << int(QMessageBox::Cancel);
        QTest::newRow("confirmation") << MessageKind::Confirmation << MessageButtons::YesNo << "Confirm"
                                      << int(QMessageBox::Question) << QList<int>{QMessageBox::Yes, QMessageBox::No}
                                      << int(QMessageBox::No);
        QTest::newRow("plain") << MessageKind::Plain << MessageButtons::Ok << "" << int(QMessageBox::NoIcon)
                               << QList<int>{QMessageBox::Ok} << int(QMessageBox::Ok);
    }
    void boxesHaveTheirCaptionIconAndButtons()
    {
        QFETCH(MessageKind, kind);
        QFETCH(MessageButtons, buttons);
        QFETCH(QString, caption);
        QFETCH(int, icon);
        QFETCH(QList<int>, standardButtons);
        QFETCH(int, escape);
        auto box = makeMessageBox(nullptr, kind, "Delete files?", buttons);
        QCOMPARE(box->windowTitle(), caption);
        QCOMPARE(int(box->icon()), icon);
        QCOMPARE(box->text(), QString("Delete files?"));
        QCOMPARE(box->textFormat(), Qt::PlainText);
        QList<int> shown;
        for (QAbstractButton* button : box->buttons())
            shown << int(box->standardButton(button));
        std::sort(shown.begin(), shown.end());
        std::sort(standardButtons.begin(), standardButtons.end());
        QCOMPARE(shown, standardButtons);
        QCOMPARE(int(box->standardButton(box->escapeButton())), escape);
    }

    void aBoxClosedOtherwiseGivesTheCautiousAnswer_data()
    {
        QTest::addColumn<MessageButtons>("buttons");
        QTest::addColumn<MessageAnswer>("answer");
        QTest::newRow("ok") << MessageButtons::Ok << MessageAnswer::Ok;
        QTest::newRow("ok, cancel") << MessageButtons::OkCancel << MessageAnswer::Cancel;
        QTest::newRow("yes, no") << MessageButtons::YesNo << MessageAnswer::No;
    }
    void aBoxClosedOtherwiseGivesTheCautiousAnswer()
    {
        QFETCH(MessageButtons, buttons);
        QFETCH(MessageAnswer, answer);
        QCOMPARE(messageAnswer(QMessageBox::NoButton, buttons), answer);
    }

    // The real box, answered by a key or a click as the user would.
    void theHostShowsTheBoxAndReturnsTheButtonPressed_data()
    {
        QTest::addColumn<MessageButtons>("buttons");
        QTest::addColumn<int>("press");  // a standard button to click, or NoButton for Escape
        QTest::addColumn<MessageAnswer>("answer");
        QTest::newRow("yes") << MessageButtons::YesNo << int(QMessageBox::Yes) << MessageAnswer::Yes;
        QTest::newRow("no") << MessageButtons::YesNo << int(QMessageBox::No) << MessageAnswer::No;
        QTest::newRow("escape on yes/no") << MessageButtons::YesNo << int(QMessageBox::NoButton) << MessageAnswer::No;
        QTest::newRow("ok") << MessageButtons::OkCancel << int(QMessageBox::Ok) << MessageAnswer::Ok;
        QTest::newRow("escape on ok/cancel") << MessageButtons::OkCancel << int(QMessageBox::NoButton)
                                             << MessageAnswer::Cancel;
        QTest::newRow("escape on ok") << MessageButtons::Ok << int(QMessageBox::NoButton) << MessageAnswer::Ok;
    }
    void theHostShowsTheBoxAndReturnsTheButtonPressed()
    {
        QFETCH(MessageButtons, buttons);
        QFETCH(int, press);
        QFETCH(MessageAnswer, answer);
        test::TempPrefix prefix;
        QWidget window;
        QtHost host(window, prefix.env().fileSystem());
        QString caption;
        QString text;
        inNextModal([&](QWidget* dialog) {
            auto* box = qobject_cast<QMessageBox*>(dialog);
            QVERIFY(box);
            caption = box->windowTitle();
            text = box->text();
            if (press == QMessageBox::NoButton)
                QTest::keyClick(box, Qt::Key_Escape);
            else
                box->button(QMessageBox::StandardButton(press))->click();
        });
        QCOMPARE(host.messageBox(MessageKind::Confirmation, "Delete files?", buttons), answer);
        QCOMPARE(caption, QString("Confirm"));
        QCOMPARE(text, QString("Delete files?"));
    }

    void theInputBoxReturnsTheTextOrOnCancelTheDefault_data()
    {
        QTest::addColumn<bool>("accept");
        QTest::addColumn<QString>("result");
        QTest::newRow("accepted") << true << "typed";
        QTest::newRow("cancelled") << false << "default text";
    }
    void theInputBoxReturnsTheTextOrOnCancelTheDefault()
    {
        QFETCH(bool, accept);
        QFETCH(QString, result);
        test::TempPrefix prefix;
        QWidget window;
        QtHost host(window, prefix.env().fileSystem());
        QString caption;
        QString shownDefault;
        inNextModal([&](QWidget* dialog) {
            auto* input = qobject_cast<QInputDialog*>(dialog);
            QVERIFY(input);
            caption = input->windowTitle();
            shownDefault = input->textValue();
            input->setTextValue("typed");
            if (accept)
                input->accept();
            else
                input->reject();
        });
        QCOMPARE(QString::fromStdString(host.inputBox("New mask", "Mask:", "default text")), result);
        QCOMPARE(caption, QString("New mask"));
        QCOMPARE(shownDefault, QString("default text"));
    }

    void statusPanelsAnimationAndNavigationBar()
    {
        test::TempPrefix prefix;
        QWidget window;
        QtHost host(window, prefix.env().fileSystem());
        MainStatusBar status;
        QWidget navigation;
        host.setStatusBar(&status);
        host.setNavigationBar(&navigation);

        host.setStatusText(StatusPanel::State, "Search for junk file...");
        host.setStatusText(StatusPanel::Details, "Searching in C:\\<temp>\\...");
        // Panel 1 holds the animation, no text; setting one changes nothing.
        host.setStatusText(StatusPanel::Animation, "ignored");
        QCOMPARE(status.panel(0)->text(), QString("Search for junk file..."));
        QCOMPARE(status.panel(2)->text(), QString("Searching in C:\\<temp>\\..."));
        QCOMPARE(status.panel(2)->textFormat(), Qt::PlainText);
        host.repaintStatusBar();

        QVERIFY(!status.animation()->isActive());
        host.setAnimationActive(true);
        QVERIFY(status.animation()->isActive());
        host.setAnimationActive(false);
        QVERIFY(!status.animation()->isActive());

        host.setNavigationEnabled(false);
        QVERIFY(!navigation.isEnabled());
        host.setNavigationEnabled(true);
        QVERIFY(navigation.isEnabled());
    }

    void postedWorkRunsLaterOnTheWindowThreadInOrder()
    {
        test::TempPrefix prefix;
        QWidget window;
        QtHost host(window, prefix.env().fileSystem());
        std::vector<int> order;
        std::vector<bool> onWindowThread;
        host.post([&] { order.push_back(1); });
        std::thread worker([&] {
            for (int i = 2; i <= 4; ++i)
                host.post([&, i] {
                    order.push_back(i);
                    onWindowThread.push_back(QThread::currentThread() == window.thread());
                });
        });
        worker.join();
        // Nothing runs inside post().
        QVERIFY(order.empty());
        host.pumpEvents();
        QCOMPARE(order, (std::vector<int>{1, 2, 3, 4}));
        QCOMPARE(onWindowThread, (std::vector<bool>{true, true, true}));
    }

    void pickedHostFoldersComeBackAsWindowsPaths()
    {
        test::TempPrefix prefix;
        prefix.makeFolder("C:\\users\\Pictures 2024");
        QWidget window;
        QtHost host(window, prefix.env().fileSystem());
        std::vector<std::optional<std::filesystem::path>> answers = {
            prefix.host("C:\\users\\Pictures 2024"), std::nullopt, std::filesystem::path("/proc")};
        size_t next = 0;
        QtHost::Replacements replacements;
        replacements.pickFolder = [&](std::string_view) { return answers[next++]; };
        replacements.pickFileOrFolder = [&](std::string_view) { return answers[next++]; };
        host.setReplacements(replacements);

        QCOMPARE(host.pickFolder("Select a folder"), std::optional<std::string>("C:\\users\\Pictures 2024"));
        // Cancelled.
        QCOMPARE(host.pickFolder("Select a folder"), std::nullopt);
        // A folder no drive of the prefix reaches (the test prefix has no Z:).
        QCOMPARE(host.pickFolder("Select a folder"), std::nullopt);
        next = 0;
        QCOMPARE(host.pickFileOrFolder("Select a file"), std::optional<std::string>("C:\\users\\Pictures 2024"));
    }
};

QTEST_MAIN(QtHostTest)
#include "qthost_test.moc"
