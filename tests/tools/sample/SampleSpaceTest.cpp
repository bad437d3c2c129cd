#include "varnel-sample/SampleSpace.h"

#include "db/format/ParadoxTable.h"
#include "platform/Registry.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <tuple>

namespace fs = std::filesystem;

namespace {

// A table read back whole, through the engine's reader.
struct TTableRows {
    std::vector<TFieldDef> Fields;
    int KeyFields = 0;
    std::vector<std::vector<TValue>> Rows;

    std::size_t Col(const char* name) const {
        for (std::size_t i = 0; i < Fields.size(); ++i) {
            if (Fields[i].Name.compare(QLatin1String(name), Qt::CaseInsensitive) == 0) {
                return i;
            }
        }
        ADD_FAILURE() << "no field " << name;
        return 0;
    }
};

TTableRows ReadTable(const fs::path& file) {
    const auto table = TParadoxTable::Open(file);
    TTableRows rows{table->Fields(), table->KeyFieldCount(), {}};
    table->ForEachRecord([&](const TRecordView& record) {
        std::vector<TValue> values;
        for (int i = 0; i < static_cast<int>(rows.Fields.size()); ++i) {
            values.push_back(record.Value(i));
        }
        rows.Rows.push_back(std::move(values));
        return true;
    });
    return rows;
}

QString Text(const TValue& value) {
    return IsBlank(value) ? QString() : std::get<QString>(value);
}

// Blank and dangling links both read as -1 where a join would drop them.
qint64 Link(const TValue& value) {
    return IsBlank(value) ? -1 : std::get<qint64>(value);
}

fs::path Path(const QTemporaryDir& dir) {
    return fs::path(dir.path().toStdString());
}

// A labour sum's key: sub-job name, task name, export text.
using TLabourKey = std::tuple<QString, QString, QString>;

} // namespace

TEST(SampleSpace, WorkedExampleAddsUpToTheExportExample) {
    QTemporaryDir dir;
    WriteSampleSpace(Path(dir), std::nullopt);
    const fs::path project = Path(dir) / "Projects" / "WORKEX";

    const TTableRows phases = ReadTable(project / "phase.db");
    const TTableRows items = ReadTable(project / "ostr_prd.db");
    const TTableRows costs = ReadTable(project / "ostr_cst.db");
    const TTableRows products = ReadTable(project / "product.db");
    const TTableRows categories = ReadTable(project / "prod_cat.db");

    std::map<qint64, QString> subJob;
    for (const auto& r : phases.Rows) {
        subJob[Link(r[0])] = Text(r[phases.Col("Name")]) + ": " + Text(r[phases.Col("Desct")]);
    }
    std::map<qint64, qint64> itemPhase;
    double labQty1 = 0, labQty2 = 0;
    for (const auto& r : items.Rows) {
        itemPhase[Link(r[0])] = Link(r[items.Col("Link_Phs")]);
        labQty1 += std::get<double>(r[items.Col("LabQty1")]);
        labQty2 += std::get<double>(r[items.Col("LabQty2")]);
    }
    std::map<qint64, std::pair<QString, QString>> category;
    for (const auto& r : categories.Rows) {
        category[Link(r[0])] = {Text(r[categories.Col("Name")]), Text(r[categories.Col("Export")])};
    }
    std::map<qint64, std::array<QString, 4>> product; // desct, export, category name, its export
    for (const auto& r : products.Rows) {
        const auto& cat = category.at(Link(r[products.Col("Link_cat")]));
        product[Link(r[0])] = {Text(r[products.Col("Desct")]), Text(r[products.Col("Export")]),
                               cat.first, cat.second};
    }

    std::map<TLabourKey, std::pair<double, double>> byTask, byCategory;
    std::map<QString, double> material;
    for (const auto& r : costs.Rows) {
        const QString phase = subJob.at(itemPhase.at(Link(r[costs.Col("Link_OstranePrd")])));
        const double qty = std::get<double>(r[costs.Col("Qty")]);
        const double cost = std::get<double>(r[costs.Col("Cost")]);
        const QString group = Text(r[costs.Col("GrpType")]);
        if (group == "C") {
            material[phase] += cost;
        } else if (group == "L") {
            const auto& p = product.at(Link(r[costs.Col("Link_Cost")]));
            auto& t = byTask[{phase, p[0], p[1]}];
            t.first += qty;
            t.second += cost;
            auto& c = byCategory[{phase, p[2], p[3]}];
            c.first += qty;
            c.second += cost;
        }
    }

    const std::map<TLabourKey, std::pair<double, double>> expected = {
        {{"A100: Foundation", "Excavator operator", "EXC"}, {12.5, 937.50}},
        {{"A100: Foundation", "Laborer", ""}, {8, 280.00}},
        {{"B200: Framing", "Carpenter", "CARP"}, {40, 1800.00}},
        {{"B200: Framing", "Laborer", ""}, {6.25, 218.75}},
    };
    EXPECT_EQ(byTask, expected);
    EXPECT_EQ(byCategory, expected);
    ASSERT_EQ(material.size(), 2u);
    EXPECT_DOUBLE_EQ(material["A100: Foundation"], 1500.00);
    EXPECT_DOUBLE_EQ(material["B200: Framing"], 3250.40);
    EXPECT_DOUBLE_EQ(labQty1, 52.5);
    EXPECT_DOUBLE_EQ(labQty2, 14.25);
}

