// Tables created by TParadoxWriter, read back by our reader and by pxlib,
// and tables created by pxlib read by ours.
#include "FormatTestSupport.h"

#include "db/format/DBEngineError.h"

extern "C" {
#include <paradox.h>
}

#include <cmath>

namespace {

QDateTime Stamp(int y, int mo, int d, int h, int mi, int s, int ms = 0) {
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms), Qt::UTC);
}

std::vector<TFieldDef> AllTypes() {
    return {Field("Name", TFieldType::Alpha, 20),  Field("Amount", TFieldType::Number),
            Field("Price", TFieldType::Money),     Field("Small", TFieldType::Short),
            Field("Big", TFieldType::Long),        Field("Counter", TFieldType::AutoInc),
            Field("Day", TFieldType::Date),        Field("Clock", TFieldType::Time),
            Field("Stamp", TFieldType::Timestamp), Field("Flag", TFieldType::Logical),
            Field("Exact", TFieldType::BCD, 0, 2), Field("Raw", TFieldType::Bytes, 4),
            Field("Notes", TFieldType::Memo, 15),  Field("Picture", TFieldType::Graphic, 10),
            Field("Data", TFieldType::Binary, 10)};
}

TEST(ParadoxWriter, EveryTypeRoundTripsWithBlanksAndBlobsOfEverySize) {
    QTemporaryDir dir;
    const auto file = InDir(dir, "types.db");
    const QString longMemo = QString(300, QLatin1Char('m')) + QStringLiteral(" Größe\r\nend");
    const QString hugeMemo = QString(9000, QLatin1Char('h'));
    const QByteArray image = QByteArray("BM") + QByteArray(5000, '\x7f');
    const std::vector<std::vector<TValue>> rows = {
        {QStringLiteral("Fünf"), 1.5, 13.25, qint64{40}, qint64{-40}, std::monostate{},
         QDate(1999, 9, 9), QTime(11, 11, 11, 5), Stamp(2003, 6, 10, 11, 11, 11, 250), true, 13.12,
         QByteArray("\x01\x02", 2), QStringLiteral("short"), image, QByteArray(700, '\x03')},
        {std::monostate{}, std::monostate{}, std::monostate{}, std::monostate{}, std::monostate{},
         qint64{7}, std::monostate{}, std::monostate{}, std::monostate{}, std::monostate{},
         std::monostate{}, std::monostate{}, std::monostate{}, std::monostate{}, std::monostate{}},
        {QString(20, QLatin1Char('x')), 0.0, -0.5, qint64{0}, qint64{0}, std::monostate{},
         QDate::fromJulianDay(1721425 - 366), QTime(0, 0), Stamp(1, 1, 1, 0, 0, 0), false, -40.0,
         std::monostate{}, longMemo, std::monostate{}, std::monostate{}},
        {QStringLiteral("huge"), -1e300, 1e-300, qint64{32767}, qint64{2147483647},
         std::monostate{}, QDate(9999, 12, 31), QTime(23, 59, 59, 999), std::monostate{}, true, 0.0,
         std::monostate{}, hugeMemo, std::monostate{}, std::monostate{}},
    };
    {
        TParadoxWriter writer(file, AllTypes());
        for (const auto& row : rows)
            writer.Append(row);
        EXPECT_FALSE(std::filesystem::exists(file)); // nothing visible before Commit
        writer.Commit();
    }
    const auto table = TParadoxTable::Open(file);
    EXPECT_EQ(table->FileVersion(), 11);
    EXPECT_EQ(table->CodePage(), 1252);
    EXPECT_NO_THROW(table->Validate());
    std::vector<std::vector<TValue>> expected = rows;
    expected[0][5] = qint64{1}; // blank autoincrement values are numbered
    expected[1][5] = qint64{7};
    expected[2][5] = qint64{8};
    expected[3][5] = qint64{9};
    expected[0][11] = QByteArray("\x01\x02\0\0", 4); // Bytes fields have a fixed size
    EXPECT_EQ(ReadAll(*table), expected);

    // Blanks are the engine's: zeros, and "decimals then zeros" for BCD.
    table->ForEachRecord([&](const TRecordView& record) {
        if (record.Position().Slot != 1)
            return true;
        const auto bcd = record.FieldBytes(10);
        EXPECT_EQ(bcd[0], 2);
        EXPECT_TRUE(std::all_of(bcd.begin() + 1, bcd.end(), [](std::uint8_t b) { return b == 0; }));
        EXPECT_TRUE(record.IsBlank(10));
        EXPECT_TRUE(record.IsBlank(12));
        return false;
    });
}

