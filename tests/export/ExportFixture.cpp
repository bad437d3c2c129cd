#include "ExportFixture.h"

#include "db/format/ParadoxTable.h"

void WriteTable(const QString& folder, const QString& name, const std::vector<TFieldDef>& fields,
                const std::vector<std::vector<TValue>>& rows) {
    std::vector<TFieldDef> numbered = fields;
    for (std::size_t i = 0; i < numbered.size(); ++i) {
        numbered[i].Number = static_cast<int>(i) + 1;
    }
    TParadoxWriter writer(std::filesystem::path(folder.toStdString()) / name.toStdString(),
                          numbered);
    for (const auto& row : rows) {
        writer.Append(row);
    }
    writer.Commit();
}

namespace {

TFieldDef Alpha(const char* name, int width) {
    return {name, TFieldType::Alpha, width};
}
TFieldDef Long(const char* name) {
    return {name, TFieldType::Long, 4};
}
TFieldDef Number(const char* name) {
    return {name, TFieldType::Number, 8};
}
TValue Id(qint64 value) {
    return value;
}
TValue Text(const char* text) {
    return QString::fromUtf8(text);
}

} // namespace

TExportFixture::TExportFixture()
    : Costs{
          // Line item 1 (A100): the excavator operator's 12.5 hours in two lines.
          {1, 101, "L", 10, 750},
          {1, 101, "L", 2.5, 187.5},
          {1, 102, "L", 8, 280},
          {1, 201, "C", 1, 1500},
          // Line item 2 (B200).
          {2, 103, "L", 40, 1800},
          {2, 102, "L", 6.25, 218.75},
          {2, 201, "C", 1, 3250.4},
          {2, 102, "X", 99, 99},
          // Line item 3 (C300): material only.
          {3, 201, "C", 1, 10},
      },
      Products{
          {101, "Excavator operator", "EXC", "L0", 1},
          {102, "Laborer", "", "L0", 1},
          {103, "Carpenter", "CARP", "L1", 2},
          {201, "Ready-mix", "RMX", "M", 3},
      } {}

void TExportFixture::Write(const QString& folder) const {
    WriteTable(folder, QStringLiteral("phase.db"),
               {Long("Link_Phs"), Alpha("Name", 20), Alpha("Desct", 40)},
               {{Id(12), Text("A100"), Text("Foundation")},
                {Id(15), Text("B200"), Text("Framing")},
                {Id(31), Text("C300"), Text("Finishes")}});
    WriteTable(
        folder, QStringLiteral("prod_lib.db"),
        {Long("Link_lib"), Alpha("Name", 40), Alpha("Export", 20), Long("Lib_level")},
        {{Id(1), Text("Labour"), Text("LAB"), Id(1)}, {Id(2), Text("Stock"), Text(""), Id(1)}});
    WriteTable(folder, QStringLiteral("prod_cat.db"),
               {Long("Link_cat"), Alpha("Name", 40), Alpha("Export", 20), Long("Link_lib")},
               {{Id(1), Text("Site work"), Text("SITE"), Id(1)},
                {Id(2), Text("Carpentry"), Text(""), Id(1)},
                {Id(3), Text("Concrete"), Text(""), Id(2)}});
    std::vector<std::vector<TValue>> products;
    for (const TProduct& product : Products) {
        products.push_back({Id(product.Id), Text(product.Desct), Text(product.Export),
                            Text(product.Type), Id(product.Category), Id(1)});
    }
    WriteTable(folder, QStringLiteral("product.db"),
               {Long("Link_Prod"), Alpha("Desct", 40), Alpha("Export", 20), Alpha("Type", 4),
                Long("Link_cat"), Long("Link_Uom")},
               products);
    WriteTable(folder, QStringLiteral("ostr_prd.db"),
               {Long("Link_OstranePrd"), Long("Link_Phs"), Long("Link_loc"), Long("Link_prod"),
                Number("Qty")},
               {{Id(1), Id(12), Id(1), Id(201), 1.0},
                {Id(2), Id(15), Id(1), Id(201), 1.0},
                {Id(3), Id(31), Id(1), Id(201), 1.0}});
    std::vector<std::vector<TValue>> costs;
    for (const TCost& cost : Costs) {
        costs.push_back(
            {Id(cost.LineItem), Id(cost.Product), Text(cost.GrpType), cost.Qty, cost.Cost});
    }
    WriteTable(folder, QStringLiteral("ostr_cst.db"),
               {Long("Link_OstranePrd"), Long("Link_Cost"), Alpha("GrpType", 2), Number("Qty"),
                Number("Cost")},
               costs);
}
