#include "DbTestTables.h"
#include "LocalSql.h"

#include "db/BatchMove.h"
#include "db/Query.h"
#include "db/Session.h"
#include "db/Table.h"
#include "db/format/DBEngineError.h"
#include "support/ChildProcess.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

extern "C" {
#include <paradox.h>
}

namespace {

class TableTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(FDir.isValid());
        Folder = FDir.path();
        WriteTestProject(Folder.toStdString());
    }
    void TearDown() override {
        Session().Close();
        Session().DropConnections();
    }

    void OpenItems(TTable& t, const QString& filter = {}) {
        t.SetDatabaseName(Folder);
        t.SetTableName("OSTR_PRD.db");
        t.SetFilter(filter);
        t.SetFiltered(true);
        t.Open();
    }

    QTemporaryDir FDir;
    QString Folder;
};

TEST_F(TableTest, FilteredReadingAndWriteBackOfMilestoneAndReference) {
    TTable t;
    OpenItems(t, "Link_Phs=12");
    EXPECT_EQ(t.RecordCount(), 4);
    QStringList ids;
    for (t.First(); !t.Eof(); t.Next()) {
        ids << t.FieldByName("Link_OstranePrd").AsString();
        t.Edit();
        t.FieldByName("M3").SetValue(qint64{1});
        t.FieldByName("Reference").SetAsString("Exported 2026-12-11");
        EXPECT_EQ(t.FieldByName("M3").AsInteger(), 1); // the edit buffer is what is read
        t.Post();
    }
    EXPECT_EQ(ids, (QStringList{"1", "2", "7", "8"}));

    // A cancelled edit leaves the record as it was.
    t.First();
    t.Edit();
    t.FieldByName("M4").SetValue(qint64{1});
    t.Cancel();
    EXPECT_TRUE(t.FieldByName("M4").IsNull());
    t.Close();

    TTable check;
    OpenItems(check);
    EXPECT_EQ(check.RecordCount(), 8);
    for (check.First(); !check.Eof(); check.Next()) {
        const bool exported = check.FieldByName("Link_Phs").AsInteger() == 12;
        SCOPED_TRACE(check.FieldByName("Link_OstranePrd").AsInteger());
        EXPECT_EQ(check.FieldByName("M3").IsNull(), !exported);
        EXPECT_EQ(check.FieldByName("REFERENCE").AsString(), exported ? "Exported 2026-12-11" : "");
        EXPECT_TRUE(check.FieldByName("M4").IsNull());
    }
    // The query sees the posted values.
    TQuery q;
    q.SetDatabaseName(Folder);
    q.SetSQL("SELECT COUNT(*) AS N FROM OSTR_PRD WHERE M3 = 1");
    q.Open();
    EXPECT_EQ(q.FieldByName("N").AsInteger(), 4);
}

TEST_F(TableTest, FindKeyLocateAndIndexDefinitions) {
    TTable t;
    OpenItems(t, "(Link_Phs=12) OR (Link_Phs=15)");
    EXPECT_TRUE(t.FindKey({qint64{7}}));
    EXPECT_EQ(t.FieldByName("Link_loc").AsInteger(), 9);
    EXPECT_EQ(t.RecNo(), 5);
    EXPECT_TRUE(t.FindKey({QString("3")})); // converted to the key's type
    EXPECT_EQ(t.FieldByName("Link_prod").AsInteger(), 201);
    EXPECT_FALSE(t.FindKey({qint64{5}})); // exists, but the filter hides it
    EXPECT_FALSE(t.FindKey({qint64{500}}));
    EXPECT_EQ(t.FieldByName("Link_prod").AsInteger(), 201);
    EXPECT_TRUE(t.Locate("Link_prod", qint64{999}));
    EXPECT_EQ(t.FieldByName("Link_OstranePrd").AsInteger(), 8);
    ASSERT_EQ(t.IndexDefs().size(), 1u);
    EXPECT_TRUE(t.IndexDefs()[0].Primary);
    EXPECT_EQ(t.IndexDefs()[0].Fields, QStringList{"Link_OstranePrd"});

    TTable costs;
    costs.SetDatabaseName(Folder);
    costs.SetTableName("ostr_cst");
    costs.Open();
    EXPECT_TRUE(costs.IndexDefs().empty());
    try {
        costs.FindKey({qint64{1}});
        ADD_FAILURE() << "FindKey on a table without key";
    } catch (const EDBEngineError& e) {
        EXPECT_EQ(e.ErrorCode(), DBErrorCode::NotFound);
    }
}