TEST(ParadoxWriter, TextUsesTheTablesCodePage) {
    const struct {
        int CodePage;
        const char* Text;
        std::vector<std::uint8_t> Bytes;
    } cases[] = {
        {1252, "Größe €", {0x47, 0x72, 0xF6, 0xDF, 0x65, 0x20, 0x80}},
        {850, "Größe", {0x47, 0x72, 0x94, 0xE1, 0x65}},
        {866, "Привет", {0x8F, 0xE0, 0xA8, 0xA2, 0xA5, 0xE2}},
        {1250, "Łódź", {0xA3, 0xF3, 0x64, 0x9F}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.CodePage);
        QTemporaryDir dir;
        const auto file = InDir(dir, "cp.db");
        TParadoxWriter writer(file, {Field(c.Text, TFieldType::Alpha, 10)}, 0, c.CodePage);
        writer.Append({QString::fromUtf8(c.Text)});
        writer.Commit();
        const auto table = TParadoxTable::Open(file);
        EXPECT_EQ(table->CodePage(), c.CodePage);
        EXPECT_EQ(table->Fields()[0].Name, QString::fromUtf8(c.Text));
        table->ForEachRecord([&](const TRecordView& record) {
            EXPECT_EQ(record.Value(0), TValue(QString::fromUtf8(c.Text)));
            const auto bytes = record.FieldBytes(0);
            EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(),
                                                bytes.begin() + static_cast<long>(c.Bytes.size())),
                      c.Bytes);
            return true;
        });
    }
    QTemporaryDir dir;
    EXPECT_THROW(TParadoxWriter(InDir(dir, "x.db"), {Field("A", TFieldType::Alpha, 5)}, 0, 4711),
                 EDBEngineError);
}

TEST(ParadoxWriter, RefusesValuesThatDoNotFitAndKeysOutOfOrder) {
    QTemporaryDir dir;
    const std::vector<TFieldDef> fields = {Field("Id", TFieldType::Long),
                                           Field("Name", TFieldType::Alpha, 4),
                                           Field("Small", TFieldType::Short)};
    TParadoxWriter writer(InDir(dir, "keyed.db"), fields, 1);
    writer.Append({qint64{5}, QStringLiteral("ok"), qint64{1}});
    const struct {
        std::vector<TValue> Row;
        int Code;
    } bad[] = {
        {{qint64{6}, QStringLiteral("toolong"), qint64{1}}, DBErrorCode::General},
        {{qint64{6}, QStringLiteral("Ж"), qint64{1}}, DBErrorCode::General},
        {{qint64{6}, qint64{3}, qint64{1}}, DBErrorCode::General},
        {{qint64{6}, QStringLiteral("a"), qint64{40000}}, DBErrorCode::General},
        {{qint64{6}, QStringLiteral("a"), qint64{-32768}}, DBErrorCode::General},
        {{qint64{5}, QStringLiteral("a"), qint64{1}}, DBErrorCode::KeyViolation},
        {{qint64{4}, QStringLiteral("a"), qint64{1}}, DBErrorCode::KeyViolation},
        {{qint64{6}, QStringLiteral("a")}, DBErrorCode::General},
    };
    for (const auto& b : bad) {
        try {
            writer.Append(b.Row);
            ADD_FAILURE() << "accepted a bad row";
        } catch (const EDBEngineError& error) {
            EXPECT_EQ(error.ErrorCode(), b.Code) << error.Message().toStdString();
            EXPECT_TRUE(error.Message().contains(QStringLiteral("keyed.db")));
        }
    }
    writer.Append({qint64{6}, QStringLiteral("six"), std::monostate{}});
    writer.Commit();
    EXPECT_EQ(TParadoxTable::Open(InDir(dir, "keyed.db"))->RecordCount(), 2);
    // An existing table is never replaced, whatever the letter case.
    EXPECT_THROW(TParadoxWriter(InDir(dir, "KEYED.DB"), fields, 1), EDBEngineError);
    // A writer dropped without Commit leaves nothing behind.
    {
        TParadoxWriter(InDir(dir, "dropped.db"), fields, 1)
            .Append({qint64{1}, QStringLiteral("a"), qint64{1}});
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files),
              QStringList({QStringLiteral("keyed.db"), QStringLiteral("keyed.px")}));
}

