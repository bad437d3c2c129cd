#include "DbTestTables.h"
#include "LocalSql.h"

#include "db/Query.h"
#include "db/Session.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>

namespace {

// The sample project space of varnel-sample, written once per test.
class SampleSpaceTest : public ::testing::Test {
protected:
    void SetUp() override {
        const QString tool = QStringLiteral(VARNEL_BINARY_DIR "/tools/varnel-sample/varnel-sample");
        if (!QFile::exists(tool))
            GTEST_SKIP() << "varnel-sample is not built";
        ASSERT_TRUE(FDir.isValid());
        Space = FDir.filePath("space");
        QProcess p;
        p.start(tool, {Space});
        ASSERT_TRUE(p.waitForFinished(120000));
        ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    }
    void TearDown() override { Session().Close(); }

    QStringList Run(const QString& sql, const QString& project, const QString& filter = {}) {
        TQuery q;
        q.SetDatabaseName(Space + "/Projects/" + project);
        q.SetSQL(sql);
        q.SetFilter(filter);
        q.SetFiltered(true);
        q.Open();
        return Rows(q);
    }

    QTemporaryDir FDir;
    QString Space;
};

TEST_F(SampleSpaceTest, WorkedExampleGivesItsDocumentedSums) {
    EXPECT_EQ(Run(LocalSql::MoveTask, "WORKEX"),
              (QStringList{"12.5|937.5|1|Excavator operator|EXC|A100|Foundation|12",
                           "8|280|2|Laborer||A100|Foundation|12",
                           "40|1800|3|Carpenter|CARP|B200|Framing|15",
                           "6.25|218.75|2|Laborer||B200|Framing|15"}));
    EXPECT_EQ(Run(LocalSql::MaterialPhase, "WORKEX"),
              (QStringList{"1500|A100|12", "3250.4|B200|15"}));
    EXPECT_EQ(Run(LocalSql::MaterialPhase, "WORKEX", "(PhaseID=15)"),
              (QStringList{"3250.4|B200|15"}));
}

// The labour sums of the clinic estimate, with its broken links and
// duplicate names, against sums formed here straight from the table files.
TEST_F(SampleSpaceTest, ClinicLabourByTaskMatchesSumsFromTheFiles) {
    const std::filesystem::path folder = (Space + "/Projects/RIVERSIDE").toStdString();
    auto read = [&folder](const char* name,
                          const std::function<void(const TRecordView&, const TParadoxTable&)>& f) {
        const auto t = TParadoxTable::Open(folder / name);
        t->ForEachRecord([&](const TRecordView& r) {
            f(r, *t);
            return true;
        });
    };
    auto value = [](const TRecordView& r, const TParadoxTable& t, const char* field) {
        return r.Value(t.FieldIndex(QString::fromLatin1(field)));
    };
    std::map<qint64, std::pair<QString, QString>> phases; // id -> name, description
    std::map<qint64, std::pair<QString, QString>> products;
    std::map<qint64, qint64> itemPhase;
    read("phase.db", [&](const TRecordView& r, const TParadoxTable& t) {
        phases[std::get<qint64>(value(r, t, "Link_Phs"))] = {ValueToText(value(r, t, "Name")),
                                                             ValueToText(value(r, t, "Desct"))};
    });
    read("product.db", [&](const TRecordView& r, const TParadoxTable& t) {
        products[std::get<qint64>(value(r, t, "Link_Prod"))] = {ValueToText(value(r, t, "Desct")),
                                                                ValueToText(value(r, t, "Export"))};
    });
    read("ostr_prd.db", [&](const TRecordView& r, const TParadoxTable& t) {
        const TValue phase = value(r, t, "Link_Phs");
        if (!IsBlank(phase))
            itemPhase[std::get<qint64>(value(r, t, "Link_OstranePrd"))] = std::get<qint64>(phase);
    });
    // (phase name, task, phase id, product id) -> time, cost
    std::map<std::tuple<QString, QString, qint64, qint64>, std::pair<double, double>> sums;
    read("ostr_cst.db", [&](const TRecordView& r, const TParadoxTable& t) {
        const TValue cost = value(r, t, "Link_Cost");
        if (ValueToText(value(r, t, "GrpType")) != "L" || IsBlank(cost))
            return;
        const auto item = itemPhase.find(std::get<qint64>(value(r, t, "Link_OstranePrd")));
        const auto product = products.find(std::get<qint64>(cost));
        if (item == itemPhase.end() || product == products.end() || !phases.count(item->second))
            return;
        auto& s =
            sums[{phases[item->second].first, product->second.first, item->second, product->first}];
        s.first += IsBlank(value(r, t, "Qty")) ? 0 : std::get<double>(value(r, t, "Qty"));
        s.second += IsBlank(value(r, t, "Cost")) ? 0 : std::get<double>(value(r, t, "Cost"));
    });
    QStringList expected;
    for (const auto& [key, s] : sums) {
        const auto& [phaseName, task, phase, product] = key;
        expected << QStringList{QString::number(s.first, 'g', 15),
                                QString::number(s.second, 'g', 15),
                                QString::number(product),
                                task,
                                products[product].second,
                                phaseName,
                                phases[phase].second,
                                QString::number(phase)}
                        .join('|');
    }
    QStringList actual = Run(LocalSql::MoveTask, "RIVERSIDE");
    ASSERT_FALSE(expected.isEmpty());
    // Ordered by phase name and task; rows of equal name and task in any order.
    QStringList sortedActual = actual;
    auto byKey = [](const QString& a, const QString& b) {
        const QStringList x = a.split('|'), y = b.split('|');
        return std::tie(x[5], x[3]) < std::tie(y[5], y[3]);
    };
    EXPECT_TRUE(std::is_sorted(actual.begin(), actual.end(), byKey));
    std::sort(sortedActual.begin(), sortedActual.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(sortedActual, expected);
}

TEST_F(SampleSpaceTest, TableToolRunsQueries) {
    const QString tool = QStringLiteral(VARNEL_BINARY_DIR "/tools/varnel-table/varnel-table");
    if (!QFile::exists(tool))
        GTEST_SKIP() << "varnel-table is not built";
    QProcess p;
    p.start(tool, {"--sql", Space + "/Projects/WORKEX", LocalSql::MaterialPhase, "--filter",
                   "PhaseID=12"});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 0);
    EXPECT_EQ(QString::fromUtf8(p.readAllStandardOutput()),
              "Material_Value\tPhaseName\tPhaseID\n1500\tA100\t12\n");
    p.start(tool,
            {"--sql", Space + "/Projects/WORKEX", "SELECT Name FROM phase GROUP BY Link_Phs"});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 1);
    EXPECT_TRUE(p.readAllStandardOutput().isEmpty());
    EXPECT_TRUE(QString::fromUtf8(p.readAllStandardError()).contains("neither in GROUP BY"));
}

} // namespace
