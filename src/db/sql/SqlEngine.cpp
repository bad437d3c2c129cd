#include "db/sql/SqlEngine.h"

#include "db/Field.h"
#include "db/format/DBEngineError.h"
#include "db/format/ParadoxTable.h"
#include "db/sql/SqlDialect.h"

#include <QStringList>

#include <sqlite3.h>

#include <algorithm>
#include <map>
#include <optional>

namespace {

[[noreturn]] void SqliteError(sqlite3* db, int code, const QString& what) {
    throw EDBEngineError(code,
                         QStringLiteral("%1: %2").arg(what, QString::fromUtf8(sqlite3_errmsg(db))));
}

const char* Affinity(TFieldType type) {
    switch (type) {
    case TFieldType::Short:
    case TFieldType::Long:
    case TFieldType::AutoInc:
    case TFieldType::Logical:
        return "INTEGER";
    case TFieldType::Number:
    case TFieldType::Money:
    case TFieldType::BCD:
        return "REAL";
    case TFieldType::Binary:
    case TFieldType::Ole:
    case TFieldType::Graphic:
    case TFieldType::Bytes:
        return "BLOB";
    default:
        return "TEXT";
    }
}

QString QuoteIdent(const QString& s) {
    QString q = s;
    q.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

// Dates and times are stored as text in the form ValueToText gives them
// (yyyy-MM-dd HH:mm:ss.zzz), which sorts in time order.
void Bind(sqlite3_stmt* stmt, int index, const TValue& value) {
    struct TVisitor {
        sqlite3_stmt* S;
        int I;
        void Text(const QByteArray& b) const {
            sqlite3_bind_text(S, I, b.constData(), static_cast<int>(b.size()), SQLITE_TRANSIENT);
        }
        void operator()(std::monostate) const { sqlite3_bind_null(S, I); }
        void operator()(bool b) const { sqlite3_bind_int(S, I, b ? 1 : 0); }
        void operator()(qint64 v) const { sqlite3_bind_int64(S, I, v); }
        void operator()(double v) const { sqlite3_bind_double(S, I, v); }
        void operator()(const QString& v) const { Text(v.toUtf8()); }
        void operator()(const QByteArray& v) const {
            sqlite3_bind_blob(S, I, v.constData(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
        }
        void operator()(const QDate& v) const { Text(ValueToText(v).toLatin1()); }
        void operator()(const QTime& v) const { Text(ValueToText(v).toLatin1()); }
        void operator()(const QDateTime& v) const { Text(ValueToText(v).toLatin1()); }
    };
    std::visit(TVisitor{stmt, index}, value);
}

// The column's value in its storage class.
TValue ColumnValue(sqlite3_stmt* stmt, int col) {
    switch (sqlite3_column_type(stmt, col)) {
    case SQLITE_INTEGER:
        return static_cast<qint64>(sqlite3_column_int64(stmt, col));
    case SQLITE_FLOAT:
        return sqlite3_column_double(stmt, col);
    case SQLITE_TEXT:
        return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, col)),
                                 sqlite3_column_bytes(stmt, col));
    case SQLITE_BLOB: {
        const void* data = sqlite3_column_blob(stmt, col);
        return QByteArray(static_cast<const char*>(data), sqlite3_column_bytes(stmt, col));
    }
    default:
        return std::monostate{};
    }
}

class TStatement {
public:
    TStatement(sqlite3* db, const QString& sql, const QString& what) {
        const QByteArray text = sql.toUtf8();
        if (sqlite3_prepare_v2(db, text.constData(), static_cast<int>(text.size()), &FStmt,
                               nullptr) != SQLITE_OK)
            SqliteError(db, DBErrorCode::SqlSyntax, what);
    }
    ~TStatement() { sqlite3_finalize(FStmt); }
    TStatement(const TStatement&) = delete;
    TStatement& operator=(const TStatement&) = delete;
    sqlite3_stmt* Get() const { return FStmt; }

private:
    sqlite3_stmt* FStmt = nullptr;
};

// Appends rows to a table through INSERT statements of many rows each: with
// one row per statement most of a load goes into starting and ending
// statements. Rows keep their order, so the table's rowid order is the order
// of Add.
class TRowInserter {
public:
    TRowInserter(sqlite3* db, const QString& table, int columns, const QString& what)
        : FDb(db), FTable(table), FColumns(columns), FWhat(what),
          FBatchRows(std::max(
              1, std::min(MaxBatchRows, sqlite3_limit(db, SQLITE_LIMIT_VARIABLE_NUMBER, -1) /
                                            std::max(1, columns)))),
          FFull(db, InsertText(FBatchRows), what) {
        FPending.reserve(static_cast<std::size_t>(FBatchRows * FColumns));
    }