// Keyed tables large enough for two and three index levels: every key is
// found through the .px at the block the chain holds it in.
TEST(ParadoxWriter, KeyedTablesGetAMultiLevelPrimaryIndex) {
    const struct {
        TFieldDef Key;
        int Records;
        int Levels;
    } cases[] = {
        {Field("Id", TFieldType::Long), 30000, 2},
        {Field("Code", TFieldType::Alpha, 200), 12000, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Levels);
        QTemporaryDir dir;
        const auto file = InDir(dir, "big.db");
        const auto keyOf = [&](int i) -> TValue {
            if (c.Key.Type == TFieldType::Long)
                return qint64{i * 3 - 100000};
            return QStringLiteral("K%1").arg(i, 8, 10, QLatin1Char('0'));
        };
        {
            // A wide blank field, so that the records take many blocks.
            TParadoxWriter writer(
                file,
                {c.Key, Field("Value", TFieldType::Number), Field("Pad", TFieldType::Alpha, 150)},
                1);
            for (int i = 0; i < c.Records; ++i)
                writer.Append({keyOf(i), static_cast<double>(i), TValue()});
            writer.Commit();
        }
        const auto px = FileBytes(InDir(dir, "big.px"));
        ASSERT_GT(px.size(), 0x21u);
        EXPECT_EQ(px[0x20], c.Levels);

        const auto table = TParadoxTable::Open(file);
        std::vector<int> blockOf;
        table->ForEachRecord([&](const TRecordView& record) {
            blockOf.push_back(record.Position().Block);
            return true;
        });
        ASSERT_EQ(static_cast<int>(blockOf.size()), c.Records);
        for (int i : {0, 1, c.Records / 3, c.Records / 2 + 7, c.Records - 2, c.Records - 1}) {
            double value = -1;
            int block = 0;
            ASSERT_TRUE(table->FindKey({keyOf(i)}, [&](const TRecordView& record) {
                value = std::get<double>(record.Value(1));
                block = record.Position().Block;
            })) << i;
            EXPECT_EQ(value, i);
            EXPECT_EQ(block, blockOf[static_cast<std::size_t>(i)]);
        }
        const TValue missing =
            c.Key.Type == TFieldType::Long ? TValue(qint64{-99999}) : TValue(QStringLiteral("K"));
        EXPECT_FALSE(table->FindKey({missing}, [](const TRecordView&) {}));
        EXPECT_FALSE(table->FindKey({c.Key.Type == TFieldType::Long ? TValue(qint64{-200000})
                                                                    : TValue(QStringLiteral("A"))},
                                    [](const TRecordView&) {}));
    }
}

// ---- pxlib as the independent second implementation -----------------------

