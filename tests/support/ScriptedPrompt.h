#pragma once

#include "platform/Prompt.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <vector>

// A TPrompt for tests. Each expected prompt is queued with its answer, in the
// order the code under test shows them; texts are compared exactly. A prompt
// that does not match the next expectation fails the test at once (and throws
// EUnexpectedPrompt, which no std::exception guard catches); expectations left
// unused fail the test when the object is destroyed. Every prompt shown is
// recorded in Shown() as "<Kind>: <text>".
class TScriptedPrompt : public TPrompt {
public:
    struct EUnexpectedPrompt {
        QString Shown;
    };

    TScriptedPrompt() = default;
    TScriptedPrompt(const TScriptedPrompt&) = delete;
    TScriptedPrompt& operator=(const TScriptedPrompt&) = delete;
    ~TScriptedPrompt() override;

    TScriptedPrompt& ExpectMessage(const QString& text, TMsgType type, TMsgButtons buttons,
                                   TMsgAnswer answer = TMsgAnswer::Ok);
    TScriptedPrompt& ExpectStandardError(const QString& text);
    // The dialog `name` returns `result` without running.
    TScriptedPrompt& ExpectModal(const QString& name, int result);
    // The folder browser with `caption` returns `folder` (empty: cancelled).
    TScriptedPrompt& ExpectBrowseFolder(const QString& caption, const QString& folder);
    // Printing `documentName` succeeds, or raises std::runtime_error(`error`)
    // when `error` is not empty. The job is kept in PrintedJobs().
    TScriptedPrompt& ExpectPrint(const QString& documentName, const QString& error = QString());

    const QStringList& Shown() const { return FShown; }
    const std::vector<TPrintJob>& PrintedJobs() const { return FPrinted; }
    // Expectations not yet used.
    std::size_t Pending() const { return FExpected.size(); }

    TMsgAnswer Message(const QString& text, TMsgType type, TMsgButtons buttons) override;
    void StandardError(const QString& text) override;
    int ShowModal(const QString& name, const std::function<int()>& run) override;
    QString BrowseFolder(const QString& caption, const QString& startFolder) override;
    void Print(const TPrintJob& job) override;

private:
    struct TExpected {
        QString Description; // "<Kind>: <text>", as recorded in Shown()
        TMsgAnswer Answer = TMsgAnswer::Ok;
        int Result = 0;
        QString Text; // folder or print error
    };

    // Records `description` and pops the matching expectation, or fails.
    TExpected Take(const QString& description);

    std::deque<TExpected> FExpected;
    QStringList FShown;
    std::vector<TPrintJob> FPrinted;
};

// How a prompt is described in Shown(), e.g. "Message(Warning, Ok): Unable to Copy:/x".
QString DescribeMessage(const QString& text, TMsgType type, TMsgButtons buttons);
