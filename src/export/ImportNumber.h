#pragma once

#include <QString>

// Writes `value` in plain decimal notation with exactly `places` digits after
// `decimalPoint`: the value is first expressed with 18 significant digits and
// that decimal text is rounded half away from zero at the last written place
// (0.0625 -> 0.063; 1.0005, stored just below the half, -> 1.000). No digit
// grouping, a leading minus for a negative value that does not round to zero.
// Infinities and NaN are written INF, -INF and NAN.
QString FormatImportNumber(double value, int places, const QString& decimalPoint);