struct TPxDoc {
    pxdoc_t* Doc = PX_new();
    ~TPxDoc() {
        PX_close(Doc);
        PX_delete(Doc);
    }
};

// pxlib's own values for one record, freed afterwards.
struct TPxRecord {
    TPxRecord(pxdoc_t* doc, int recno) : Doc(doc), Values(PX_retrieve_record(doc, recno)) {}
    ~TPxRecord() {
        if (!Values)
            return;
        for (int i = 0; i < PX_get_num_fields(Doc); ++i) {
            if (Values[i] && !Values[i]->isnull && Values[i]->type == pxfAlpha)
                Doc->free(Doc, Values[i]->value.str.val);
            Doc->free(Doc, Values[i]);
        }
        Doc->free(Doc, Values);
    }
    pxdoc_t* Doc;
    pxval_t** Values;
};

std::vector<TFieldDef> InteropFields() {
    return {Field("Name", TFieldType::Alpha, 20), Field("Amount", TFieldType::Number),
            Field("Price", TFieldType::Money),    Field("Small", TFieldType::Short),
            Field("Big", TFieldType::Long),       Field("Day", TFieldType::Date),
            Field("Clock", TFieldType::Time),     Field("Stamp", TFieldType::Timestamp),
            Field("Flag", TFieldType::Logical),   Field("Counter", TFieldType::AutoInc)};
}

std::vector<TValue> InteropRow(int i) {
    // Every 7th record has blanks in the fields whose blanks pxlib reads wrongly.
    const bool blank = i % 7 == 3;
    return {i % 5 == 0 ? TValue() : TValue(QStringLiteral("Zeile %1 ä").arg(i)),
            blank ? TValue() : TValue(i * 1.25 - 100),
            blank ? TValue() : TValue(i * 0.01),
            blank ? TValue() : TValue(qint64{i % 30000 - 15000}),
            blank ? TValue() : TValue(qint64{i * 1000 - 5000000}),
            blank ? TValue() : TValue(QDate(1990, 1, 1).addDays(i)),
            blank ? TValue() : TValue(QTime(0, 0).addMSecs(i * 997)),
            blank ? TValue() : TValue(Stamp(2001, 2, 3, 4, 5, 6).addSecs(i * 3600)),
            blank ? TValue() : TValue(i % 2 == 0),
            TValue()};
}

