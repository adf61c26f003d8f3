#include <QTest>
#include <QWidget>

#include <stdexcept>
#include <string>
#include <vector>

#include "common/base/platformerror.h"
#include "common/machine/environment.h"
#include "support/tempprefix.h"
#include "ui/handlerguard.h"
#include "ui/qthost.h"

using namespace tw;

namespace {

struct Box {
    MessageKind kind;
    std::string text;
    MessageButtons buttons;
};

// A window host whose message boxes are recorded instead of shown.
struct Recorder {
    test::TempPrefix prefix;
    QWidget window;
    QtHost host{window, prefix.env().fileSystem()};
    std::vector<Box> boxes;
    // runningHandlers() as the error box saw it.
    std::vector<int> runningAtBox;

    Recorder()
    {
        QtHost::Replacements replacements;
        replacements.messageBox = [this](MessageKind kind, std::string_view text, MessageButtons buttons) {
            boxes.push_back({kind, std::string(text), buttons});
            runningAtBox.push_back(runningHandlers());
            return MessageAnswer::Ok;
        };
        host.setReplacements(replacements);
    }
};

} // namespace

class HandlerGuardTest : public QObject {
    Q_OBJECT

private slots:
    void aHandlerThatEndsNormallyShowsNothing()
    {
        Recorder recorder;
        bool ran = false;
        QVERIFY(runHandler(recorder.host, [&] { ran = true; }));
        QVERIFY(ran);
        QVERIFY(recorder.boxes.empty());
    }

    void anErrorEndsTheHandlerAndIsShownInAnErrorBox_data()
    {
        QTest::addColumn<int>("which");
        QTest::addColumn<QString>("text");
        QTest::newRow("platform error") << 0 << "Invalid data type for 'Remove method'";
        QTest::newRow("platform error with its reason") << 1 << "Failed to set data for 'Skin Name'\nuser.reg is read-only";
        QTest::newRow("other standard exception") << 2 << "vector::_M_range_check";
    }
    void anErrorEndsTheHandlerAndIsShownInAnErrorBox()
    {
        QFETCH(int, which);
        QFETCH(QString, text);
        Recorder recorder;
        bool after = false;
        const bool completed = runHandler(recorder.host, [&] {
            if (which == 0)
                throw PlatformError("Invalid data type for 'Remove method'");
            if (which == 1)
                throw PlatformError("Failed to set data for 'Skin Name'", "user.reg is read-only");
            throw std::out_of_range("vector::_M_range_check");
            after = true;
        });
        QVERIFY(!completed);
        QVERIFY(!after);
        QCOMPARE(recorder.boxes.size(), size_t(1));
        QCOMPARE(int(recorder.boxes[0].kind), int(MessageKind::Error));
        QCOMPARE(int(recorder.boxes[0].buttons), int(MessageButtons::Ok));
        QCOMPARE(QString::fromStdString(recorder.boxes[0].text), text);
        // The box shows once the failed handler has ended.
        QCOMPARE(recorder.runningAtBox, std::vector<int>{0});
    }

    void theProgramGoesOnAfterAnError()
    {
        Recorder recorder;
        runHandler(recorder.host, [] { throw PlatformError("Unable to write to C:\\config\\usrfldr.ini"); });
        bool ran = false;
        QVERIFY(runHandler(recorder.host, [&] { ran = true; }));
        QVERIFY(ran);
        QCOMPARE(recorder.boxes.size(), size_t(1));
    }

    void runningHandlersCountsNestedHandlers()
    {
        Recorder recorder;
        QCOMPARE(runningHandlers(), 0);
        int outer = -1;
        int inner = -1;
        runHandler(recorder.host, [&] {
            outer = runningHandlers();
            // A click handled while the first handler processes window messages.
            runHandler(recorder.host, [&] { inner = runningHandlers(); });
        });
        QCOMPARE(outer, 1);
        QCOMPARE(inner, 2);
        QCOMPARE(runningHandlers(), 0);
        runHandler(recorder.host, [] { throw PlatformError("x"); });
        QCOMPARE(runningHandlers(), 0);
    }
};

QTEST_MAIN(HandlerGuardTest)
#include "handlerguard_test.moc"
