#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

// What the main window offers the tools: the status bar, the busy animation, the
// navigation bar, message processing, message and input boxes, the pickers and
// posting work to the window thread. The window implements it with Qt, tests
// with a scripted fake.
namespace tw {

// The four kinds of message box with their captions ("Warning", "Error",
// "Information", "Confirm") and the plain box with no title and no icon.
enum class MessageKind { Warning, Error, Information, Confirmation, Plain };
enum class MessageButtons { Ok, OkCancel, YesNo };
enum class MessageAnswer { Ok, Cancel, Yes, No };

// Status bar panels: 0 the state of the operation, 1 the animation, 2 details.
enum class StatusPanel { State = 0, Animation = 1, Details = 2 };

class Host {
public:
    virtual ~Host() = default;

    virtual void setStatusText(StatusPanel panel, std::string_view text) = 0;
    // Repaints the status bar at once (texts set during a long handler show up).
    virtual void repaintStatusBar() = 0;
    // Starts or stops the busy animation Anim.
    virtual void setAnimationActive(bool active) = 0;
    // Enables or disables the navigation bar barMenu.
    virtual void setNavigationEnabled(bool enabled) = 0;
    // Processes pending window messages (clicks on "Stop", repaints).
    virtual void pumpEvents() = 0;

    // Shows a message box and returns the button pressed.
    virtual MessageAnswer messageBox(MessageKind kind, std::string_view text, MessageButtons buttons) = 0;
    // An input box: the text entered, or defaultText when cancelled.
    virtual std::string inputBox(std::string_view caption, std::string_view prompt, std::string_view defaultText) = 0;
    // The folder picker rooted at My Computer: a Windows path, or nullopt when cancelled.
    virtual std::optional<std::string> pickFolder(std::string_view prompt) = 0;
    // The file-or-folder picker: a Windows path, or nullopt when cancelled.
    virtual std::optional<std::string> pickFileOrFolder(std::string_view prompt) = 0;

    // Runs work on the window thread, in the order posted (callable from any thread).
    virtual void post(std::function<void()> work) = 0;
};

} // namespace tw
