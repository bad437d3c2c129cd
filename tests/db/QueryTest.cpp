#include "DbTestTables.h"
#include "LocalSql.h"

#include "db/BatchMove.h"
#include "db/Query.h"
#include "db/Session.h"
#include "db/Table.h"
#include "db/format/DBEngineError.h"
#include "db/sql/SqlEngine.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

class QueryTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(FDir.isValid());
        Project = std::filesystem::path(FDir.path().toStdString()) / "Projects" / "TEST";
        System = std::filesystem::path(FDir.path().toStdString()) / "System";
        Temp = std::filesystem::path(FDir.path().toStdString()) / "Temp";
        for (const auto& p : {Project, System, Temp})
            std::filesystem::create_directories(p);
        WriteTestProject(Project);
        WriteTestProjectList(System);
    }
    void TearDown() override {
        Session().Close();
        Session().DropConnections();
    }

    QStringList Run(const QString& sql, const std::filesystem::path& folder,
                    const QString& filter = {}) {
        TQuery q;
        q.SetDatabaseName(QString::fromStdString(folder.string()));
        q.SetSQL(sql);
        q.SetFilter(filter);
        q.SetFiltered(!filter.isEmpty());
        q.Open();
        return Rows(q);
    }

    QTemporaryDir FDir;
    std::filesystem::path Project, System, Temp;
};

// Rows must equal `expected` in order, except that rows whose `keys` cells are
// equal (ties of the ORDER BY) may come in any order among themselves.
void ExpectRowsModuloTies(const QStringList& actual, const QStringList& expected,
                          const std::vector<int>& keys) {
    ASSERT_EQ(actual.size(), expected.size()) << actual.join(QLatin1Char('\n')).toStdString();
    auto key = [&keys](const QString& row) {
        const QStringList cells = row.split(QLatin1Char('|'));
        QStringList k;
        for (int c : keys)
            k << cells[c];
        return k;
    };
    for (qsizetype start = 0; start < expected.size();) {
        qsizetype end = start + 1;
        while (end < expected.size() && key(expected[end]) == key(expected[start]))
            ++end;
        QStringList a = actual.mid(start, end - start);
        QStringList e = expected.mid(start, end - start);
        std::sort(a.begin(), a.end());
        std::sort(e.begin(), e.end());
        EXPECT_EQ(a, e) << "rows " << start << " to " << end - 1 << " of\n"
                        << actual.join(QLatin1Char('\n')).toStdString();
        start = end;
    }
}

TEST_F(QueryTest, ChecklistCountsLineItemsWithQuantityPerPhase) {
    // Roof's only item lacks a quantity: listed with 0 lines. Empty has no
    // items and the item of the missing phase 99 joins nothing.
    EXPECT_EQ(Run(LocalSql::Checklist, Project),
              (QStringList{"Doors||15|3|2", "Roof|Roofing|20||0", "Walls|Exterior walls|12|20|4"}));
}

TEST_F(QueryTest, ItemGridDropsItemsWithBrokenLinksAndHonoursThePhaseFilter) {
    EXPECT_EQ(Run(LocalSql::Items, Project),
              (QStringList{"Doors|North|1|Wall panel|m2|||4|15", "Roof|North||Wall panel|m2|||5|20",
                           "Walls|North|10|Wall panel|m2|2|1|1|12",
                           "Walls|South|5|Wall panel|m2|1.5|0.5|2|12"}));
    EXPECT_EQ(
        Run(LocalSql::Items, Project, "(PhaseID=12) OR (PhaseID=15)"),
        (QStringList{"Doors|North|1|Wall panel|m2|||4|15", "Walls|North|10|Wall panel|m2|2|1|1|12",
                     "Walls|South|5|Wall panel|m2|1.5|0.5|2|12"}));

    TQuery q;
    q.SetDatabaseName(QString::fromStdString(Project.string()));
    q.SetSQL(LocalSql::Items);
    q.Open();
    const QStringList names = {"PHASE",   "LOCATION", "Quantity",  "Product", "UOM",
                               "LabQty1", "LabQty2",  "OstraneID", "PhaseID"};
    ASSERT_EQ(q.FieldCount(), names.size());
    for (int i = 0; i < q.FieldCount(); ++i) {
        EXPECT_EQ(q.Fields(i).FieldName(), names[i]);
        EXPECT_EQ(q.Fields(i).FieldNo(), i + 1);
    }
    EXPECT_EQ(q.FieldByName("phase").DataType(), TFieldType::Alpha);
    EXPECT_EQ(q.FieldByName("PHASE").Size(), 20);
    EXPECT_EQ(q.FieldByName("LOCATION").Size(), 60);
    EXPECT_EQ(q.FieldByName("Product").Size(), 40);
    EXPECT_EQ(q.FieldByName("Quantity").DataType(), TFieldType::Number);
    EXPECT_EQ(q.FieldByName("OstraneID").DataType(), TFieldType::Long);
    q.SetFilter("PhaseID=20");
    q.SetFiltered(true);
    EXPECT_EQ(q.RecordCount(), 1);
    EXPECT_EQ(q.FieldByName("OstraneID").AsInteger(), 5);
    q.SetFilter("");
    EXPECT_EQ(q.RecordCount(), 4);
}