TEST(ParadoxInterop, PxlibReadsWhatWeWrite) {
    for (const int keys : {0, 1}) {
        SCOPED_TRACE(keys);
        QTemporaryDir dir;
        const auto file = InDir(dir, "ours.db");
        const int count = 500;
        {
            auto fields = InteropFields();
            if (keys)
                std::rotate(fields.begin(), fields.begin() + 4, fields.begin() + 5); // "Big" first
            TParadoxWriter writer(file, fields, keys);
            for (int i = 0; i < count; ++i) {
                auto row = InteropRow(i);
                if (keys) {
                    row[4] = qint64{i * 1000 - 5000000};
                    std::rotate(row.begin(), row.begin() + 4, row.begin() + 5);
                }
                writer.Append(row);
            }
            writer.Commit();
        }
        TPxDoc index; // outlives the table's document, which refers to it
        TPxDoc px;
        ASSERT_EQ(PX_open_file(px.Doc, file.c_str()), 0);
        PX_set_targetencoding(px.Doc, "UTF-8");
        if (keys) {
            // pxlib accepts our .px as the table's primary index.
            ASSERT_EQ(PX_open_file(index.Doc, InDir(dir, "ours.px").c_str()), 0);
            EXPECT_EQ(PX_read_primary_index(index.Doc), 0);
            EXPECT_EQ(PX_add_primary_index(px.Doc, index.Doc), 0);
        }
        ASSERT_EQ(PX_get_num_records(px.Doc), count);
        ASSERT_EQ(PX_get_num_fields(px.Doc), 10);
        const auto table = TParadoxTable::Open(file);
        const auto ours = ReadAll(*table);
        for (int r = 0; r < count; ++r) {
            TPxRecord record(px.Doc, r);
            ASSERT_NE(record.Values, nullptr);
            for (int f = 0; f < 10; ++f) {
                SCOPED_TRACE(testing::Message() << "record " << r << " field " << f);
                const pxval_t* v = record.Values[f];
                const TValue& mine = ours[static_cast<std::size_t>(r)][static_cast<std::size_t>(f)];
                const TFieldType type = table->Fields()[static_cast<std::size_t>(f)].Type;
                if (std::holds_alternative<std::monostate>(mine)) {
                    // pxlib reports blank text, logicals and shorts, but not
                    // blank longs (as -2^31) or doubles (as 0.0).
                    if (type == TFieldType::Alpha || type == TFieldType::Logical ||
                        type == TFieldType::Short)
                        EXPECT_TRUE(v->isnull);
                    else if (type == TFieldType::Number || type == TFieldType::Money ||
                             type == TFieldType::Timestamp)
                        EXPECT_EQ(v->value.dval, 0.0);
                    else
                        EXPECT_EQ(v->value.lval, -2147483648L);
                    continue;
                }
                ASSERT_FALSE(v->isnull);
                switch (type) {
                case TFieldType::Alpha:
                    EXPECT_EQ(QString::fromUtf8(v->value.str.val), std::get<QString>(mine));
                    break;
                case TFieldType::Number:
                case TFieldType::Money:
                    EXPECT_EQ(v->value.dval, std::get<double>(mine));
                    break;
                case TFieldType::Short:
                case TFieldType::Long:
                case TFieldType::AutoInc:
                    EXPECT_EQ(v->value.lval, std::get<qint64>(mine));
                    break;
                case TFieldType::Logical:
                    EXPECT_EQ(v->value.lval != 0, std::get<bool>(mine));
                    break;
                case TFieldType::Date:
                    EXPECT_EQ(v->value.lval + 1721425, std::get<QDate>(mine).toJulianDay());
                    break;
                case TFieldType::Time:
                    EXPECT_EQ(v->value.lval, std::get<QTime>(mine).msecsSinceStartOfDay());
                    break;
                case TFieldType::Timestamp: {
                    const QDateTime stamp = std::get<QDateTime>(mine);
                    EXPECT_EQ(v->value.dval, (stamp.date().toJulianDay() - 1721425) * 86400000.0 +
                                                 stamp.time().msecsSinceStartOfDay());
                    break;
                }
                default:
                    ADD_FAILURE() << "unexpected type";
                }
            }
        }
    }
}

