#include <QApplication>
#include <QMessageBox>

#include <cstdlib>

#include "common/machine/environment.h"
#include "common/machine/prefix.h"
#include "screenshotdemo.h"
#include "ui/programfolder.h"
#include "ui/tfrmmain.h"

// Start of the program: the prefix, the machine over it, the main window, the message loop.
int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("Brindlewharf Tidewick");
    QApplication::setStyle("Fusion");

    const std::filesystem::path prefix = tw::ChoosePrefixFolder();
    std::string error;
    if (!tw::EnsurePrefix(prefix, &error)) {
        QMessageBox::critical(nullptr, "Error",
                              QString("Cannot create the prefix %1: %2")
                                  .arg(QString::fromStdString(prefix.string()), QString::fromStdString(error)));
        return EXIT_FAILURE;
    }
    tw::Environment env(prefix);

    const std::filesystem::path executableFolder = QCoreApplication::applicationDirPath().toStdString();
    const std::optional<std::string> programFolder = tw::ProgramFolderOf(env.fileSystem(), executableFolder);
    if (!programFolder) {
        QMessageBox::critical(nullptr, "Error",
                              QString("No drive of the prefix %1 reaches the program folder %2")
                                  .arg(QString::fromStdString(prefix.string()),
                                       QString::fromStdString(executableFolder.string())));
        return EXIT_FAILURE;
    }

    tw::TfrmMain window(env, *programFolder);
    tw::ScheduleScreenshotDemo(window);
    window.show();
    return app.exec();
}