TEST_F(QueryTest, TaskListsOfThePreferences) {
    EXPECT_EQ(Run(LocalSql::TasksByLibrary, Project), (QStringList{"GEN|General", "GEN|General"}));
    EXPECT_EQ(Run(LocalSql::TasksByCategory, Project),
              (QStringList{"CL|Concrete labour", "CL|Concrete labour", "F1|Finishes"}));
    // The blank export text sorts first.
    EXPECT_EQ(Run(LocalSql::TasksByLabourTask, Project),
              (QStringList{"|Painter", "CH|Concrete hand", "CP|Concrete pump", "OT|Orphan task",
                           "PT2|Painter"}));
}

TEST_F(QueryTest, ProjectListLeavesOutReservedRowsAndSortsAsTheGridRewritesIt) {
    const QString base = LocalSql::Projects;
    // A blank ReservedLibrary is no reserved library: those projects are listed.
    EXPECT_EQ(Run(base, System), (QStringList{"Bridge Repair|BRIDGE|2024-03-01 10:30:00||",
                                              "Alpha Tower|ALPHA|2024-03-02 10:30:00|secret|0",
                                              "Bridge Annex|BRIDGE|2024-03-04 10:30:00||",
                                              "clinic|clinic|2024-03-05 10:30:00||0"}));
    auto titles = [&](const QString& orderBy) {
        QStringList out;
        for (const QString& row : Run(base + orderBy, System))
            out << row.section(QLatin1Char('|'), 0, 0);
        return out;
    };
    EXPECT_EQ(titles(" ORDER BY LONGNAME ASC"),
              (QStringList{"Alpha Tower", "Bridge Annex", "Bridge Repair", "clinic"}));
    EXPECT_EQ(titles(" ORDER BY LONGNAME DESC "),
              (QStringList{"clinic", "Bridge Repair", "Bridge Annex", "Alpha Tower"}));
    EXPECT_EQ(titles(" ORDER BY SHORTNAME ASC, LONGNAME DESC "),
              (QStringList{"Alpha Tower", "Bridge Repair", "Bridge Annex", "clinic"}));
    EXPECT_EQ(titles(" ORDER BY LONGNAME ASC, SHORTNAME ASC "),
              (QStringList{"Alpha Tower", "Bridge Annex", "Bridge Repair", "clinic"}));
    // A rewritten text has single blanks and commas set apart; a statement may end in ";".
    EXPECT_EQ(Run("Select * from Projname where not ( Projname.reservedlibrary =1 ) ORDER BY "
                  "SHORTNAME DESC , "
                  "Projname.LongName ;",
                  System)
                  .size(),
              4);
    EXPECT_EQ(titles(" ORDER BY MODIFIED DESC, LONGNAME ASC "),
              (QStringList{"clinic", "Bridge Annex", "Alpha Tower", "Bridge Repair"}));

    TQuery q;
    q.SetDatabaseName(QString::fromStdString(System.string()));
    q.SetSQL(base);
    q.Open();
    EXPECT_EQ(q.FieldByName("Modified").DataType(), TFieldType::Timestamp);
    EXPECT_EQ(q.FieldByName("ReservedLibrary").DataType(), TFieldType::Short);
    EXPECT_EQ(q.FieldByName("Password").Size(), 10);
    EXPECT_TRUE(q.Locate("LongName", QString("bridge annex"), {.CaseInsensitive = true}));
    EXPECT_EQ(q.FieldByName("ShortName").AsString(), "BRIDGE");
    EXPECT_EQ(q.RecNo(), 3);
    EXPECT_FALSE(q.Locate("LongName", QString("Reserved Lib"), {.CaseInsensitive = true}));
    EXPECT_EQ(q.RecNo(), 3);
}

