#pragma once

#include "db/format/ParadoxTable.h"

#include <QString>

// How varnel-table writes one value as a tab-separated cell: a blank is an
// empty cell, dates and times are ISO 8601, numbers are in their shortest
// round-trip form, text has backslash, tab and line breaks escaped (\\, \t,
// \n), and binary values are written as "<N bytes>".
QString CellText(const TFieldDef& field, const TValue& value);
