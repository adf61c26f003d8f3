#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include "support/fakehost.h"

// The scripted window the drive cleaner tests rely on: a test that forgets an
// answer must fail, and scripted actions must run where they are promised.
namespace tw::test {
namespace {

TEST(FakeHost, RecordsBoxesWithTheirCaptionsAndAnswersFromTheScript)
{
    FakeHost host;
    host.answerMessage(MessageAnswer::Yes);
    EXPECT_EQ(host.messageBox(MessageKind::Confirmation, "Delete files?", MessageButtons::YesNo), MessageAnswer::Yes);
    EXPECT_EQ(host.messageBox(MessageKind::Information, "Complete.", MessageButtons::Ok), MessageAnswer::Ok);
    ASSERT_EQ(host.messages().size(), 2u);
    EXPECT_EQ(host.messages()[0].caption, "Confirm");
    EXPECT_EQ(host.messages()[1].caption, "Information");
    EXPECT_EQ(FakeHost::captionOf(MessageKind::Plain), "");
    EXPECT_EQ(host.messageTexts(), (std::vector<std::string>{"Delete files?", "Complete."}));
}

TEST(FakeHost, AnEmptyScriptFailsTheTestAndAnswersSafely)
{
    FakeHost host;
    MessageAnswer answer = MessageAnswer::Yes;
    EXPECT_NONFATAL_FAILURE(answer = host.messageBox(MessageKind::Confirmation, "Delete files?", MessageButtons::YesNo),
                            "no scripted answer");
    EXPECT_EQ(answer, MessageAnswer::No);
    std::optional<std::string> folder = "x";
    EXPECT_NONFATAL_FAILURE(folder = host.pickFolder("Pick"), "no scripted answer");
    EXPECT_FALSE(folder);
}

TEST(FakeHost, AnAnswerThatIsNoButtonOfTheBoxFails)
{
    FakeHost host;
    host.answerMessage(MessageAnswer::Ok);
    EXPECT_NONFATAL_FAILURE(host.messageBox(MessageKind::Confirmation, "Sure?", MessageButtons::YesNo),
                            "not a button");
}

TEST(FakeHost, UnusedAnswersFailWhenTheHostGoes)
{
    EXPECT_NONFATAL_FAILURE(
        {
            FakeHost host;
            host.answerMessage(MessageAnswer::Yes);
        },
        "never used");
}

TEST(FakeHost, PumpRunsPostedWorkAndTheNthAction)
{
    FakeHost host;
    std::vector<std::string> log;
    host.onPump(2, [&] { log.push_back("second pump"); });
    host.post([&] { log.push_back("posted"); });
    EXPECT_TRUE(log.empty()) << "posted work waits for the window's message loop";
    host.pumpEvents();
    host.pumpEvents();
    host.pumpEvents();
    EXPECT_EQ(log, (std::vector<std::string>{"posted", "second pump"}));
    EXPECT_EQ(host.pumpCount(), 3);
}

TEST(FakeHost, InputBoxCancelReturnsTheDefault)
{
    FakeHost host;
    host.answerInput(std::nullopt);
    host.answerInput("typed");
    EXPECT_EQ(host.inputBox("New entry", "Enter new", "old"), "old");
    EXPECT_EQ(host.inputBox("New entry", "Enter new", "old"), "typed");
    EXPECT_EQ(host.inputs().size(), 2u);
}

TEST(FakeHost, StatusPanelsKeepTheirHistories)
{
    FakeHost host;
    host.setStatusText(StatusPanel::State, "Search for junk file...");
    host.setStatusText(StatusPanel::State, "Search done");
    host.setStatusText(StatusPanel::Details, "");
    host.setAnimationActive(true);
    host.setAnimationActive(false);
    EXPECT_EQ(host.statusText(StatusPanel::State), "Search done");
    EXPECT_EQ(host.statusHistory(StatusPanel::State).size(), 2u);
    EXPECT_EQ(host.statusText(StatusPanel::Animation), "");
    EXPECT_EQ(host.animationHistory(), (std::vector<bool>{true, false}));
}

} // namespace
} // namespace tw::test
