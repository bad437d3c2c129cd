#pragma once

#include "platform/Prompt.h"

class QWidget;

// The real message boxes, dialogs, folder browser and printer. Boxes carry the
// application's display name as their title and belong to `parent` (or the
// active window when none is given).
class TQtPrompt : public TPrompt {
public:
    explicit TQtPrompt(QWidget* parent = nullptr) : FParent(parent) {}

    TMsgAnswer Message(const QString& text, TMsgType type, TMsgButtons buttons) override;
    void StandardError(const QString& text) override;
    int ShowModal(const QString& name, const std::function<int()>& run) override;
    QString BrowseFolder(const QString& caption, const QString& startFolder) override;
    // Raises std::runtime_error "No default printer" when none is set up, and
    // "Printing failed" when the printer reports an error.
    void Print(const TPrintJob& job) override;

private:
    QWidget* Parent() const;

    QWidget* FParent;
};
