#include "SqlCommand.h"

#include "TableText.h"

#include "db/Query.h"

#include <QStringList>

namespace {

void Write(std::FILE* out, const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), out);
}

} // namespace

int RunSql(const QString& folder, const QString& text, const QString& filter, std::FILE* out,
           std::FILE* err) {
    try {
        TQuery query;
        query.SetDatabaseName(folder);
        query.SetSQL(text);
        query.SetFilter(filter);
        query.SetFiltered(!filter.isEmpty());
        query.Open();
        QStringList names;
        for (int i = 0; i < query.FieldCount(); ++i)
            names << query.Fields(i).FieldName();
        QString lines = names.join(QLatin1Char('\t')) + QLatin1Char('\n');
        for (query.First(); !query.Eof(); query.Next()) {
            for (int i = 0; i < query.FieldCount(); ++i) {
                if (i)
                    lines += QLatin1Char('\t');
                lines += CellText(query.Fields(i).Def(), query.Fields(i).Value());
            }
            lines += QLatin1Char('\n');
        }
        Write(out, lines);
        return 0;
    } catch (const EDBEngineError& error) {
        Write(err, error.Message() + QLatin1Char('\n'));
        return 1;
    }
}
