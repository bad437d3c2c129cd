#include "DbTestTables.h"

#include "db/Query.h"
#include "db/Session.h"

#include <QDir>

#include <gtest/gtest.h>

namespace {

// SQL over tables that the original engine wrote.
class RealTablesTest : public ::testing::Test {
protected:
    void SetUp() override {
        Root = QStringLiteral(VARNEL_SHARED_DIR "/fixtures/paradox-real");
        if (!QDir(Root + "/dbdemos").exists() || !QDir(Root + "/rparadox").exists())
            GTEST_SKIP() << "the real sample tables are not in " << Root.toStdString();
    }
    void TearDown() override { Session().Close(); }

    QString Root;
};

TEST_F(RealTablesTest, EveryFieldTypeLoadsAndKeepsItsType) {
    TQuery q;
    q.SetDatabaseName(Root + "/rparadox");
    q.SetSQL(R"(SELECT * FROM "TypSammlung.DB" ORDER BY Datum, Alpha)");
    q.Open();
    const std::vector<TFieldType> types = {
        TFieldType::Alpha,     TFieldType::Number, TFieldType::Money,   TFieldType::Short,
        TFieldType::Long,      TFieldType::BCD,    TFieldType::Date,    TFieldType::Time,
        TFieldType::Timestamp, TFieldType::Memo,   TFieldType::Logical, TFieldType::AutoInc,
        TFieldType::Binary,    TFieldType::Bytes};
    ASSERT_EQ(q.FieldCount(), static_cast<int>(types.size()));
    for (int i = 0; i < q.FieldCount(); ++i)
        EXPECT_EQ(q.Fields(i).DataType(), types[static_cast<std::size_t>(i)]) << i;
    EXPECT_EQ(q.FieldByName("Bytes").Size(), 255);
    QStringList dates;
    for (q.First(); !q.Eof(); q.Next())
        dates << q.FieldByName("Datum").AsString() + " " + q.FieldByName("Datum/Zeit").AsString();
    // A year before 1 survives the trip through the SQL engine.
    EXPECT_EQ(dates,
              (QStringList{" ", " ", "-0001-12-31 -0001-12-31 01:00:00",
                           "1970-01-01 1970-01-01 11:00:00", "1999-09-09 2003-06-10 11:11:11"}));
}

TEST_F(RealTablesTest, JoinsAndFiltersOverTheDemoTables) {
    TQuery q;
    q.SetDatabaseName(Root + "/dbdemos");
    q.SetSQL("SELECT COUNT(*) AS N FROM orders O JOIN items I ON (O.OrderNo = I.OrderNo) "
             "JOIN customer C ON (C.CustNo = O.CustNo)");
    q.Open();
    EXPECT_EQ(q.FieldByName("N").AsInteger(), 945);
    q.SetSQL(
        R"(SELECT Name, Capital FROM country WHERE Continent = "South America" ORDER BY Name)");
    q.SetFilter("Name >= 'P'");
    q.SetFiltered(true);
    q.Open();
    EXPECT_EQ(Rows(q), (QStringList{"Paraguay|Asuncion", "Peru|Lima", "Uruguay|Montevideo",
                                    "Venezuela|Caracas"}));
}

} // namespace
