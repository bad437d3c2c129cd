#pragma once

#include "db/format/ParadoxTypes.h"

#include <QString>

#include <functional>
#include <memory>
#include <vector>

// A record filter: comparisons (=, <>, <, >, <=, >=) of fields with numbers,
// quoted texts ('..' or "..") or other fields, joined by AND, OR, NOT and
// parentheses, as in "(PhaseID=12) OR (PhaseID=15)" or "Link_Phs=12". Field
// names are matched without regard to case; [Name With Blanks] is a field too.
// A comparison with a blank value is false; text compares case-sensitively.
class TRecordFilter {
public:
    // An empty filter: every record passes.
    TRecordFilter();
    // Parses `text` against `fields`. Raises EDBEngineError(SqlSyntax) for text
    // that is no expression, EDBEngineError(NotFound) naming an unknown field, and
    // EDBEngineError(General) for a constant that does not fit its field's type.
    static TRecordFilter Parse(const QString& text, const std::vector<TFieldDef>& fields);
    ~TRecordFilter();
    TRecordFilter(TRecordFilter&&) noexcept;
    TRecordFilter& operator=(TRecordFilter&&) noexcept;

    bool IsEmpty() const { return !FRoot; }
    // True when the record whose field values `value(i)` gives passes.
    bool Accepts(const std::function<TValue(int field)>& value) const;

    struct TNode;

private:
    std::unique_ptr<TNode> FRoot;
};