TEST(ParadoxInterop, WeReadWhatPxlibWrites) {
    QTemporaryDir dir;
    const auto file = InDir(dir, "theirs.db");
    pxfield_t fields[] = {
        {const_cast<char*>("Name"), pxfAlpha, 20, 0},
        {const_cast<char*>("Big"), pxfLong, 4, 0},
        {const_cast<char*>("Amount"), pxfNumber, 8, 0},
        {const_cast<char*>("Small"), pxfShort, 2, 0},
        {const_cast<char*>("Day"), pxfDate, 4, 0},
        {const_cast<char*>("Flag"), pxfLogical, 1, 0},
    };
    const int count = 200;
    {
        TPxDoc px;
        pxfield_t* copy = static_cast<pxfield_t*>(px.Doc->malloc(px.Doc, sizeof fields, "test"));
        std::memcpy(copy, fields, sizeof fields);
        for (auto& f : std::span(copy, 6)) {
            char* name =
                static_cast<char*>(px.Doc->malloc(px.Doc, std::strlen(f.px_fname) + 1, "test"));
            std::strcpy(name, f.px_fname);
            f.px_fname = name;
        }
        ASSERT_EQ(PX_create_file(px.Doc, copy, 6, file.c_str(), pxfFileTypNonIndexDB), 0);
        for (int i = 0; i < count; ++i) {
            std::vector<pxval_t> values(6);
            std::vector<pxval_t*> pointers;
            const QByteArray name = QStringLiteral("Name %1").arg(i).toLatin1();
            for (auto& v : values) {
                v.isnull = 0;
                pointers.push_back(&v);
            }
            values[0].type = pxfAlpha;
            values[0].value.str.val = const_cast<char*>(name.constData());
            values[0].value.str.len = static_cast<int>(name.size());
            values[0].isnull = i % 10 == 0;
            values[1].type = pxfLong;
            values[1].value.lval = i * 7 - 300;
            values[2].type = pxfNumber;
            values[2].value.dval = i / 8.0;
            values[3].type = pxfShort;
            values[3].value.lval = -i;
            values[4].type = pxfDate;
            values[4].value.lval = QDate(2020, 2, 29).addDays(i).toJulianDay() - 1721425;
            values[5].type = pxfLogical;
            values[5].value.lval = i % 3 == 0;
            ASSERT_GE(PX_insert_record(px.Doc, pointers.data()), 0);
        }
    }
    const auto table = TParadoxTable::Open(file);
    EXPECT_EQ(table->FileVersion(), 12);
    EXPECT_NO_THROW(table->Validate());
    const auto rows = ReadAll(*table);
    ASSERT_EQ(static_cast<int>(rows.size()), count);
    for (int i = 0; i < count; ++i) {
        SCOPED_TRACE(i);
        const auto& row = rows[static_cast<std::size_t>(i)];
        EXPECT_EQ(row[0], i % 10 == 0 ? TValue() : TValue(QStringLiteral("Name %1").arg(i)));
        EXPECT_EQ(row[1], TValue(qint64{i * 7 - 300}));
        EXPECT_EQ(row[2], TValue(i / 8.0));
        EXPECT_EQ(row[3], TValue(qint64{-i}));
        EXPECT_EQ(row[4], TValue(QDate(2020, 2, 29).addDays(i)));
        EXPECT_EQ(row[5], TValue(i % 3 == 0));
    }
}

} // namespace

namespace {

// A 3.x table records no code page and has no data header: its field infos
// start at 0x58. Built here from a table of ours by moving the header's
// variable part; the data blocks stay as they are.
TEST(ParadoxReader, Version3TablesUseTheCallersCodePage) {
    QTemporaryDir dir;
    const auto file = InDir(dir, "old.db");
    {
        TParadoxWriter writer(
            file, {Field("Name", TFieldType::Alpha, 10), Field("Qty", TFieldType::Number)}, 0, 866);
        writer.Append({QStringLiteral("Привет"), 2.5});
        writer.Commit();
    }
    auto bytes = FileBytes(file);
    const std::size_t n = 2;
    const std::size_t variable = 2 * n + 4 + 4 * n + 79 + sizeof "Name" + sizeof "Qty";
    std::vector<std::uint8_t> header(bytes.begin(), bytes.begin() + 0x58);
    header.insert(header.end(), bytes.begin() + 0x78,
                  bytes.begin() + 0x78 + static_cast<long>(variable));
    header.resize(0x800);
    header[0x39] = 3;
    std::fill(header.begin() + 0x25, header.begin() + 0x29, 0); // 3.x: no password
    std::copy(header.begin(), header.end(), bytes.begin());
    WriteBytes(file, bytes);

    const auto table = TParadoxTable::Open(file, 866);
    EXPECT_EQ(table->FileVersion(), 3);
    EXPECT_EQ(table->CodePage(), 866);
    EXPECT_EQ(ReadAll(*table), (std::vector<std::vector<TValue>>{{QStringLiteral("Привет"), 2.5}}));
    EXPECT_EQ(TParadoxTable::Open(file)->CodePage(),
              1252); // the default when the caller names none
}

} // namespace