TEST_F(QueryTest, MoveQueriesSumPerPhaseAndGrouping) {
    // Time_Qty|Time_Value|ProdID|Task|ExportName|PhaseName|PhaseDesct|PhaseID
    ExpectRowsModuloTies(Run(LocalSql::MoveTask, Project),
                         {"2|80|102|Painter||Doors||15",
                          "4|200|100|Concrete hand|CH|Walls|Exterior walls|12",
                          "3|150|101|Concrete pump|CP|Walls|Exterior walls|12",
                          "0.5|20|104|Orphan task|OT|Walls|Exterior walls|12",
                          "1|40|102|Painter||Walls|Exterior walls|12",
                          "1|45|103|Painter|PT2|Walls|Exterior walls|12"},
                         {5, 3});
    // Same-named categories with equal export texts are summed, with different
    // texts kept apart; the task without category counts nowhere.
    ExpectRowsModuloTies(Run(LocalSql::MoveCat, Project),
                         {"2|80|0|Finishes|F1|Doors||15",
                          "7|350|0|Concrete labour|CL|Walls|Exterior walls|12",
                          "1|40|0|Finishes|F1|Walls|Exterior walls|12",
                          "1|45|0|Finishes|F2|Walls|Exterior walls|12"},
                         {5, 3});
    EXPECT_EQ(
        Run(LocalSql::MoveLib, Project),
        (QStringList{"2|80|0|General|GEN|Doors||15", "8|390|0|General|GEN|Walls|Exterior walls|12",
                     "1|45|0|Special|SP1|Walls|Exterior walls|12"}));
    EXPECT_EQ(Run(LocalSql::MoveLib, Project, "(PhaseID=15)"),
              (QStringList{"2|80|0|General|GEN|Doors||15"}));
    EXPECT_EQ(Run(LocalSql::MaterialPhase, Project),
              (QStringList{"70|Doors|15", "30|Roof|20", "750|Walls|12"}));
}

