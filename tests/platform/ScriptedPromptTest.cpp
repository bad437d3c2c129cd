#include "support/ScriptedPrompt.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <stdexcept>

namespace {

TEST(ScriptedPrompt, AnswersInOrderAndRecordsWhatWasShown) {
    TScriptedPrompt prompt;
    prompt
        .ExpectMessage(QStringLiteral("Write back?"), TMsgType::Confirmation, TMsgButtons::YesNo,
                       TMsgAnswer::No)
        .ExpectModal(QStringLiteral("TLoginFrm"), 1)
        .ExpectBrowseFolder(QStringLiteral("Inbox"), QStringLiteral("/in"))
        .ExpectPrint(QStringLiteral("Export log"), QStringLiteral("No default printer"))
        .ExpectStandardError(QStringLiteral("boom"));
    EXPECT_EQ(
        prompt.Message(QStringLiteral("Write back?"), TMsgType::Confirmation, TMsgButtons::YesNo),
        TMsgAnswer::No);
    bool ran = false;
    EXPECT_EQ(prompt.ShowModal(QStringLiteral("TLoginFrm"), [&] { return ran = true, 2; }), 1);
    EXPECT_FALSE(ran);
    EXPECT_EQ(prompt.BrowseFolder(QStringLiteral("Inbox"), QStringLiteral("/")), "/in");
    EXPECT_THROW(prompt.Print({QStringLiteral("Export log"), QStringLiteral("text"), false}),
                 std::runtime_error);
    prompt.StandardError(QStringLiteral("boom"));
    EXPECT_EQ(prompt.Pending(), 0u);
    EXPECT_EQ(prompt.Shown(),
              (QStringList{"Message(Confirmation, YesNo): Write back?", "ShowModal: TLoginFrm",
                           "BrowseFolder: Inbox", "Print: Export log", "StandardError: boom"}));
}

TEST(ScriptedPrompt, AnUnexpectedPromptFailsAtOnce) {
    EXPECT_NONFATAL_FAILURE(
        {
            TScriptedPrompt prompt;
            prompt.ExpectMessage(QStringLiteral("a"), TMsgType::Warning, TMsgButtons::Ok);
            try {
                prompt.Message(QStringLiteral("b"), TMsgType::Warning, TMsgButtons::Ok);
            } catch (const TScriptedPrompt::EUnexpectedPrompt& e) {
                EXPECT_EQ(e.Shown, "Message(Warning, Ok): b");
            }
            prompt.Message(QStringLiteral("a"), TMsgType::Warning, TMsgButtons::Ok);
        },
        "Unexpected prompt: Message(Warning, Ok): b");
}

TEST(ScriptedPrompt, AnAnswerNeverUsedFailsAtTheEnd) {
    EXPECT_NONFATAL_FAILURE(
        {
            TScriptedPrompt prompt;
            prompt.ExpectStandardError(QStringLiteral("never"));
        },
        "Expected prompt never shown: StandardError: never");
}

} // namespace
