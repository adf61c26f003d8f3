#pragma once

#include <QPointer>
#include <QWidget>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "common/host.h"

namespace tw {

class FileSystem;
class MainStatusBar;

// The Host of the main window: its status bar and animation, its navigation bar,
// Qt's message processing, Qt's message, input and picker dialogs, and queued
// calls on the window thread. The dialogs can be answered by replacements
// (the window's tests record and answer them without showing anything).
class QtHost : public Host {
public:
    // Answers in place of the dialogs; an empty function shows the real dialog.
    struct Replacements {
        std::function<MessageAnswer(MessageKind, std::string_view, MessageButtons)> messageBox;
        std::function<std::string(std::string_view, std::string_view, std::string_view)> inputBox;
        // The chosen host path, or nullopt for a cancelled picker.
        std::function<std::optional<std::filesystem::path>(std::string_view)> pickFolder;
        std::function<std::optional<std::filesystem::path>(std::string_view)> pickFileOrFolder;
    };

    // A host for the window; picked host paths are turned into Windows paths
    // through the file system.
    QtHost(QWidget& window, const FileSystem& fileSystem);

    void setStatusBar(MainStatusBar* statusBar);
    void setNavigationBar(QWidget* navigationBar);
    void setReplacements(Replacements replacements) { m_replacements = std::move(replacements); }

    void setStatusText(StatusPanel panel, std::string_view text) override;
    void repaintStatusBar() override;
    void setAnimationActive(bool active) override;
    void setNavigationEnabled(bool enabled) override;
    void pumpEvents() override;
    MessageAnswer messageBox(MessageKind kind, std::string_view text, MessageButtons buttons) override;
    std::string inputBox(std::string_view caption, std::string_view prompt, std::string_view defaultText) override;
    std::optional<std::string> pickFolder(std::string_view prompt) override;
    std::optional<std::string> pickFileOrFolder(std::string_view prompt) override;
    void post(std::function<void()> work) override;

private:
    std::optional<std::string> windowsPathOf(const std::optional<std::filesystem::path>& hostPath) const;

    QWidget& m_window;
    const FileSystem& m_fileSystem;
    QPointer<MainStatusBar> m_statusBar;
    QPointer<QWidget> m_navigation;
    Replacements m_replacements;
};

} // namespace tw
