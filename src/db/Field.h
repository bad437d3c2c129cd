#pragma once

#include "db/format/ParadoxTypes.h"

#include <QDateTime>
#include <QString>

class TDataSet;

// One column of an open dataset: its definition and the value it holds in the
// dataset's current record. A field object lives as long as its dataset stays
// open; reading it on an empty dataset gives a blank value.
class TField {
public:
    TField(TDataSet& dataSet, TFieldDef def) : FDataSet(&dataSet), FDef(std::move(def)) {}

    const QString& FieldName() const { return FDef.Name; }
    TFieldType DataType() const { return FDef.Type; }
    // Text fields: the width in characters of the source column; other types:
    // their size in the record.
    int Size() const { return FDef.Size; }
    int FieldNo() const { return FDef.Number; } // 1-based
    const TFieldDef& Def() const { return FDef; }

    // The current record's value; std::monostate when blank. In edit state the
    // value given to SetValue since Edit().
    TValue Value() const;
    bool IsNull() const { return IsBlank(Value()); }
    // Conversions as the program reads fields: a blank gives "", 0, 0.0, false or
    // an invalid date-time. A text that is no number raises EDBEngineError.
    QString AsString() const;
    qint64 AsInteger() const;
    double AsFloat() const;
    bool AsBoolean() const;
    QDateTime AsDateTime() const;

    // Changes the value of the record in edit (see TDataSet::Edit). The value
    // is converted to the field's type; raises EDBEngineError when the dataset
    // is not in edit state or the value does not convert.
    void SetValue(const TValue& value);
    void SetAsString(const QString& text) { SetValue(TValue(text)); }

private:
    TDataSet* FDataSet;
    TFieldDef FDef;
};

// The text of a value as the program shows it: numbers in C locale with up to
// 15 significant digits, dates in ISO form, a blank as "".
QString ValueToText(const TValue& value);
// Converts `value` to the representation of `type` (qint64 for integers, double
// for numbers, ...). Raises EDBEngineError naming `what` when it does not convert.
TValue ConvertValue(const TValue& value, TFieldType type, const QString& what);
