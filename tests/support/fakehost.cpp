#include "support/fakehost.h"

#include <algorithm>

#include <gtest/gtest.h>

namespace tw::test {
namespace {

std::string buttonsName(MessageButtons buttons)
{
    switch (buttons) {
    case MessageButtons::Ok: return "OK";
    case MessageButtons::OkCancel: return "OK/Cancel";
    case MessageButtons::YesNo: return "Yes/No";
    }
    return "?";
}

bool offers(MessageButtons buttons, MessageAnswer answer)
{
    switch (buttons) {
    case MessageButtons::Ok: return answer == MessageAnswer::Ok;
    case MessageButtons::OkCancel: return answer == MessageAnswer::Ok || answer == MessageAnswer::Cancel;
    case MessageButtons::YesNo: return answer == MessageAnswer::Yes || answer == MessageAnswer::No;
    }
    return false;
}

// The answer that changes nothing, given when the script has none.
MessageAnswer safeAnswer(MessageButtons buttons)
{
    switch (buttons) {
    case MessageButtons::Ok: return MessageAnswer::Ok;
    case MessageButtons::OkCancel: return MessageAnswer::Cancel;
    case MessageButtons::YesNo: return MessageAnswer::No;
    }
    return MessageAnswer::Cancel;
}

const std::vector<std::string>& noTexts()
{
    static const std::vector<std::string> empty;
    return empty;
}

} // namespace

FakeHost::~FakeHost()
{
    // Unused answers usually mean the tool skipped a question the test expected.
    if (!m_answers.empty())
        ADD_FAILURE() << "FakeHost: " << m_answers.size() << " scripted message answer(s) were never used";
}

void FakeHost::answerMessage(MessageAnswer answer) { m_answers.push_back(answer); }
void FakeHost::answerInput(std::optional<std::string> text) { m_inputAnswers.push_back(std::move(text)); }
void FakeHost::answerFolder(std::optional<std::string> windowsPath) { m_folderAnswers.push_back(std::move(windowsPath)); }
void FakeHost::answerFileOrFolder(std::optional<std::string> windowsPath)
{
    m_fileOrFolderAnswers.push_back(std::move(windowsPath));
}
void FakeHost::onPump(int n, std::function<void()> action) { m_pumpActions.emplace(n, std::move(action)); }
void FakeHost::onEveryPump(std::function<void()> action) { m_everyPump.push_back(std::move(action)); }
void FakeHost::onNextMessage(std::function<void()> action) { m_messageActions.push_back(std::move(action)); }

std::vector<std::string> FakeHost::messageTexts() const
{
    std::vector<std::string> texts;
    for (const RecordedMessage& message : m_messages)
        texts.push_back(message.text);
    return texts;
}

bool FakeHost::shownMessage(std::string_view text) const
{
    return std::any_of(m_messages.begin(), m_messages.end(),
                       [&](const RecordedMessage& message) { return message.text == text; });
}

std::string FakeHost::statusText(StatusPanel panel) const
{
    const auto found = m_status.find(panel);
    return found == m_status.end() || found->second.empty() ? std::string() : found->second.back();
}

const std::vector<std::string>& FakeHost::statusHistory(StatusPanel panel) const
{
    const auto found = m_status.find(panel);
    return found == m_status.end() ? noTexts() : found->second;
}

void FakeHost::drainPosted()
{
    for (;;) {
        std::function<void()> work;
        {
            std::lock_guard lock(m_postMutex);
            if (m_posted.empty())
                return;
            work = std::move(m_posted.front());
            m_posted.pop_front();
        }
        work();
    }
}

size_t FakeHost::pendingPosted() const
{
    std::lock_guard lock(m_postMutex);
    return m_posted.size();
}

std::string FakeHost::captionOf(MessageKind kind)
{
    switch (kind) {
    case MessageKind::Warning: return "Warning";
    case MessageKind::Error: return "Error";
    case MessageKind::Information: return "Information";
    case MessageKind::Confirmation: return "Confirm";
    case MessageKind::Plain: return "";
    }
    return "";
}

void FakeHost::setStatusText(StatusPanel panel, std::string_view text) { m_status[panel].emplace_back(text); }
void FakeHost::repaintStatusBar() { ++m_repaints; }

void FakeHost::setAnimationActive(bool active)
{
    m_animation = active;
    m_animationHistory.push_back(active);
}

void FakeHost::setNavigationEnabled(bool enabled)
{
    m_navigation = enabled;
    m_navigationHistory.push_back(enabled);
}

void FakeHost::pumpEvents()
{
    ++m_pumps;
    drainPosted();
    // Taken out before running, so that an action may schedule further actions.
    const auto [first, last] = m_pumpActions.equal_range(m_pumps);
    std::vector<std::function<void()>> due;
    for (auto it = first; it != last; ++it)
        due.push_back(std::move(it->second));
    m_pumpActions.erase(first, last);
    for (auto& action : due)
        action();
    for (size_t i = 0; i < m_everyPump.size(); ++i)
        m_everyPump[i]();
}

MessageAnswer FakeHost::messageBox(MessageKind kind, std::string_view text, MessageButtons buttons)
{
    if (!m_messageActions.empty()) {
        auto action = std::move(m_messageActions.front());
        m_messageActions.pop_front();
        action();
    }
    RecordedMessage message{kind, captionOf(kind), std::string(text), buttons, MessageAnswer::Ok};
    if (buttons != MessageButtons::Ok) {
        if (m_answers.empty()) {
            ADD_FAILURE() << "FakeHost: no scripted answer for the " << buttonsName(buttons) << " box \"" << text << "\"";
            message.answer = safeAnswer(buttons);
        } else {
            message.answer = m_answers.front();
            m_answers.pop_front();
            if (!offers(buttons, message.answer)) {
                ADD_FAILURE() << "FakeHost: the scripted answer is not a button of the " << buttonsName(buttons)
                              << " box \"" << text << "\"";
                message.answer = safeAnswer(buttons);
            }
        }
    }
    m_messages.push_back(message);
    return message.answer;
}

std::string FakeHost::inputBox(std::string_view caption, std::string_view prompt, std::string_view defaultText)
{
    m_inputs.push_back({std::string(caption), std::string(prompt), std::string(defaultText)});
    if (m_inputAnswers.empty()) {
        ADD_FAILURE() << "FakeHost: no scripted answer for the input box \"" << caption << "\"";
        return std::string(defaultText);
    }
    std::optional<std::string> answer = std::move(m_inputAnswers.front());
    m_inputAnswers.pop_front();
    return answer ? *answer : std::string(defaultText);
}

std::optional<std::string> FakeHost::pickFolder(std::string_view prompt)
{
    m_folderPrompts.emplace_back(prompt);
    if (m_folderAnswers.empty()) {
        ADD_FAILURE() << "FakeHost: no scripted answer for the folder picker \"" << prompt << "\"";
        return std::nullopt;
    }
    std::optional<std::string> answer = std::move(m_folderAnswers.front());
    m_folderAnswers.pop_front();
    return answer;
}

std::optional<std::string> FakeHost::pickFileOrFolder(std::string_view prompt)
{
    m_fileOrFolderPrompts.emplace_back(prompt);
    if (m_fileOrFolderAnswers.empty()) {
        ADD_FAILURE() << "FakeHost: no scripted answer for the file-or-folder picker \"" << prompt << "\"";
        return std::nullopt;
    }
    std::optional<std::string> answer = std::move(m_fileOrFolderAnswers.front());
    m_fileOrFolderAnswers.pop_front();
    return answer;
}

void FakeHost::post(std::function<void()> work)
{
    std::lock_guard lock(m_postMutex);
    m_posted.push_back(std::move(work));
}

} // namespace tw::test
