#pragma once

#include "db/Field.h"
#include "db/RecordFilter.h"

#include <QString>

#include <deque>
#include <map>
#include <optional>
#include <vector>

enum class TDataSetState { Inactive, Browse, Edit };

struct TLocateOptions {
    bool CaseInsensitive = false;
    bool PartialKey = false; // text fields: the value is a prefix
};

// The common cursor of queries and tables: a result that is read forward or
// backward from its first record, with fields by name and number and a record
// filter. All rows that pass the filter are known once the dataset is open, so
// RecordCount is exact. Not thread-safe: one thread uses a dataset at a time.
class TDataSet {
public:
    TDataSet();
    virtual ~TDataSet();
    TDataSet(const TDataSet&) = delete;
    TDataSet& operator=(const TDataSet&) = delete;

    // Opens the dataset and moves to its first record. Raises EDBEngineError
    // when the source cannot be read or the filter does not fit its fields; the
    // dataset then stays closed. Opening an open dataset does nothing.
    void Open();
    // Closes the dataset; a pending edit is cancelled. Closing a closed one does nothing.
    void Close();
    bool Active() const { return FState != TDataSetState::Inactive; }
    void SetActive(bool active);
    TDataSetState State() const { return FState; }

    // Moving posts a pending edit first (see Post). Eof is true after Next from the last record and
    // on an empty result; Bof after Prior from the first and on an empty result. Raises
    // EDBEngineError(ClosedDataset) on a closed dataset.
    void First();
    void Next();
    void Prior();
    void Last();
    bool Eof() const;
    bool Bof() const;
    // The number of records that pass the filter.
    int RecordCount() const;
    bool IsEmpty() const { return RecordCount() == 0; }
    // 1-based number of the current record among those that pass; 0 when empty.
    int RecNo() const;

    int FieldCount() const { return static_cast<int>(FFields.size()); }
    // 0-based. Raises EDBEngineError(NotFound) for a number out of range.
    TField& Fields(int index);
    // By name, without regard to case. FieldByName raises EDBEngineError(NotFound)
    // naming the field; FindField returns nullptr.
    TField& FieldByName(const QString& name);
    TField* FindField(const QString& name);

    // The record filter: an expression over the fields (see TRecordFilter). It
    // applies while Filtered is set; an empty text lets every record pass.
    // Changing either on an open dataset re-applies it and moves to the first record.
    const QString& Filter() const { return FFilter; }
    void SetFilter(const QString& filter);
    bool Filtered() const { return FFiltered; }
    void SetFiltered(bool filtered);

    // Moves to the first record (among those that pass) whose field equals
    // `value` and returns true; returns false and stays put when none does.
    bool Locate(const QString& fieldName, const TValue& value, TLocateOptions options = {});

    // Editing of single records; queries are read-only and raise EDBEngineError.
    // Edit puts the current record into edit state; Post writes the fields that
    // were set; Cancel drops them.
    virtual void Edit();
    virtual void Post();
    virtual void Cancel();

    // A short name for error messages: the table file or "query".
    virtual QString DisplayName() const = 0;

protected:
    // Reads the source: sets the field definitions and the number of source rows.
    virtual void DoOpen(std::vector<TFieldDef>& fields) = 0;
    virtual void DoClose() = 0;
    virtual int SourceRowCount() const = 0;
    virtual TValue SourceValue(int row, int field) const = 0;

    // For subclasses that edit: the source row of the current record (-1 when
    // none), the values set since Edit(), state changes.
    int CurrentSourceRow() const;
    const std::map<int, TValue>& PendingChanges() const { return FPending; }
    void SetState(TDataSetState state);
    void CheckBrowseMode();
    // Makes the record of source row `row` current when it passes the filter.
    bool MoveToSourceRow(int row);
    void ClearPending() { FPending.clear(); }
    void RequireActive() const;

private:
    friend class TField;
    TValue CurrentValue(int field) const;
    void SetCurrentValue(int field, const TValue& value);
    void ApplyFilter();

    TDataSetState FState = TDataSetState::Inactive;
    std::deque<TField> FFields; // deque: field references stay valid
    std::vector<int> FRows;     // source rows that pass the filter, in order
    int FCurrent = 0;           // index into FRows
    bool FEof = true;
    bool FBof = true;
    QString FFilter;
    bool FFiltered = false;
    std::map<int, TValue> FPending;
};