TEST(SampleSpace, ProjectListUsersRegistryAndTableLayout) {
    QTemporaryDir temp;
    // A folder name with a backslash and quotes, which the registry file must escape.
    const QString space = temp.filePath("space \"q\" \\ x");
    const fs::path root(space.toStdString());
    const auto written = WriteSampleSpace(root, 23);
    ASSERT_EQ(written.size(), 3u);

    const TTableRows list = ReadTable(root / "System" / "Projname.db");
    std::vector<std::tuple<QString, QString, qint64>> rows;
    for (const auto& r : list.Rows) {
        rows.emplace_back(Text(r[list.Col("LongName")]), Text(r[list.Col("ShortName")]),
                          Link(r[list.Col("ReservedLibrary")]));
    }
    const std::vector<std::tuple<QString, QString, qint64>> expectedRows = {
        {"Worked Example", "WORKEX", 0},
        {"Standard Library", "STDLIB", 1},
        {"Riverside Clinic Fit-out", "RIVERSIDE", 0},
        {"Scaled Estimate", "SCALED", 0}};
    EXPECT_EQ(rows, expectedRows);

    const std::map<std::string, int> keyFields = {
        {"phase.db", 1},    {"ostr_prd.db", 1}, {"ostr_cst.db", 0}, {"product.db", 1},
        {"prod_cat.db", 1}, {"prod_lib.db", 1}, {"Location.db", 1}, {"uom.db", 1}};
    for (const char* shortName : {"WORKEX", "RIVERSIDE", "SCALED"}) {
        for (const auto& [file, keys] : keyFields) {
            SCOPED_TRACE(std::string(shortName) + "/" + file);
            const auto table = TParadoxTable::Open(root / "Projects" / shortName / file);
            EXPECT_EQ(table->KeyFieldCount(), keys);
        }
        const auto items = TParadoxTable::Open(root / "Projects" / shortName / "ostr_prd.db");
        for (const char* field : {"M1", "M8", "REFERENCE", "LabQty2"}) {
            EXPECT_GE(items->FieldIndex(field), 0) << field;
        }
    }

    const TTableRows scaledItems = ReadTable(root / "Projects" / "SCALED" / "ostr_prd.db");
    const TTableRows scaledCosts = ReadTable(root / "Projects" / "SCALED" / "ostr_cst.db");
    EXPECT_EQ(scaledItems.Rows.size(), 23u);
    std::map<qint64, int> linesPerItem;
    for (const auto& r : scaledCosts.Rows) {
        ++linesPerItem[Link(r[0])];
    }
    EXPECT_EQ(linesPerItem.size(), 23u);
    for (const auto& [item, lines] : linesPerItem) {
        EXPECT_EQ(lines, 5) << "line item " << item;
    }

    const auto users = TParadoxTable::Open(root / "System" / "Users.db");
    EXPECT_EQ(users->KeyFieldCount(), 1);
    const int fullName = users->FieldIndex("Fullname");
    QString found;
    EXPECT_TRUE(users->FindKey({QString("estimator")},
                               [&](const TRecordView& r) { found = Text(r.Value(fullName)); }));
    EXPECT_EQ(found, "Dana Whitfield");
    EXPECT_TRUE(users->FindKey({QString("trainee")},
                               [&](const TRecordView& r) { EXPECT_TRUE(r.IsBlank(fullName)); }));

    TRegistry registry(TRegAccess::Read, space + "/Registry.reg");
    registry.RootKey = TRegRoots::LOCAL_MACHINE;
    const QString base = "SOFTWARE\\Calvero Software Corp.\\Ostrane\\2.0\\";
    ASSERT_TRUE(registry.OpenKey(base + "SYSTEM", false));
    EXPECT_EQ(registry.ReadString("DATAPATH"), space);
    EXPECT_EQ(registry.ReadString("LASTUSER"), "estimator");
    ASSERT_TRUE(registry.OpenKey(base + "USERS\\estimator\\MRULIST", false));
    EXPECT_EQ(registry.ReadString("MRU1"), "Worked Example");
    EXPECT_EQ(registry.ReadString("PATH1"), space);
    ASSERT_TRUE(registry.OpenKey(base + "Labels", false));
    EXPECT_EQ(registry.ReadString("Mile3"), "Reviewed");
}