TEST_F(QueryTest, WorkTableIsACopyOfTheFilteredMoveQuery) {
    TQuery move;
    move.SetDatabaseName(QString::fromStdString(Project.string()));
    move.SetSQL(LocalSql::MoveTask);
    move.SetFiltered(true);
    move.SetFilter("(PhaseID=12) OR (PhaseID=15)");
    move.Open();
    const QStringList source = Rows(move);

    TTable tblTmp;
    tblTmp.SetDatabaseName(QString::fromStdString(Temp.string()));
    tblTmp.SetTableName("tmpHVN.db");
    // An older work table of another shape is replaced.
    WriteTable(Temp / "TMPHVN.DB", {{"Other", TFieldType::Long}}, {{qint64(1)}});
    TBatchMove batch;
    batch.SetSource(&move);
    batch.SetDestination(&tblTmp);
    EXPECT_EQ(batch.Execute(), 6);
    EXPECT_FALSE(std::filesystem::exists(Temp / "TMPHVN.DB"));

    tblTmp.Open();
    EXPECT_EQ(Rows(tblTmp), source);
    const QStringList names = {"Time_Qty",   "Time_Value", "ProdID",     "Task",
                               "ExportName", "PhaseName",  "PhaseDesct", "PhaseID"};
    const std::vector<TFieldType> types = {
        TFieldType::Number, TFieldType::Number, TFieldType::Long,  TFieldType::Alpha,
        TFieldType::Alpha,  TFieldType::Alpha,  TFieldType::Alpha, TFieldType::Long};
    const std::vector<int> sizes = {8, 8, 4, 40, 20, 20, 40, 4};
    ASSERT_EQ(tblTmp.FieldCount(), 8);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(tblTmp.Fields(i).FieldName(), names[i]);
        EXPECT_EQ(tblTmp.Fields(i).DataType(), types[static_cast<std::size_t>(i)]);
        EXPECT_EQ(tblTmp.Fields(i).Size(), sizes[static_cast<std::size_t>(i)]);
    }
    for (tblTmp.First(); !tblTmp.Eof(); tblTmp.Next()) {
        tblTmp.Edit();
        if (tblTmp.FieldByName("ExportName").AsString().isEmpty())
            tblTmp.FieldByName("ExportName").SetAsString(tblTmp.FieldByName("Task").AsString());
        tblTmp.Post();
    }
    tblTmp.Close();

    ExpectRowsModuloTies(Run(LocalSql::LaborPhase, Temp),
                         {"2|80|102|Painter|Painter|Doors||15",
                          "4|200|100|Concrete hand|CH|Walls|Exterior walls|12",
                          "3|150|101|Concrete pump|CP|Walls|Exterior walls|12",
                          "0.5|20|104|Orphan task|OT|Walls|Exterior walls|12",
                          "1|40|102|Painter|Painter|Walls|Exterior walls|12",
                          "1|45|103|Painter|PT2|Walls|Exterior walls|12"},
                         {5, 3});
    EXPECT_EQ(Run(LocalSql::Phases, Temp),
              (QStringList{"2|80|Doors||15", "9.5|455|Walls|Exterior walls|12"}));
    ExpectRowsModuloTies(Run(LocalSql::Labor, Temp),
                         {"4|200|100|Concrete hand|CH", "3|150|101|Concrete pump|CP",
                          "0.5|20|104|Orphan task|OT", "3|120|102|Painter|Painter",
                          "1|45|103|Painter|PT2"},
                         {3});
}

TEST_F(QueryTest, TablesAreCachedUntilTheirFileChanges) {
    TSqlEngine& engine = Session().SqlEngine();
    Run(LocalSql::MaterialPhase, Project);
    const int loads = engine.LoadCount();
    Run(LocalSql::MaterialPhase, Project);
    EXPECT_EQ(engine.LoadCount(), loads);

    // Rewritten by someone else: size and time differ, the new rows are read.
    DeleteParadoxTable(Project / "phase.db");
    WriteTable(Project / "phase.db",
               {{"Link_Phs", TFieldType::Long}, {"Name", TFieldType::Alpha, 20}},
               {{qint64(12), QString("Walls renamed")},
                {qint64(15), QString("Doors")},
                {qint64(20), QString("Roof")}},
               1);
    EXPECT_EQ(Run(LocalSql::MaterialPhase, Project),
              (QStringList{"70|Doors|15", "30|Roof|20", "750|Walls renamed|12"}));
    EXPECT_EQ(engine.LoadCount(), loads + 1);

    // Our own post of the same size is seen at once.
    TTable table;
    table.SetDatabaseName(QString::fromStdString(Project.string()));
    table.SetTableName("PHASE");
    table.Open();
    table.Edit();
    table.FieldByName("Name").SetAsString("Walls again");
    table.Post();
    EXPECT_EQ(Run(LocalSql::MaterialPhase, Project, "PhaseID=12"),
              (QStringList{"750|Walls again|12"}));
}