    void Add(const TRecordView& record) {
        for (int i = 0; i < FColumns; ++i)
            FPending.push_back(record.Value(i));
        if (FPending.size() == static_cast<std::size_t>(FBatchRows * FColumns))
            Insert(FFull);
    }

    // Inserts the rows of a last, partly filled batch.
    void Finish() {
        if (!FPending.empty()) {
            TStatement rest(FDb, InsertText(static_cast<int>(FPending.size()) / FColumns), FWhat);
            Insert(rest);
        }
    }

private:
    static constexpr int MaxBatchRows = 64;

    QString InsertText(int rows) const {
        QString row = QStringLiteral("(?");
        for (int i = 1; i < FColumns; ++i)
            row += QStringLiteral(",?");
        row += QLatin1Char(')');
        QStringList values;
        for (int r = 0; r < rows; ++r)
            values << row;
        return QStringLiteral("INSERT INTO %1 VALUES %2")
            .arg(QuoteIdent(FTable), values.join(QLatin1Char(',')));
    }

    void Insert(const TStatement& statement) {
        sqlite3_stmt* stmt = statement.Get();
        for (std::size_t i = 0; i < FPending.size(); ++i)
            Bind(stmt, static_cast<int>(i) + 1, FPending[i]);
        const int rc = sqlite3_step(stmt);
        sqlite3_reset(stmt);
        if (rc != SQLITE_DONE)
            SqliteError(FDb, DBErrorCode::General, FWhat);
        FPending.clear();
    }

    sqlite3* FDb;
    QString FTable;
    int FColumns;
    QString FWhat;
    int FBatchRows;
    TStatement FFull;
    std::vector<TValue> FPending;
};

struct TLoaded {
    std::filesystem::path File;
    QString Internal;
    std::uintmax_t Size = 0;
    std::filesystem::file_time_type Time;
    std::vector<TFieldDef> Fields;
};

QString CacheKey(const std::filesystem::path& file) {
    std::error_code ec;
    const std::filesystem::path p =
        std::filesystem::weakly_canonical(std::filesystem::absolute(file), ec);
    return QString::fromStdString((ec ? file : p).string()).toLower();
}

} // namespace

