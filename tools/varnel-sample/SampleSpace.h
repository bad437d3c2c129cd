#pragma once

#include "SampleProjects.h"

#include <filesystem>
#include <optional>
#include <vector>

// Writes a complete project space into `outDir`, which must be absent or
// empty: System/Projname.db, System/Users.db, Projects/<ShortName>/ for the
// worked example, the clinic estimate and, when `scaledLineItems` is given,
// the scaled estimate, and Registry.reg pointing at the space. Returns the
// projects in the order of the project list. Raises std::runtime_error (or
// EDBEngineError from the table writer) on failure.
std::vector<TProjectSummary> WriteSampleSpace(const std::filesystem::path& outDir,
                                              std::optional<qint64> scaledLineItems);