TEST_F(QueryTest, LoadedTablesKeepEveryRecordInRecordOrderWithBlankKeys) {
    const auto L = TFieldType::Long;
    const auto A = TFieldType::Alpha;
    // Enough records for several insert statements and a partly filled last
    // one; keyed in rising order, and unkeyed in falling order.
    std::vector<std::vector<TValue>> rising;
    QStringList risingRows;
    for (qint64 i = 0; i < 150; ++i) {
        rising.push_back({i * 3 - 100, QStringLiteral("r%1").arg(i)});
        risingRows << QStringLiteral("%1|r%2").arg(i * 3 - 100).arg(i);
    }
    WriteTable(Temp / "keyed.db", {{"Id", L}, {"Name", A, 10}}, rising, 1);
    std::reverse(rising.begin(), rising.end());
    WriteTable(Temp / "unkeyed.db", {{"Id", L}, {"Name", A, 10}}, rising);
    // Blank keys, of an integer and of a text key field.
    WriteTable(Temp / "blank.db", {{"Id", TFieldType::Short}, {"Name", A, 10}},
               {{TValue(), QString("blank")},
                {qint64(-100), QString("low")},
                {qint64(5), QString("five")}},
               1);
    WriteTable(Temp / "text.db", {{"Code", A, 4}, {"Id", L}},
               {{TValue(), qint64(-97)}, {QString("A"), qint64(5)}, {QString("B"), TValue()}}, 1);

    EXPECT_EQ(Run("SELECT * FROM keyed", Temp), risingRows);
    std::reverse(risingRows.begin(), risingRows.end());
    EXPECT_EQ(Run("SELECT * FROM unkeyed", Temp), risingRows);
    EXPECT_EQ(Run("SELECT * FROM blank", Temp), (QStringList{"|blank", "-100|low", "5|five"}));
    EXPECT_EQ(Run("SELECT Name FROM blank WHERE Id IS NULL", Temp), (QStringList{"blank"}));
    EXPECT_EQ(Run("SELECT * FROM text", Temp), (QStringList{"|-97", "A|5", "B|"}));
    EXPECT_EQ(Run("SELECT B.Name, K.Name FROM blank AS B JOIN keyed AS K ON (K.Id = B.Id) "
                  "ORDER BY B.Id",
                  Temp),
              (QStringList{"low|r0", "five|r35"}));
    EXPECT_EQ(Run("SELECT T.Id, K.Name FROM text AS T JOIN keyed AS K ON (K.Id = T.Id) "
                  "ORDER BY T.Id",
                  Temp),
              (QStringList{"-97|r1", "5|r35"}));
    EXPECT_EQ(Run("SELECT COUNT(Id), SUM(Id) FROM keyed WHERE Id > 300", Temp),
              (QStringList{"16|5192"}));
}

TEST_F(QueryTest, SessionClosesEveryDatasetAndHoldsItsDirectories) {
    Session().Close();
    EXPECT_FALSE(Session().Active());
    TQuery q;
    q.SetDatabaseName(QString::fromStdString(Project.string()));
    q.SetSQL("SELECT * FROM phase");
    q.Open();
    TTable t;
    t.SetDatabaseName(QString::fromStdString(System.string()));
    t.SetTableName("projname");
    t.Open();
    EXPECT_TRUE(Session().Active());
    Session().Close();
    EXPECT_FALSE(q.Active());
    EXPECT_FALSE(t.Active());
    EXPECT_FALSE(Session().Active());

    // DropConnections forgets the cached tables: they are read again.
    const int loads = Session().SqlEngine().LoadCount();
    q.Open();
    EXPECT_EQ(Session().SqlEngine().LoadCount(), loads);
    Session().DropConnections();
    q.Close();
    q.Open();
    EXPECT_EQ(Session().SqlEngine().LoadCount(), loads + 1);

    const QString net = Session().NetFileDir();
    const QString priv = Session().PrivateDir();
    const QString dir = QString::fromStdString(Temp.string());
    Session().SetNetFileDir(dir);
    Session().SetPrivateDir(dir);
    EXPECT_EQ(Session().NetFileDir(), dir);
    EXPECT_EQ(Session().PrivateDir(), dir);
    EXPECT_THROW(Session().SetNetFileDir(dir + "/missing"), EDBEngineError);
    EXPECT_THROW(Session().SetPrivateDir(dir + "/missing"), EDBEngineError);
    EXPECT_EQ(Session().NetFileDir(), dir);
    Session().SetNetFileDir(net);
    Session().SetPrivateDir(priv);
}

