#include "DbTestTables.h"

#include "db/Field.h"

namespace {

int NaturalSize(TFieldType type) {
    switch (type) {
    case TFieldType::Short:
        return 2;
    case TFieldType::Long:
    case TFieldType::AutoInc:
    case TFieldType::Date:
    case TFieldType::Time:
        return 4;
    case TFieldType::Logical:
        return 1;
    case TFieldType::BCD:
        return 17;
    default:
        return 8;
    }
}

const TValue B{}; // a blank value
TValue I(qint64 v) {
    return v;
}
TValue N(double v) {
    return v;
}
TValue S(const char* v) {
    return QString::fromUtf8(v);
}

} // namespace

void WriteTable(const std::filesystem::path& file, const std::vector<TCol>& cols,
                const std::vector<std::vector<TValue>>& rows, int keys) {
    std::vector<TFieldDef> defs;
    for (const TCol& c : cols) {
        TFieldDef d;
        d.Name = QString::fromLatin1(c.Name);
        d.Type = c.Type;
        d.Size = c.Size ? c.Size : NaturalSize(c.Type);
        d.Number = static_cast<int>(defs.size()) + 1;
        defs.push_back(d);
    }
    TParadoxWriter writer(file, defs, keys);
    for (const auto& row : rows)
        writer.Append(row);
    writer.Commit();
}