TEST_F(TableTest, ErrorsOfUseAreEngineErrors) {
    auto code = [](const std::function<void()>& f) {
        try {
            f();
        } catch (const EDBEngineError& e) {
            return e.ErrorCode();
        }
        return 0;
    };
    TTable t;
    t.SetDatabaseName(Folder);
    t.SetTableName("missing.db");
    EXPECT_EQ(code([&] { t.Open(); }), DBErrorCode::NotFound);
    EXPECT_EQ(code([&] { t.First(); }), DBErrorCode::ClosedDataset);
    OpenItems(t, "Link_Phs=31");
    EXPECT_TRUE(t.Eof());
    EXPECT_EQ(code([&] { t.Edit(); }), DBErrorCode::General); // empty
    t.SetFilter("");
    EXPECT_EQ(code([&] { t.FieldByName("M1").SetValue(qint64{1}); }),
              DBErrorCode::General); // not in edit
    EXPECT_EQ(code([&] { t.FieldByName("NoSuch"); }), DBErrorCode::NotFound);
    EXPECT_EQ(code([&] { t.SetFilter("NoSuch = 1"); }), DBErrorCode::NotFound);
    EXPECT_EQ(t.RecordCount(), 8); // the old filter stays
    t.Edit();
    EXPECT_EQ(code([&] { t.FieldByName("M1").SetAsString("many"); }), DBErrorCode::General);
    t.Cancel();

    TQuery q;
    q.SetDatabaseName(Folder);
    q.SetSQL("SELECT * FROM phase");
    q.Open();
    EXPECT_EQ(code([&] { q.Edit(); }), DBErrorCode::ReadOnly);
}

TEST_F(TableTest, PostFailsWhenTheRecordChangedOnDisk) {
    TTable t;
    OpenItems(t);
    t.Edit();
    t.FieldByName("REFERENCE").SetAsString("ours");
    // Another writer that does not take the record lock changes the record.
    TTable other;
    OpenItems(other);
    const TRecordPos pos = [&] {
        TRecordPos p;
        const auto table = TParadoxTable::Open(FDir.filePath("ostr_prd.db").toStdString());
        table->FindKey({qint64{1}}, [&p](const TRecordView& r) { p = r.Position(); });
        return p;
    }();
    std::vector<std::uint8_t> bytes;
    TParadoxTable::Open(FDir.filePath("ostr_prd.db").toStdString())
        ->ReadAt(pos, [&bytes](const TRecordView& r) {
            bytes.assign(r.Bytes().begin(), r.Bytes().end());
        });
    UpdateRecordInPlace(FDir.filePath("ostr_prd.db").toStdString(), pos, bytes,
                        {{15, QString("theirs")}});
    try {
        t.Post();
        ADD_FAILURE() << "post over a changed record";
    } catch (const EDBEngineError& e) {
        EXPECT_EQ(e.ErrorCode(), DBErrorCode::Locked);
    }
    EXPECT_EQ(t.State(), TDataSetState::Edit);
    t.Cancel();
    t.Close();
    OpenItems(t);
    EXPECT_EQ(t.FieldByName("REFERENCE").AsString(), "theirs");
}

// The child half of TwoProgramsEditTheSameRecord, run in a second process.
TEST(TableLockChild, HoldsAnEditUntilTold) {
    const QString folder = qEnvironmentVariable("VARNEL_DB_LOCK_CHILD");
    if (folder.isEmpty())
        GTEST_SKIP() << "runs only as the second process of TwoProgramsEditTheSameRecord";
    TTable t;
    t.SetDatabaseName(folder);
    t.SetTableName("ostr_prd.db");
    t.Open();
    t.Edit();
    t.FieldByName("REFERENCE").SetAsString("child");
    ASSERT_TRUE(TChildProcess::HoldUntilReleased(folder));
    t.Post();
}