TEST_F(QueryTest, TextsTheDialectRejectsGiveEngineErrors) {
    struct TCase {
        const char* Sql;
        int Code;
        const char* MessagePart;
    };
    const TCase cases[] = {
        {R"(SELECT * FROM "nosuch.db")", DBErrorCode::NotFound, "nosuch.db"},
        {R"(SELECT X.Name FROM "phase.db" AS PH)", DBErrorCode::SqlSyntax,
         "unknown table or alias \"X\""},
        {R"(SELECT PH.Name, SUM(PH.Link_Phs) FROM "phase.db" PH)", DBErrorCode::SqlSyntax,
         "PH.Name"},
        {R"(SELECT Name, Desct, COUNT(*) FROM phase GROUP BY Name)", DBErrorCode::SqlSyntax,
         "Desct"},
        {R"(SELECT NoColumn FROM phase)", DBErrorCode::SqlSyntax, "NoColumn"},
        {R"(DELETE FROM phase)", DBErrorCode::SqlSyntax, "only SELECT"},
        {R"(SELECT * FROM phase; SELECT * FROM uom)", DBErrorCode::SqlSyntax, "one statement"},
        {R"(SELECT * FROM phase WHERE (Name = "A")", DBErrorCode::SqlSyntax, "missing ')'"},
        {R"(SELECT * FROM phase WHERE Name = "A)", DBErrorCode::SqlSyntax, "unterminated"},
        {R"(SELECT * FROM phase WHERE Name = :p)", DBErrorCode::SqlSyntax,
         "unexpected character ':'"},
        {"", DBErrorCode::SqlSyntax, "empty"},
    };
    for (const TCase& c : cases) {
        TQuery q;
        q.SetDatabaseName(QString::fromStdString(Project.string()));
        q.SetSQL(QString::fromUtf8(c.Sql));
        try {
            q.Open();
            ADD_FAILURE() << "no error for " << c.Sql;
        } catch (const EDBEngineError& e) {
            EXPECT_EQ(e.ErrorCode(), c.Code) << c.Sql << ": " << e.what();
            EXPECT_TRUE(e.Message().contains(QString::fromUtf8(c.MessagePart)))
                << c.Sql << ": " << e.what();
        }
        EXPECT_FALSE(q.Active());
    }
}

TEST_F(QueryTest, DialectFormsResolveTablesAndQualifiers) {
    struct TCase {
        const char* Sql;
        QStringList Rows;
    };
    const TCase cases[] = {
        // bare names in any case, with or without extension, aliases with and without AS
        {"SELECT Name FROM PHASE WHERE Link_Phs = 12", {"Walls"}},
        {"SELECT p.Name FROM phase.DB p WHERE p.Link_Phs = 15", {"Doors"}},
        {R"(SELECT "phase.db".Name FROM "PHASE.DB" WHERE "phase.db".Link_Phs = 20)", {"Roof"}},
        // qualified by the table's own name although it has an alias
        {R"(SELECT phase.Name FROM "phase.db" AS PH WHERE Phase.Link_Phs=31)", {"Empty"}},
        // double- and single-quoted literals, NOT over a blank, constants
        {R"(SELECT Name, 'x' AS Tag, 2.5 AS Half FROM phase WHERE NOT (Desct = "Roofing") ORDER BY Name)",
         {"Doors|x|2.5", "Empty|x|2.5", "Walls|x|2.5"}},
        {R"(SELECT COUNT(*) AS N FROM phase WHERE NOT Name = 'Walls' AND NOT(Desct IS NULL))",
         {"2"}},
        {R"(SELECT Name FROM phase WHERE Name LIKE "w%")", {}},
        // "--" between two minus signs is no comment
        {"SELECT 3--2 AS A FROM phase WHERE Link_Phs = 12", {"5"}},
        // a sub-query
        {"SELECT Name FROM phase WHERE Link_Phs IN (SELECT T.Link_Phs FROM ostr_prd T WHERE T.Qty "
         "> 4)",
         {"Walls"}},
        // a FROM list chained with JOIN
        {R"(SELECT K.Name, L.Name FROM prod_cat K JOIN prod_lib L ON (K.Link_lib = L.Link_lib) WHERE L.Lib_level = 2)",
         {"Finishes|Special"}},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(Run(QString::fromUtf8(c.Sql), Project), c.Rows) << c.Sql;

    // A column computed without alias is named by its expression as written.
    TQuery q;
    q.SetDatabaseName(QString::fromStdString(Project.string()));
    q.SetSQL("SELECT COUNT(*), MAX(Name) FROM phase");
    q.Open();
    EXPECT_EQ(q.Fields(0).FieldName(), "COUNT(*)");
    EXPECT_EQ(q.Fields(1).FieldName(), "MAX(Name)");
    EXPECT_EQ(q.Fields(1).AsString(), "Walls");
}

} // namespace
