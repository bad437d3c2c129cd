#pragma once

#include <QString>

#include <functional>

// The kind of a message box: its icon and its buttons.
enum class TMsgType { Information, Warning, Error, Confirmation };
enum class TMsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class TMsgAnswer { Ok, Cancel, Yes, No };

// A document to print: its name in the print queue and its text.
struct TPrintJob {
    QString DocumentName;
    QString Text; // plain text or rich text (HTML)
    bool RichText = false;
};

// Every message box, the standard error box, every modal dialog, the folder
// browser and printing go through this one interface, so that tests answer
// and check them. Implementations: TQtPrompt (the real boxes) and
// TScriptedPrompt (tests).
class TPrompt {
public:
    virtual ~TPrompt() = default;

    // Shows a message box with `text` and returns the button pressed.
    virtual TMsgAnswer Message(const QString& text, TMsgType type, TMsgButtons buttons) = 0;
    // The application's standard error box for an error that reached no guard.
    virtual void StandardError(const QString& text) = 0;
    // Shows a modal dialog, identified by `name` (its class name); `run`
    // executes the real dialog and returns its modal result. A test double
    // answers with a scripted result instead of calling `run`.
    virtual int ShowModal(const QString& name, const std::function<int()>& run) = 0;
    // The folder browser. Returns the chosen folder, or an empty text when cancelled.
    virtual QString BrowseFolder(const QString& caption, const QString& startFolder) = 0;
    // Prints on the default printer without a dialog. Raises std::runtime_error
    // when there is no default printer or the print fails.
    virtual void Print(const TPrintJob& job) = 0;
};
