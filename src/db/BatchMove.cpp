#include "db/BatchMove.h"

#include "db/Session.h"
#include "db/Table.h"
#include "db/format/DBEngineError.h"
#include "db/format/ParadoxTable.h"

int TBatchMove::Execute() {
    FMovedCount = 0;
    if (!FSource || !FDestination)
        throw EDBEngineError(DBErrorCode::General,
                             QStringLiteral("Batch move: source or destination missing"));
    if (FDestination->Active())
        throw EDBEngineError(DBErrorCode::General,
                             QStringLiteral("Batch move: the destination table is open: %1")
                                 .arg(FDestination->TableName()));
    if (FDestination->DatabaseName().isEmpty() || FDestination->TableName().isEmpty())
        throw EDBEngineError(
            DBErrorCode::NotFound,
            QStringLiteral("Batch move: the destination has no folder or table name"));
    const bool wasOpen = FSource->Active();
    FSource->Open();
    struct TCloser {
        TDataSet* D;
        bool Keep;
        ~TCloser() {
            if (!Keep)
                D->Close();
        }
    } closer{FSource, wasOpen};

    std::vector<int> columns;
    std::vector<TFieldDef> defs;
    auto add = [&](const QString& dest, const QString& source) {
        const TField& f = FSource->FieldByName(source);
        TFieldDef def = f.Def();
        def.Name = dest;
        // Values are copied as they are: a counter column becomes a plain integer.
        if (def.Type == TFieldType::AutoInc)
            def.Type = TFieldType::Long;
        def.Number = static_cast<int>(defs.size()) + 1;
        defs.push_back(def);
        columns.push_back(f.FieldNo() - 1);
    };
    if (FMappings.isEmpty()) {
        for (int i = 0; i < FSource->FieldCount(); ++i)
            add(FSource->Fields(i).FieldName(), FSource->Fields(i).FieldName());
    } else {
        for (const QString& m : FMappings) {
            const auto eq = m.indexOf(QLatin1Char('='));
            add(eq < 0 ? m : m.left(eq).trimmed(), eq < 0 ? m : m.mid(eq + 1).trimmed());
        }
    }

    const std::filesystem::path folder = FDestination->DatabaseName().toStdString();
    QString name = FDestination->TableName();
    if (!name.contains(QLatin1Char('.')))
        name += QStringLiteral(".db");
    if (const auto existing = FindTableFile(folder, name)) {
        DeleteParadoxTable(*existing);
        Session().TableChanged(*existing);
    }
    const std::filesystem::path file = folder / name.toStdString();
    TParadoxWriter writer(file, defs);
    std::vector<TValue> values(columns.size());
    int count = 0;
    for (FSource->First(); !FSource->Eof(); FSource->Next()) {
        for (std::size_t i = 0; i < columns.size(); ++i)
            values[i] = FSource->Fields(columns[i]).Value();
        if (FRecordHook)
            FRecordHook(values);
        writer.Append(values);
        ++count;
    }
    writer.Commit();
    Session().TableChanged(file);
    FMovedCount = count;
    return count;
}
