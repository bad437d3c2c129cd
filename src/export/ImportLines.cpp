#include "export/ImportLines.h"

#include "export/ImportNumber.h"

namespace ImportLines {

QString SubJobName(const QString& phaseName, const QString& phaseDesct) {
    return phaseName + QLatin1String(": ") + phaseDesct;
}

QString JobLine(const QString& jobNumber, double materialValue, double timeQty, double timeValue,
                const QString& decimalPoint) {
    const double rate = timeQty != 0 ? timeValue / timeQty : 0;
    return jobNumber + QLatin1Char(',') + FormatImportNumber(materialValue, 3, decimalPoint) +
           QLatin1Char(',') + FormatImportNumber(timeQty, 3, decimalPoint) + QLatin1Char(',') +
           FormatImportNumber(rate, 2, decimalPoint);
}

QString SubJobLine(const QString& jobNumber, const QString& subJob, double timeQty,
                   const QString& decimalPoint) {
    return jobNumber + QLatin1Char(',') + subJob + QLatin1Char(',') +
           FormatImportNumber(timeQty, 3, decimalPoint);
}

QString TaskLine(const QString& jobNumber, const QString& subJob, double timeQty,
                 const QString& task, const QString& exportName, const QString& decimalPoint) {
    return SubJobLine(jobNumber, subJob, timeQty, decimalPoint) + QLatin1Char(',') + task +
           QLatin1Char(',') + exportName;
}

} // namespace ImportLines
