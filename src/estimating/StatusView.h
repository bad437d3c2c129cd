#pragma once

#include <QString>

// Where a long operation reports: the status text (which the implementation
// also writes to the diagnostic log) and a progress bar from 0 to a maximum.
class TStatusView {
public:
    virtual ~TStatusView() = default;
    virtual void ShowStatus(const QString& text) = 0;
    virtual void SetProgressMaximum(int maximum) = 0;
    virtual void SetProgressPosition(int position) = 0;
};
