#pragma once

#include "SampleProject.h"

#include <QDateTime>
#include <QString>

#include <filesystem>

// One project as the project list records it, with what was written for it.
struct TProjectSummary {
    QString LongName;
    QString ShortName;
    QDateTime Modified;
    QString Password;
    TProjectCounts Counts;
};

// Each writes one project into projectsFolder/<ShortName> and returns its
// summary. Raises EDBEngineError or std::runtime_error when a table cannot be
// written.

// Two phases, A100 Foundation and B200 Framing, whose labour and material add
// up to the figures of the documented export example.
TProjectSummary WriteWorkedExample(const std::filesystem::path& projectsFolder);

// A mid-sized fit-out estimate with the awkward cases an export meets.
TProjectSummary WriteClinicEstimate(const std::filesystem::path& projectsFolder);

// `lineItems` line items of five cost lines each, over the clinic's catalogue,
// streamed so that memory stays flat.
TProjectSummary WriteScaledEstimate(const std::filesystem::path& projectsFolder, qint64 lineItems);
