#include "ui/qthost.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>

#include "common/fs/filesystem.h"
#include "ui/busyindicator.h"
#include "ui/fileorfolderdialog.h"
#include "ui/mainstatusbar.h"
#include "ui/messageboxes.h"

namespace tw {
namespace {

QString toQString(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

QtHost::QtHost(QWidget& window, const FileSystem& fileSystem) : m_window(window), m_fileSystem(fileSystem) {}

void QtHost::setStatusBar(MainStatusBar* statusBar)
{
    m_statusBar = statusBar;
}

void QtHost::setNavigationBar(QWidget* navigationBar)
{
    m_navigation = navigationBar;
}

void QtHost::setStatusText(StatusPanel panel, std::string_view text)
{
    if (!m_statusBar)
        return;
    if (QLabel* label = m_statusBar->panel(static_cast<int>(panel)))
        label->setText(toQString(text));
}

void QtHost::repaintStatusBar()
{
    if (m_statusBar)
        m_statusBar->repaint();
}

void QtHost::setAnimationActive(bool active)
{
    if (!m_statusBar)
        return;
    if (active)
        m_statusBar->animation()->start();
    else
        m_statusBar->animation()->stop();
}

void QtHost::setNavigationEnabled(bool enabled)
{
    if (m_navigation)
        m_navigation->setEnabled(enabled);
}

void QtHost::pumpEvents()
{
    QCoreApplication::processEvents();
}

MessageAnswer QtHost::messageBox(MessageKind kind, std::string_view text, MessageButtons buttons)
{
    if (m_replacements.messageBox)
        return m_replacements.messageBox(kind, text, buttons);
    auto box = makeMessageBox(&m_window, kind, toQString(text), buttons);
    box->exec();
    const auto clicked = box->standardButton(box->clickedButton());
    return messageAnswer(clicked, buttons);
}

std::string QtHost::inputBox(std::string_view caption, std::string_view prompt, std::string_view defaultText)
{
    if (m_replacements.inputBox)
        return m_replacements.inputBox(caption, prompt, defaultText);
    bool ok = false;
    const QString text = QInputDialog::getText(&m_window, toQString(caption), toQString(prompt), QLineEdit::Normal,
                                               toQString(defaultText), &ok);
    if (!ok)
        return std::string(defaultText);
    return text.toStdString();
}

std::optional<std::string> QtHost::pickFolder(std::string_view prompt)
{
    if (m_replacements.pickFolder)
        return windowsPathOf(m_replacements.pickFolder(prompt));
    const QString folder = QFileDialog::getExistingDirectory(&m_window, toQString(prompt), QDir::homePath());
    if (folder.isEmpty())
        return std::nullopt;
    return windowsPathOf(std::filesystem::path(folder.toStdString()));
}

std::optional<std::string> QtHost::pickFileOrFolder(std::string_view prompt)
{
    if (m_replacements.pickFileOrFolder)
        return windowsPathOf(m_replacements.pickFileOrFolder(prompt));
    FileOrFolderDialog dialog(toQString(prompt), &m_window);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return windowsPathOf(dialog.chosenPath());
}

void QtHost::post(std::function<void()> work)
{
    // Queued on the window's thread; dropped when the window is gone meanwhile.
    QMetaObject::invokeMethod(&m_window, [work = std::move(work)] { work(); }, Qt::QueuedConnection);
}

std::optional<std::string> QtHost::windowsPathOf(const std::optional<std::filesystem::path>& hostPath) const
{
    // A host folder that no drive of the prefix reaches cannot be named to the
    // tools; it counts as no choice.
    if (!hostPath || hostPath->empty())
        return std::nullopt;
    return m_fileSystem.windowsPath(*hostPath);
}

} // namespace tw