// Phases 12 Walls, 15 Doors (empty description), 20 Roof (items without
// quantity, material only), 31 Empty (no items). Libraries 1 and 2 share name
// and export text, 3 is of level 2; categories 10 and 11 share name and export
// text, 12 and 13 share the name only. Product 104 has no category, 201 no
// unit, 102 and 103 share a description. Line items: 3 has a product without
// unit, 6 a missing phase, 7 a missing location, 8 a missing product. Cost
// lines: a group type "X", a line of a missing item, a line in a missing phase.
void WriteTestProject(const std::filesystem::path& folder) {
    const auto A = TFieldType::Alpha;
    const auto L = TFieldType::Long;
    const auto Num = TFieldType::Number;
    WriteTable(folder / "phase.db", {{"Link_Phs", L}, {"Name", A, 20}, {"Desct", A, 40}},
               {{I(12), S("Walls"), S("Exterior walls")},
                {I(15), S("Doors"), B},
                {I(20), S("Roof"), S("Roofing")},
                {I(31), S("Empty"), S("No items")}},
               1);
    WriteTable(folder / "Location.db", {{"Link_loc", L}, {"Name", A, 60}},
               {{I(1), S("North")}, {I(2), S("South")}}, 1);
    WriteTable(folder / "uom.db", {{"Link_UOM", L}, {"Name", A, 20}},
               {{I(1), S("m2")}, {I(2), S("each")}}, 1);
    WriteTable(folder / "prod_lib.db",
               {{"Link_lib", L}, {"Name", A, 30}, {"Export", A, 20}, {"Lib_level", L}},
               {{I(1), S("General"), S("GEN"), I(1)},
                {I(2), S("General"), S("GEN"), I(1)},
                {I(3), S("Special"), S("SP1"), I(2)}},
               1);
    WriteTable(folder / "prod_cat.db",
               {{"Link_cat", L}, {"Name", A, 30}, {"Export", A, 20}, {"Link_lib", L}},
               {{I(10), S("Concrete labour"), S("CL"), I(1)},
                {I(11), S("Concrete labour"), S("CL"), I(2)},
                {I(12), S("Finishes"), S("F1"), I(1)},
                {I(13), S("Finishes"), S("F2"), I(3)}},
               1);
    WriteTable(folder / "product.db",
               {{"Link_Prod", L},
                {"Desct", A, 40},
                {"Export", A, 20},
                {"Type", A, 2},
                {"Link_cat", L},
                {"Link_Uom", L}},
               {{I(100), S("Concrete hand"), S("CH"), S("L0"), I(10), I(1)},
                {I(101), S("Concrete pump"), S("CP"), S("L0"), I(11), I(1)},
                {I(102), S("Painter"), B, S("L1"), I(12), I(2)},
                {I(103), S("Painter"), S("PT2"), S("L0"), I(13), I(2)},
                {I(104), S("Orphan task"), S("OT"), S("L0"), I(99), I(1)},
                {I(200), S("Wall panel"), S("WP"), S("A"), I(12), I(1)},
                {I(201), S("Door set"), S("DS"), S("A"), I(12), I(9)},
                {I(300), S("Concrete"), S("MAT"), S("M"), I(12), I(1)}},
               1);
    std::vector<TCol> items = {{"Link_OstranePrd", L}, {"Link_Phs", L}, {"Link_loc", L},
                               {"Link_prod", L},       {"Qty", Num},    {"LabQty1", Num},
                               {"LabQty2", Num}};
    for (const char* m : {"M1", "M2", "M3", "M4", "M5", "M6", "M7", "M8"})
        items.push_back({m, L});
    items.push_back({"REFERENCE", A, 60});
    auto item = [](qint64 id, qint64 phase, qint64 loc, qint64 prod, TValue qty, TValue l1,
                   TValue l2) {
        std::vector<TValue> row = {I(id), I(phase), I(loc), I(prod), qty, l1, l2};
        row.resize(16);
        return row;
    };
    WriteTable(folder / "ostr_prd.db", items,
               {item(1, 12, 1, 200, N(10), N(2), N(1)), item(2, 12, 2, 200, N(5), N(1.5), N(0.5)),
                item(3, 15, 1, 201, N(2), B, B), item(4, 15, 1, 200, N(1), B, B),
                item(5, 20, 1, 200, B, B, B), item(6, 99, 1, 200, N(3), B, B),
                item(7, 12, 9, 200, N(4), B, B), item(8, 12, 1, 999, N(1), B, B)},
               1);
    WriteTable(
        folder / "ostr_cst.db",
        {{"Link_OstranePrd", L}, {"Link_Cost", L}, {"GrpType", A, 1}, {"Qty", Num}, {"Cost", Num}},
        {{I(1), I(100), S("L"), N(2), N(100)},
         {I(1), I(101), S("L"), N(3), N(150)},
         {I(1), I(102), S("L"), N(1), N(40)},
         {I(1), I(103), S("L"), N(1), N(45)},
         {I(1), I(104), S("L"), N(0.5), N(20)},
         {I(1), I(300), S("C"), N(1), N(500)},
         {I(2), I(100), S("L"), N(1), N(50)},
         {I(2), I(300), S("C"), N(1), N(250)},
         {I(2), I(100), S("X"), N(9), N(999)},
         {I(4), I(102), S("L"), N(2), N(80)},
         {I(4), I(300), S("C"), N(1), N(70)},
         {I(5), I(300), S("C"), N(1), N(30)},
         {I(6), I(100), S("L"), N(5), N(250)},
         {I(77), I(100), S("L"), N(7), N(350)},
         {I(8), I(100), S("L"), N(1), N(50)}});
}

void WriteTestProjectList(const std::filesystem::path& systemFolder) {
    const auto A = TFieldType::Alpha;
    auto when = [](int day) { return TValue(QDateTime(QDate(2024, 3, day), QTime(10, 30))); };
    WriteTable(systemFolder / "Projname.db",
               {{"LongName", A, 40},
                {"ShortName", A, 40},
                {"Modified", TFieldType::Timestamp},
                {"Password", A, 10},
                {"ReservedLibrary", TFieldType::Short}},
               {{S("Bridge Repair"), S("BRIDGE"), when(1), B, B},
                {S("Alpha Tower"), S("ALPHA"), when(2), S("secret"), I(0)},
                {S("Reserved Lib"), S("RESLIB"), when(3), B, I(1)},
                {S("Bridge Annex"), S("BRIDGE"), when(4), B, B},
                {S("clinic"), S("clinic"), when(5), B, I(0)}});
}

QStringList Rows(TDataSet& dataSet) {
    QStringList rows;
    for (dataSet.First(); !dataSet.Eof(); dataSet.Next()) {
        QStringList cells;
        for (int i = 0; i < dataSet.FieldCount(); ++i)
            cells << dataSet.Fields(i).AsString();
        rows << cells.join(QLatin1Char('|'));
    }
    return rows;
}
