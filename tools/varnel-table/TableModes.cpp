#include "TableModes.h"

#include "TableText.h"

#include "db/format/ParadoxTable.h"

namespace {

void Write(std::FILE* out, const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), out);
}

int Failed(std::FILE* err, const EDBEngineError& error) {
    Write(err, error.Message() + QLatin1Char('\n'));
    return 1;
}

} // namespace

int DumpTable(const QString& file, std::FILE* out, std::FILE* err) {
    try {
        const auto table = TParadoxTable::Open(file.toStdString());
        const auto& fields = table->Fields();
        QStringList names;
        for (const TFieldDef& field : fields)
            names << field.Name;
        Write(out, names.join(QLatin1Char('\t')) + QLatin1Char('\n'));
        QString line;
        table->ForEachRecord([&](const TRecordView& record) {
            line.clear();
            for (std::size_t i = 0; i < fields.size(); ++i) {
                if (i)
                    line += QLatin1Char('\t');
                line += CellText(fields[i], record.Value(static_cast<int>(i)));
            }
            line += QLatin1Char('\n');
            Write(out, line);
            return true;
        });
        return 0;
    } catch (const EDBEngineError& error) {
        std::fflush(out);
        return Failed(err, error);
    }
}

int PrintSchema(const QString& file, std::FILE* out, std::FILE* err) {
    try {
        const auto table = TParadoxTable::Open(file.toStdString());
        QString text = QStringLiteral("Version\t%1\nCode page\t%2\nRecords\t%3\nKey fields\t%4\n")
                           .arg(table->FileVersion())
                           .arg(table->CodePage())
                           .arg(table->RecordCount())
                           .arg(table->KeyFieldCount());
        for (const TFieldDef& field : table->Fields()) {
            text += QStringLiteral("%1\t%2\t%3")
                        .arg(field.Name, QString(QLatin1Char(FieldTypeLetter(field.Type))))
                        .arg(field.Size);
            if (field.Type == TFieldType::BCD)
                text += QStringLiteral("\t%1").arg(field.Decimals);
            text += QLatin1Char('\n');
        }
        Write(out, text);
        return 0;
    } catch (const EDBEngineError& error) {
        return Failed(err, error);
    }
}
