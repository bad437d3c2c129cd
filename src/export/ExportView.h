#pragma once

#include <QString>

// What an export run shows while it works: the export window maps these onto
// its caption, log box, progress bar and buttons; the command line prints the
// log. Every call has a do-nothing default.
class TExportView {
public:
    virtual ~TExportView() = default;

    virtual void SetCaption(const QString& /*caption*/) {}
    // Ok and Print: disabled while a run works, enabled when it reached its end.
    virtual void SetButtonsEnabled(bool /*enabled*/) {}
    virtual void ClearLog() {}
    virtual void AppendLog(const QString& /*line*/) {}
    // The progress of the line builders that read many rows.
    virtual void SetProgressMaximum(int /*maximum*/) {}
    virtual void SetProgressPosition(int /*position*/) {}
};
