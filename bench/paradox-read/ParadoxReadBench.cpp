// Reads every record of a generated table of N records (1,000,000 unless
// --records says otherwise) with our reader and with pxlib, in the same run
// on the same file, decoding every field, and reports the best of --runs
// runs each and their ratio. Exits 1 when ours is the slower.
#include "db/format/ParadoxTable.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstring>

extern "C" {
#include <paradox.h>
}

namespace {

TFieldDef Field(const char* name, TFieldType type, int size = 0) {
    TFieldDef f;
    f.Name = QString::fromLatin1(name);
    f.Type = type;
    f.Size = size;
    return f;
}

// A line-item table: the link fields, quantities, milestones and a reference.
void Generate(const std::filesystem::path& file, int records) {
    TParadoxWriter writer(
        file,
        {Field("Link_OstranePrd", TFieldType::Long), Field("Link_Phs", TFieldType::Long),
         Field("Link_prod", TFieldType::Long), Field("Qty", TFieldType::Number),
         Field("LabQty1", TFieldType::Number), Field("M1", TFieldType::Long),
         Field("Stamp", TFieldType::Timestamp), Field("REFERENCE", TFieldType::Alpha, 40)},
        1);
    for (int i = 1; i <= records; ++i) {
        writer.Append(
            {qint64{i}, qint64{i % 40 + 1}, qint64{i % 997 + 1}, i * 0.5,
             i % 3 ? TValue(i * 0.25) : TValue(), i % 2 ? TValue(qint64{1}) : TValue(),
             QDateTime(QDate(2024, 1, 1).addDays(i % 700), QTime(8, 30)),
             i % 4 ? TValue(QStringLiteral("Exported %1 line %2").arg(i % 50).arg(i)) : TValue()});
    }
    writer.Commit();
}

// The sum of the Qty field and the number of text characters, so that both
// readers are seen to read the same data.
struct TTotals {
    double Qty = 0;
    qint64 Text = 0;
    bool operator==(const TTotals&) const = default;
};

TTotals ReadOurs(const std::filesystem::path& file) {
    const auto table = TParadoxTable::Open(file);
    const int fields = static_cast<int>(table->Fields().size());
    TTotals totals;
    table->ForEachRecord([&](const TRecordView& record) {
        for (int i = 0; i < fields; ++i) {
            const TValue value = record.Value(i);
            if (i == 3)
                totals.Qty += std::get<double>(value);
            else if (const auto* text = std::get_if<QString>(&value))
                totals.Text += text->size();
        }
        return true;
    });
    return totals;
}

TTotals ReadPxlib(const std::filesystem::path& file) {
    pxdoc_t* doc = PX_new();
    if (PX_open_file(doc, file.c_str()) < 0) {
        std::fprintf(stderr, "pxlib cannot open %s\n", file.c_str());
        std::exit(2);
    }
    const int records = PX_get_num_records(doc);
    const int fields = PX_get_num_fields(doc);
    TTotals totals;
    for (int r = 0; r < records; ++r) {
        pxval_t** values = PX_retrieve_record(doc, r);
        if (!values)
            continue;
        totals.Qty += values[3]->value.dval;
        for (int i = 0; i < fields; ++i) {
            if (!values[i]->isnull && values[i]->type == pxfAlpha) {
                totals.Text += static_cast<qint64>(std::strlen(values[i]->value.str.val));
                doc->free(doc, values[i]->value.str.val);
            }
            doc->free(doc, values[i]);
        }
        doc->free(doc, values);
    }
    PX_close(doc);
    PX_delete(doc);
    return totals;
}

template <typename F> qint64 BestOf(int runs, F read, TTotals& result) {
    qint64 best = -1;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        result = read();
        const qint64 ms = timer.elapsed();
        best = best < 0 ? ms : std::min(best, ms);
    }
    return best;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    int records = 1000000;
    int runs = 3;
    const QStringList args = app.arguments();
    for (qsizetype i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == QStringLiteral("--records"))
            records = args[i + 1].toInt();
        else if (args[i] == QStringLiteral("--runs"))
            runs = std::max(1, args[i + 1].toInt());
    }
    QTemporaryDir dir;
    const std::filesystem::path file =
        std::filesystem::path(dir.path().toStdString()) / "ostr_prd.db";
    QElapsedTimer timer;
    timer.start();
    Generate(file, records);
    std::printf("generated %d records (%lld bytes) in %lld ms\n", records,
                static_cast<long long>(std::filesystem::file_size(file)),
                static_cast<long long>(timer.elapsed()));

    TTotals oursSum;
    TTotals theirSum;
    const qint64 theirs = BestOf(
        runs, [&] { return ReadPxlib(file); }, theirSum);
    const qint64 ours = BestOf(
        runs, [&] { return ReadOurs(file); }, oursSum);
    std::printf("ours:  %lld ms (best of %d)\npxlib: %lld ms (best of %d)\n",
                static_cast<long long>(ours), runs, static_cast<long long>(theirs), runs);
    if (oursSum != theirSum) {
        std::printf(
            "the readers disagree: Qty sums %.17g and %.17g, text %lld and %lld characters\n",
            oursSum.Qty, theirSum.Qty, static_cast<long long>(oursSum.Text),
            static_cast<long long>(theirSum.Text));
        return 2;
    }
    const double ratio =
        static_cast<double>(theirs) / static_cast<double>(std::max<qint64>(ours, 1));
    std::printf("pxlib time / our time: %.2f\n", ratio);
    return ratio >= 1.0 ? 0 : 1;
}
