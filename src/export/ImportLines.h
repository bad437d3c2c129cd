#pragma once

#include <QString>
#include <QStringList>

// The lines of the three import files. Texts (job number, phase and task
// names, export identifiers) are written unchanged: no quotes, no escaping, no
// trimming. Times and values carry three decimals, the rate two, with the
// given decimal point (see FormatImportNumber); the field separator is a comma.
namespace ImportLines {

inline constexpr const char* JobHeader = "JOB_NUMBER,MATERIAL_VALUE,TIME_QTY,TIME_RATE";
inline constexpr const char* SubJobsHeader = "JOB_NUMBER,SUBJOB,TIME_QTY";
inline constexpr const char* TasksHeader = "JOB_NUMBER,SUBJOB, TIME_QTY,TASK, TASK_ID";

// "A100: Foundation": the phase name, a colon and a blank, the description.
QString SubJobName(const QString& phaseName, const QString& phaseDesct);

// The job line; the rate is labour cost / labour time, 0 when the time is 0.
QString JobLine(const QString& jobNumber, double materialValue, double timeQty, double timeValue,
                const QString& decimalPoint);
// A sub-jobs line: job number, sub-job name, labour time.
QString SubJobLine(const QString& jobNumber, const QString& subJob, double timeQty,
                   const QString& decimalPoint);
// A tasks line; the sub-job is "00" when phases are not exported separately.
QString TaskLine(const QString& jobNumber, const QString& subJob, double timeQty,
                 const QString& task, const QString& exportName, const QString& decimalPoint);

} // namespace ImportLines
