#include "screenshotdemo.h"

#include <QCoreApplication>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>

#include <cstdio>

#include "cleaner/drivecleaner.h"
#include "common/base/text.h"
#include "ui/checklistmodel.h"
#include "ui/tfrmmain.h"

namespace tw {
namespace {

void runDemo(TfrmMain& window, const QString& file)
{
    DriveCleaner& cleaner = window.driveCleaner();
    CheckList& paths = cleaner.lvDCDrive();
    for (size_t row = 0; row < paths.rowCount(); ++row)
        if (equalsIgnoreCase(paths.cell(row, 0), "C:\\"))
            paths.setChecked(row, true);

    QtHost::Replacements replacements;
    replacements.messageBox = [](MessageKind, std::string_view, MessageButtons) { return MessageAnswer::Ok; };
    window.host().setReplacements(std::move(replacements));
    if (auto* search = window.findChild<QPushButton*>("btnDCSearch"))
        search->click();

    // A few findings checked, as the user would before "Delete".
    CheckList& results = cleaner.lvDCResult();
    for (size_t row = 0; row < results.rowCount() && row < 5; row += 2)
        results.setChecked(row, true);

    // Let the lists announce their rows and the window repaint before the picture.
    for (auto* model : window.findChildren<CheckListModel*>())
        model->flush();
    QTimer::singleShot(400, &window, [&window, file] {
        const bool saved = window.grab().save(file, "PNG");
        std::fprintf(stderr, saved ? "screenshot written: %s\n" : "cannot write the screenshot %s\n",
                     file.toLocal8Bit().constData());
        window.close();
    });
}

} // namespace

void ScheduleScreenshotDemo(TfrmMain& window)
{
    const QString file = qEnvironmentVariable("TIDEWICK_SCREENSHOT");
    if (file.isEmpty())
        return;
    QTimer::singleShot(500, &window, [&window, file] { runDemo(window, file); });
}

} // namespace tw
