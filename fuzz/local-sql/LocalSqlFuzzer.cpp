// Feeds arbitrary text to the SQL dialect translator (first byte even) or the
// record filter (first byte odd). Either may refuse the text, but only with an
// engine error; a filter that parses must evaluate on records of every type.
#include "db/RecordFilter.h"
#include "db/format/DBEngineError.h"
#include "db/sql/SqlDialect.h"

#include <cstdint>
#include <cstdlib>

namespace {

void Require(bool condition) {
    if (!condition)
        std::abort();
}

std::vector<TFieldDef> Fields() {
    std::vector<TFieldDef> fields;
    const std::pair<const char*, TFieldType> defs[] = {
        {"PhaseID", TFieldType::Long}, {"Name", TFieldType::Alpha},
        {"Qty", TFieldType::Number},   {"Day", TFieldType::Date},
        {"Flag", TFieldType::Logical}, {"Stamp", TFieldType::Timestamp}};
    for (const auto& [name, type] : defs) {
        TFieldDef d;
        d.Name = QString::fromLatin1(name);
        d.Type = type;
        d.Number = static_cast<int>(fields.size()) + 1;
        fields.push_back(d);
    }
    return fields;
}

const std::vector<std::vector<TValue>> Records = {
    {qint64{12}, QString("Walls"), 2.5, QDate(2024, 1, 5), true,
     QDateTime(QDate(2024, 1, 5), QTime(1, 2))},
    {TValue(), TValue(), TValue(), TValue(), TValue(), TValue()},
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data + 1),
                                           static_cast<qsizetype>(size - 1));
    try {
        if (data[0] % 2 == 0) {
            const TTranslation t = TranslateSql(text, [](const QString& name) {
                return QStringLiteral("t_") + QString::number(name.size());
            });
            Require(!t.Sql.isEmpty());
            Require(TranslateSql(text, [](const QString& name) {
                        return QStringLiteral("t_") + QString::number(name.size());
                    }).Sql == t.Sql);
        } else {
            const TRecordFilter filter = TRecordFilter::Parse(text, Fields());
            for (const auto& record : Records)
                filter.Accepts([&record](int i) {
                    Require(i >= 0 && static_cast<std::size_t>(i) < record.size());
                    return record[static_cast<std::size_t>(i)];
                });
        }
    } catch (const EDBEngineError&) {
    }
    return 0;
}
