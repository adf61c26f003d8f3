#pragma once

#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/host.h"

namespace tw::test {

// One message box the tool showed, as the user would have seen it.
struct RecordedMessage {
    MessageKind kind = MessageKind::Plain;
    std::string caption;  // "Warning", "Error", "Information", "Confirm" or "" (plain)
    std::string text;
    MessageButtons buttons = MessageButtons::Ok;
    MessageAnswer answer = MessageAnswer::Ok;
};

// One input box the tool showed.
struct RecordedInput {
    std::string caption;
    std::string prompt;
    std::string defaultText;
};

// A scripted window for core tests: records every message box, status text,
// animation and navigation change, and answers boxes, input boxes and pickers
// from queues the test fills beforehand.
//
// Answers: a box with only an OK button is answered Ok without using the script;
// a box that offers a choice (OK/Cancel, Yes/No) takes the next scripted answer.
// When a queue is empty, or a scripted answer is not one of the box's buttons,
// the test fails (ADD_FAILURE) with a message naming the box, and the safe
// answer (Cancel / No / cancelled picker / default text) is returned.
//
// post(): work is queued and runs, in order, on the next pumpEvents() or
// drainPosted(); it never runs inside post() itself, as on a real window thread.
class FakeHost : public Host {
public:
    FakeHost() = default;
    ~FakeHost() override;

    // --- scripts ---
    // Queues the answer of the next box that offers a choice.
    void answerMessage(MessageAnswer answer);
    // Queues the text the next input box returns; nullopt presses Cancel.
    void answerInput(std::optional<std::string> text);
    // Queues the next folder picker's result; nullopt cancels it.
    void answerFolder(std::optional<std::string> windowsPath);
    // Queues the next file-or-folder picker's result; nullopt cancels it.
    void answerFileOrFolder(std::optional<std::string> windowsPath);
    // Runs action inside the nth call of pumpEvents() (counted from 1).
    void onPump(int n, std::function<void()> action);
    // Runs action inside every call of pumpEvents(), after the one-shot actions.
    void onEveryPump(std::function<void()> action);
    // Runs action inside the next message box, before it is answered.
    void onNextMessage(std::function<void()> action);

    // --- what was recorded ---
    const std::vector<RecordedMessage>& messages() const { return m_messages; }
    // Texts of all boxes shown, in order.
    std::vector<std::string> messageTexts() const;
    // True when a box with this exact text was shown.
    bool shownMessage(std::string_view text) const;
    const std::vector<RecordedInput>& inputs() const { return m_inputs; }
    std::vector<std::string> folderPrompts() const { return m_folderPrompts; }
    std::vector<std::string> fileOrFolderPrompts() const { return m_fileOrFolderPrompts; }

    // The text now in a status panel ("" before any was set).
    std::string statusText(StatusPanel panel) const;
    // Every text written into a status panel, in order.
    const std::vector<std::string>& statusHistory(StatusPanel panel) const;
    int repaintCount() const { return m_repaints; }

    bool animationActive() const { return m_animation; }
    const std::vector<bool>& animationHistory() const { return m_animationHistory; }
    bool navigationEnabled() const { return m_navigation; }
    const std::vector<bool>& navigationHistory() const { return m_navigationHistory; }

    int pumpCount() const { return m_pumps; }
    // Runs the work posted so far (and what it posts in turn), in order.
    void drainPosted();
    size_t pendingPosted() const;

    // The caption a real window gives a box of this kind.
    static std::string captionOf(MessageKind kind);

    // --- Host ---
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
    std::deque<MessageAnswer> m_answers;
    std::deque<std::optional<std::string>> m_inputAnswers;
    std::deque<std::optional<std::string>> m_folderAnswers;
    std::deque<std::optional<std::string>> m_fileOrFolderAnswers;
    std::multimap<int, std::function<void()>> m_pumpActions;
    std::vector<std::function<void()>> m_everyPump;
    std::deque<std::function<void()>> m_messageActions;

    std::vector<RecordedMessage> m_messages;
    std::vector<RecordedInput> m_inputs;
    std::vector<std::string> m_folderPrompts;
    std::vector<std::string> m_fileOrFolderPrompts;
    std::map<StatusPanel, std::vector<std::string>> m_status;
    int m_repaints = 0;
    bool m_animation = false;
    std::vector<bool> m_animationHistory;
    bool m_navigation = true;
    std::vector<bool> m_navigationHistory;
    int m_pumps = 0;

    mutable std::mutex m_postMutex;
    std::deque<std::function<void()>> m_posted;
};

} // namespace tw::test