// The SQL and export tests rely on these rows being there; a change of the
// generator that lost one would leave those tests passing for nothing.
TEST(SampleSpace, ClinicHoldsTheAwkwardCases) {
    QTemporaryDir dir;
    WriteSampleSpace(Path(dir), std::nullopt);
    const fs::path project = Path(dir) / "Projects" / "RIVERSIDE";
    const TTableRows phases = ReadTable(project / "phase.db");
    const TTableRows items = ReadTable(project / "ostr_prd.db");
    const TTableRows costs = ReadTable(project / "ostr_cst.db");
    const TTableRows products = ReadTable(project / "product.db");
    const TTableRows categories = ReadTable(project / "prod_cat.db");
    const TTableRows libraries = ReadTable(project / "prod_lib.db");
    const TTableRows locations = ReadTable(project / "Location.db");
    const TTableRows units = ReadTable(project / "uom.db");

    const auto ids = [](const TTableRows& t) {
        std::set<qint64> s;
        for (const auto& r : t.Rows) {
            s.insert(Link(r[0]));
        }
        return s;
    };
    const std::set<qint64> phaseIds = ids(phases), locationIds = ids(locations),
                           productIds = ids(products), unitIds = ids(units),
                           categoryIds = ids(categories), itemIds = ids(items);
    std::map<QString, qint64> phaseByName;
    for (const auto& r : phases.Rows) {
        phaseByName[Text(r[phases.Col("Name")])] = Link(r[0]);
        if (Text(r[phases.Col("Name")]) == "B150") {
            EXPECT_TRUE(Text(r[phases.Col("Desct")]).isEmpty());
        }
    }
    EXPECT_EQ(phases.Rows.size(), 34u);
    EXPECT_GT(items.Rows.size(), 300u);

    std::map<qint64, qint64> itemPhase;
    std::map<qint64, int> itemsPerPhase, measuredPerPhase;
    int missingPhase = 0, missingLocation = 0, missingProduct = 0, missingUnit = 0;
    std::map<qint64, qint64> productUnit;
    for (const auto& r : products.Rows) {
        productUnit[Link(r[0])] = Link(r[products.Col("Link_Uom")]);
    }
    for (const auto& r : items.Rows) {
        const qint64 phase = Link(r[items.Col("Link_Phs")]);
        const qint64 prod = Link(r[items.Col("Link_prod")]);
        itemPhase[Link(r[0])] = phase;
        ++itemsPerPhase[phase];
        measuredPerPhase[phase] += IsBlank(r[items.Col("Qty")]) ? 0 : 1;
        missingPhase += phaseIds.count(phase) ? 0 : 1;
        missingLocation += locationIds.count(Link(r[items.Col("Link_loc")])) ? 0 : 1;
        missingProduct += productIds.count(prod) ? 0 : 1;
        missingUnit += productIds.count(prod) && !unitIds.count(productUnit[prod]) ? 1 : 0;
    }
    EXPECT_GE(missingPhase, 2);
    EXPECT_GE(missingLocation, 2);
    EXPECT_GE(missingProduct, 1);
    EXPECT_GE(missingUnit, 1);
    EXPECT_EQ(itemsPerPhase.count(phaseByName["X990"]), 0u) << "a phase without line items";
    EXPECT_GT(itemsPerPhase[phaseByName["Z900"]], 0);
    EXPECT_EQ(measuredPerPhase[phaseByName["Z900"]], 0) << "a phase whose items lack quantities";

    std::set<QString> groups;
    std::map<qint64, std::set<QString>> groupsPerPhase;
    std::map<qint64, std::set<QString>> labourCategoriesPerPhase; // "name/id"
    int orphanCosts = 0, labourWithoutCategory = 0, negativeMaterial = 0;
    std::map<qint64, qint64> productCategory;
    for (const auto& r : products.Rows) {
        productCategory[Link(r[0])] = Link(r[products.Col("Link_cat")]);
    }
    std::map<qint64, QString> categoryName;
    for (const auto& r : categories.Rows) {
        categoryName[Link(r[0])] = Text(r[categories.Col("Name")]);
    }
    for (const auto& r : costs.Rows) {
        const QString group = Text(r[costs.Col("GrpType")]);
        const qint64 item = Link(r[costs.Col("Link_OstranePrd")]);
        const qint64 task = Link(r[costs.Col("Link_Cost")]);
        groups.insert(group);
        orphanCosts += itemIds.count(item) ? 0 : 1;
        if (itemPhase.count(item)) {
            groupsPerPhase[itemPhase[item]].insert(group);
        }
        if (group == "L" && productIds.count(task) && !categoryIds.count(productCategory[task])) {
            ++labourWithoutCategory;
        }
        if (group == "L" && itemPhase.count(item) && productIds.count(task) &&
            categoryIds.count(productCategory[task])) {
            labourCategoriesPerPhase[itemPhase[item]].insert(
                categoryName[productCategory[task]] + "/" + QString::number(productCategory[task]));
        }
        negativeMaterial += group == "C" && std::get<double>(r[costs.Col("Cost")]) < 0 ? 1 : 0;
    }
    EXPECT_EQ(groups, (std::set<QString>{"", "C", "E", "L", "S"}));
    EXPECT_GE(orphanCosts, 1);
    EXPECT_GT(labourWithoutCategory, 0);
    EXPECT_GT(negativeMaterial, 0);
    const auto& siteGroups = groupsPerPhase[phaseByName["A050"]];
    EXPECT_TRUE(siteGroups.count("C") && !siteGroups.count("L")) << "material but no labour";

    std::map<QString, std::multiset<QString>> exportsByCategoryName;
    for (const auto& r : categories.Rows) {
        exportsByCategoryName[Text(r[categories.Col("Name")])].insert(
            Text(r[categories.Col("Export")]));
    }
    EXPECT_EQ(exportsByCategoryName["Concrete labour"], (std::multiset<QString>{"CONC", "CONC"}));
    EXPECT_EQ(exportsByCategoryName["Finishes"], (std::multiset<QString>{"FIN-EXT", "FIN-INT"}));
    // Both same-named pairs of categories must meet in one phase to be summed or kept apart there.
    for (const char* name : {"Concrete labour", "Finishes"}) {
        EXPECT_TRUE(std::any_of(labourCategoriesPerPhase.begin(), labourCategoriesPerPhase.end(),
                                [&](const auto& phase) {
                                    return std::count_if(phase.second.begin(), phase.second.end(),
                                                         [&](const QString& c) {
                                                             return c.startsWith(QString(name) +
                                                                                 "/");
                                                         }) == 2;
                                }))
            << name;
    }
    for (const TTableRows* table : {&products, &categories, &libraries}) {
        const std::size_t exportCol = table->Col("Export");
        EXPECT_TRUE(std::any_of(table->Rows.begin(), table->Rows.end(),
                                [&](const auto& r) { return Text(r[exportCol]).isEmpty(); }));
    }
}

TEST(SampleSpace, OutputIsDeterministic) {
    QTemporaryDir first, second;
    WriteSampleSpace(Path(first), 40);
    WriteSampleSpace(Path(second), 40);
    int files = 0;
    QDirIterator it(first.path(), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        const QString relative = QDir(first.path()).relativeFilePath(file);
        QFile a(file), b(second.filePath(relative));
        ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly))
            << relative.toStdString();
        QByteArray bytesA = a.readAll(), bytesB = b.readAll();
        if (relative == "Registry.reg") {
            bytesA.replace(first.path().toUtf8(), "@");
            bytesB.replace(second.path().toUtf8(), "@");
        }
        EXPECT_EQ(bytesA, bytesB) << relative.toStdString();
        ++files;
    }
    EXPECT_GE(files, 3 + 3 * 8);
}

TEST(SampleSpace, RefusesAFolderThatIsNotEmpty) {
    QTemporaryDir dir;
    QFile stray(dir.filePath("notes.txt"));
    ASSERT_TRUE(stray.open(QIODevice::WriteOnly));
    stray.close();
    EXPECT_THROW(WriteSampleSpace(Path(dir), std::nullopt), std::runtime_error);
    EXPECT_FALSE(QDir(dir.filePath("System")).exists());
}