TEST_F(TableTest, TwoProgramsEditTheSameRecord) {
    TChildProcess child("TableLockChild.HoldsAnEditUntilTold", "VARNEL_DB_LOCK_CHILD", Folder);
    ASSERT_TRUE(child.WaitReady());

    TTable t;
    OpenItems(t);
    try {
        t.Edit();
        t.FieldByName("REFERENCE").SetAsString("parent");
        t.Post();
        ADD_FAILURE() << "edited a record that the other program holds";
    } catch (const EDBEngineError& e) {
        EXPECT_EQ(e.ErrorCode(), DBErrorCode::Locked);
        EXPECT_TRUE(e.Message().contains("locked by another user")) << e.what();
    }
    // Another record of the same table is free.
    t.Next();
    t.Edit();
    t.FieldByName("REFERENCE").SetAsString("parent");
    t.Post();

    EXPECT_EQ(child.Finish(), 0);

    t.Close();
    OpenItems(t);
    EXPECT_EQ(Rows(t).size(), 8);
    t.First();
    EXPECT_EQ(t.FieldByName("REFERENCE").AsString(), "child");
    EXPECT_EQ(t.FieldByName("Qty").AsFloat(), 10.0);
    t.Next();
    EXPECT_EQ(t.FieldByName("REFERENCE").AsString(), "parent");
    EXPECT_EQ(t.FieldByName("LabQty1").AsFloat(), 1.5);
    // Now that the child is done the first record can be edited here.
    t.First();
    t.Edit();
    t.Cancel();
}

TEST_F(TableTest, FilteredBatchCopyIsAParadoxTableThatPxlibReads) {
    TQuery items;
    items.SetDatabaseName(Folder);
    items.SetSQL(LocalSql::Items);
    items.SetFilter("(PhaseID=12) OR (PhaseID=20)");
    items.SetFiltered(true);
    const QString out = FDir.filePath("out");
    QDir().mkpath(out);
    TTable dest;
    dest.SetDatabaseName(out);
    dest.SetTableName("copy");
    TBatchMove batch;
    batch.SetSource(&items);
    batch.SetDestination(&dest);
    EXPECT_EQ(batch.Execute(), 3);
    EXPECT_FALSE(items.Active()); // opened for the copy only

    items.Open();
    const QStringList expected = Rows(items);
    dest.Open();
    EXPECT_EQ(Rows(dest), expected);

    pxdoc_t* px = PX_new();
    ASSERT_EQ(PX_open_file(px, (out + "/copy.db").toLocal8Bit().constData()), 0);
    ASSERT_EQ(PX_get_num_fields(px), items.FieldCount());
    EXPECT_EQ(PX_get_num_records(px), 3);
    for (int i = 0; i < items.FieldCount(); ++i) {
        const pxfield_t* f = PX_get_field(px, i);
        const TField& field = items.Fields(i);
        EXPECT_EQ(QString::fromLatin1(f->px_fname), field.FieldName());
        EXPECT_EQ(static_cast<unsigned char>(f->px_ftype),
                  static_cast<unsigned char>(field.DataType()));
        EXPECT_EQ(f->px_flen, field.Size()) << field.FieldName().toStdString();
    }
    pxval_t** record = PX_retrieve_record(px, 2);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(QString::fromLatin1(record[0]->value.str.val, record[0]->value.str.len), "Walls");
    EXPECT_EQ(record[7]->value.lval, 2);
    EXPECT_DOUBLE_EQ(record[5]->value.dval, 1.5);
    for (int i = 0; i < PX_get_num_fields(px); ++i) {
        if (!record[i]->isnull && record[i]->type == pxfAlpha)
            px->free(px, record[i]->value.str.val);
        px->free(px, record[i]);
    }
    px->free(px, record);
    PX_close(px);
    PX_delete(px);
}

} // namespace
