#pragma once

#include "platform/Prompt.h"

#include <cstdio>

// The prompt of the command line: every message text goes to standard error
// exactly as the windowed program shows it in its box, and nothing ever waits
// for input. A confirmation is answered with the answer the command's options
// gave; other boxes with their first button.
class TConsolePrompt : public TPrompt {
public:
    explicit TConsolePrompt(std::FILE* out = stderr) : FOut(out) {}

    // The answer to confirmations (Yes/No questions).
    void SetConfirmAnswer(bool yes) { FConfirmYes = yes; }

    TMsgAnswer Message(const QString& text, TMsgType type, TMsgButtons buttons) override;
    void StandardError(const QString& text) override;
    // There are no dialogs on the command line: the dialog is taken as cancelled.
    int ShowModal(const QString& name, const std::function<int()>& run) override;
    QString BrowseFolder(const QString& caption, const QString& startFolder) override;
    // Raises std::runtime_error: the command line does not print.
    void Print(const TPrintJob& job) override;

    // Writes `text` and a line break.
    void WriteLine(const QString& text);

private:
    std::FILE* FOut;
    bool FConfirmYes = false;
};