class TSqlEngine::TImpl {
public:
    TImpl() {
        if (sqlite3_open_v2(":memory:", &FDb,
                            SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                            nullptr) != SQLITE_OK) {
            sqlite3_close(FDb);
            throw EDBEngineError(DBErrorCode::General,
                                 QStringLiteral("Cannot start the SQL engine"));
        }
        // Double quotes are identifiers only: the translator has turned the
        // dialect's double-quoted texts into literals already.
        sqlite3_db_config(FDb, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
        sqlite3_db_config(FDb, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
        Exec("PRAGMA case_sensitive_like = ON");
    }
    ~TImpl() { sqlite3_close(FDb); }

    void Exec(const char* sql) {
        char* error = nullptr;
        if (sqlite3_exec(FDb, sql, nullptr, nullptr, &error) != SQLITE_OK) {
            const QString message = QString::fromUtf8(error ? error : "unknown error");
            sqlite3_free(error);
            throw EDBEngineError(DBErrorCode::General,
                                 QStringLiteral("SQL engine: %1").arg(message));
        }
    }
    void Exec(const QString& sql) { Exec(sql.toUtf8().constData()); }

    // The internal name of the table `name` of `folder`, loaded when needed.
    QString Resolve(const std::filesystem::path& folder, const QString& name) {
        const auto file = FindTableFile(folder, name);
        if (!file)
            throw EDBEngineError(
                DBErrorCode::NotFound,
                QStringLiteral("Table does not exist: %1")
                    .arg(QString::fromStdString((folder / name.toStdString()).string())));
        const QString key = CacheKey(*file);
        std::error_code ec;
        const auto size = std::filesystem::file_size(*file, ec);
        const auto time = std::filesystem::last_write_time(*file, ec);
        if (const auto it = FLoaded.find(key); it != FLoaded.end()) {
            if (!ec && it->second.Size == size && it->second.Time == time)
                return it->second.Internal;
            Drop(it);
        }
        TLoaded loaded = Load(*file);
        loaded.Size = size;
        loaded.Time = time;
        const QString internal = loaded.Internal;
        FLoaded.emplace(key, std::move(loaded));
        return internal;
    }

    TLoaded Load(const std::filesystem::path& file) {
        const auto table = TParadoxTable::Open(file);
        TLoaded loaded;
        loaded.File = file;
        loaded.Fields = table->Fields();
        QString base;
        for (const QChar c : QString::fromStdString(file.stem().string()).toLower())
            base += c.isLetterOrNumber() && c.unicode() < 128 ? c : QLatin1Char('_');
        loaded.Internal = QStringLiteral("%1_%2").arg(base).arg(++FLoadCount);
        if (!(IntegerKey(*table) && Fill(*table, loaded, true)))
            Fill(*table, loaded, false);
        return loaded;
    }

    // A table keyed by one integer field is stored with its key as the rowid,
    // so that a join on the key takes one search where a key index takes two.
    // The rowid order is then key order, which is the record order of a sound
    // keyed table; Fill checks that as it goes.
    static bool IntegerKey(const TParadoxTable& table) {
        if (table.KeyFieldCount() != 1)
            return false;
        const TFieldType type = table.Fields().front().Type;
        return type == TFieldType::Short || type == TFieldType::Long || type == TFieldType::AutoInc;
    }

    // Creates the table loaded.Internal and copies the records of `table`
    // into it in their order. With `keyAsRowid` the key field is the rowid:
    // when a key is blank or not above the one before it, nothing is left
    // behind and the result is false. Otherwise the key fields, if any, get
    // an index. Raises EDBEngineError after dropping the table.
    bool Fill(const TParadoxTable& table, const TLoaded& loaded, bool keyAsRowid) {
        QStringList columns;
        for (const TFieldDef& f : loaded.Fields)
            columns << QuoteIdent(f.Name) + QLatin1Char(' ') + QLatin1String(Affinity(f.Type));
        if (keyAsRowid)
            columns.front() += QStringLiteral(" PRIMARY KEY");
        Exec(QStringLiteral("CREATE TABLE %1 (%2)")
                 .arg(QuoteIdent(loaded.Internal), columns.join(QLatin1Char(','))));
        const auto discard = [&] {
            sqlite3_exec(FDb, "ROLLBACK", nullptr, nullptr, nullptr);
            sqlite3_exec(FDb,
                         QStringLiteral("DROP TABLE IF EXISTS %1")
                             .arg(QuoteIdent(loaded.Internal))
                             .toUtf8()
                             .constData(),
                         nullptr, nullptr, nullptr);
        };
        try {
            Exec("BEGIN");
            bool keysRise = true;
            {
                TRowInserter inserter(
                    FDb, loaded.Internal, static_cast<int>(loaded.Fields.size()),
                    QStringLiteral("Loading %1").arg(QString::fromStdString(loaded.File.string())));
                std::optional<qint64> previous;
                table.ForEachRecord([&](const TRecordView& record) {
                    if (keyAsRowid) {
                        const TValue key = record.Value(0);
                        const auto* k = std::get_if<qint64>(&key);
                        keysRise = k && (!previous || *k > *previous);
                        if (!keysRise)
                            return false;
                        previous = *k;
                    }
                    inserter.Add(record);
                    return true;
                });
                if (keysRise)
                    inserter.Finish();
            }
            if (!keysRise) {
                discard();
                return false;
            }
            const int keys = table.KeyFieldCount();
            if (keys > 0 && !keyAsRowid) {
                QStringList keyColumns;
                for (int i = 0; i < keys; ++i)
                    keyColumns << QuoteIdent(loaded.Fields[static_cast<std::size_t>(i)].Name);
                Exec(QStringLiteral("CREATE INDEX %1 ON %2 (%3)")
                         .arg(QuoteIdent(loaded.Internal + QStringLiteral("_key")),
                              QuoteIdent(loaded.Internal), keyColumns.join(QLatin1Char(','))));
            }
            Exec("COMMIT");
        } catch (...) {
            discard();
            throw;
        }
        return true;
    }

    void Drop(std::map<QString, TLoaded>::iterator it) {
        Exec(QStringLiteral("DROP TABLE IF EXISTS %1").arg(QuoteIdent(it->second.Internal)));
        FLoaded.erase(it);
    }

    const TLoaded* ByInternal(const char* internal) const {
        if (!internal)
            return nullptr;
        const QString name = QString::fromUtf8(internal);
        for (const auto& [key, loaded] : FLoaded)
            if (loaded.Internal.compare(name, Qt::CaseInsensitive) == 0)
                return &loaded;
        return nullptr;
    }

    TTranslation Translate(const std::filesystem::path& folder, const QString& sql) {
        return TranslateSql(sql,
                            [this, &folder](const QString& name) { return Resolve(folder, name); });
    }

    TSqlResult Run(const std::filesystem::path& folder, const QString& sql) {
        const TTranslation translation = Translate(folder, sql);
        TStatement stmt(FDb, translation.Sql, QStringLiteral("Invalid SQL"));
        sqlite3_stmt* s = stmt.Get();
        const int n = sqlite3_column_count(s);
        TSqlResult result;
        std::vector<bool> known(static_cast<std::size_t>(n), true);
        for (int i = 0; i < n; ++i) {
            TFieldDef def;
            def.Name = QString::fromUtf8(sqlite3_column_name(s, i));
            const TLoaded* source = ByInternal(sqlite3_column_table_name(s, i));
            const char* origin = sqlite3_column_origin_name(s, i);
            bool found = false;
            if (source && origin) {
                for (const TFieldDef& f : source->Fields)
                    if (f.Name.compare(QString::fromUtf8(origin), Qt::CaseInsensitive) == 0) {
                        def.Type = f.Type;
                        def.Size = f.Size;
                        def.Decimals = f.Decimals;
                        found = true;
                    }
            }
            if (!found) {
                const auto kind = static_cast<std::size_t>(i) < translation.Items.size()
                                      ? translation.Items[static_cast<std::size_t>(i)]
                                      : TSelectItemKind::Other;
                switch (kind) {
                case TSelectItemKind::IntegerConstant:
                case TSelectItemKind::Count:
                    def.Type = TFieldType::Long;
                    def.Size = 4;
                    break;
                case TSelectItemKind::FloatConstant:
                case TSelectItemKind::Sum:
                    def.Type = TFieldType::Number;
                    def.Size = 8;
                    break;
                default:
                    known[static_cast<std::size_t>(i)] = false;
                }
            }
            // Duplicate names (SELECT * over a join) get a number, as fields must differ.
            QString name = def.Name;
            for (int k = 1; std::any_of(result.Fields.begin(), result.Fields.end(),
                                        [&](const TFieldDef& f) {
                                            return f.Name.compare(name, Qt::CaseInsensitive) == 0;
                                        });
                 ++k)
                name = def.Name + QStringLiteral("_%1").arg(k);
            def.Name = name;
            def.Number = i + 1;
            result.Fields.push_back(def);
        }
        int rc;
        while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
            std::vector<TValue> row;
            row.reserve(static_cast<std::size_t>(n));
            for (int i = 0; i < n; ++i) {
                TValue v = ColumnValue(s, i);
                const TFieldDef& def = result.Fields[static_cast<std::size_t>(i)];
                if (known[static_cast<std::size_t>(i)] && !IsBlank(v))
                    v = ConvertValue(v, def.Type, def.Name);
                row.push_back(std::move(v));
            }
            result.Rows.push_back(std::move(row));
        }
        if (rc != SQLITE_DONE)
            SqliteError(FDb, DBErrorCode::General, QStringLiteral("Query failed"));
        InferTypes(result, known);
        return result;
    }

    // Columns computed by an expression take their type from their values.
    static void InferTypes(TSqlResult& result, const std::vector<bool>& known) {
        for (std::size_t c = 0; c < result.Fields.size(); ++c) {
            if (known[c])
                continue;
            bool anyFloat = false, anyText = false, anyBlob = false, anyInt = false, wide = false;
            int width = 1;
            for (const auto& row : result.Rows) {
                const TValue& v = row[c];
                if (const auto* i = std::get_if<qint64>(&v)) {
                    anyInt = true;
                    wide = wide || *i > 2147483647 || *i < -2147483647;
                } else if (std::holds_alternative<double>(v)) {
                    anyFloat = true;
                } else if (const auto* s = std::get_if<QString>(&v)) {
                    anyText = true;
                    width = std::max(width, static_cast<int>(s->size()));
                } else if (std::holds_alternative<QByteArray>(v)) {
                    anyBlob = true;
                }
            }
            TFieldDef& def = result.Fields[c];
            if (anyBlob) {
                def.Type = TFieldType::Binary;
                def.Size = 10;
            } else if (anyText) {
                def.Type = width > 255 ? TFieldType::Memo : TFieldType::Alpha;
                def.Size = width > 255 ? 10 : width;
            } else if (anyFloat || wide || !anyInt) {
                def.Type = TFieldType::Number;
                def.Size = 8;
            } else {
                def.Type = TFieldType::Long;
                def.Size = 4;
            }
            for (auto& row : result.Rows)
                if (!IsBlank(row[c]))
                    row[c] = ConvertValue(row[c], def.Type, def.Name);
        }
    }

    void Invalidate(const std::filesystem::path& file) {
        const auto it = FLoaded.find(CacheKey(file));
        if (it != FLoaded.end())
            Drop(it);
    }

    void Clear() {
        while (!FLoaded.empty())
            Drop(FLoaded.begin());
    }

    void Save(const std::filesystem::path& file) {
        QString path = QString::fromStdString(file.string());
        path.replace(QLatin1Char('\''), QLatin1String("''"));
        Exec(QStringLiteral("VACUUM INTO '%1'").arg(path));
    }

    int FLoadCount = 0;

private:
    sqlite3* FDb = nullptr;
    std::map<QString, TLoaded> FLoaded;
};

TSqlEngine::TSqlEngine() : FImpl(std::make_unique<TImpl>()) {}
TSqlEngine::~TSqlEngine() = default;

TSqlResult TSqlEngine::Run(const std::filesystem::path& folder, const QString& sql) {
    return FImpl->Run(folder, sql);
}

QString TSqlEngine::Translate(const std::filesystem::path& folder, const QString& sql) {
    return FImpl->Translate(folder, sql).Sql;
}

void TSqlEngine::Invalidate(const std::filesystem::path& file) {
    FImpl->Invalidate(file);
}
void TSqlEngine::Clear() {
    FImpl->Clear();
}
int TSqlEngine::LoadCount() const {
    return FImpl->FLoadCount;
}
void TSqlEngine::SaveLoadedTables(const std::filesystem::path& file) {
    FImpl->Save(file);
}
