#include "SampleProject.h"

#include <algorithm>
#include <stdexcept>

TFieldDef SampleField(const char* name, TFieldType type, int size) {
    TFieldDef field;
    field.Name = QString::fromLatin1(name);
    field.Type = type;
    field.Size = size;
    return field;
}

namespace {

TFieldDef Long(const char* name) {
    return SampleField(name, TFieldType::Long, 4);
}
TFieldDef Number(const char* name) {
    return SampleField(name, TFieldType::Number, 8);
}
TFieldDef Alpha(const char* name, int width) {
    return SampleField(name, TFieldType::Alpha, width);
}

// Writes `rows` sorted by Id into a table keyed on its first field.
template <class TRow, class TToValues>
void WriteKeyed(const std::filesystem::path& file, std::vector<TFieldDef> fields,
                std::vector<TRow> rows, TToValues toValues) {
    std::sort(rows.begin(), rows.end(), [](const TRow& a, const TRow& b) { return a.Id < b.Id; });
    TParadoxWriter writer(file, std::move(fields), 1);
    for (const TRow& row : rows) {
        writer.Append(toValues(row));
    }
    writer.Commit();
}

} // namespace

std::vector<TFieldDef> NumberFields(std::vector<TFieldDef> fields) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
        fields[i].Number = static_cast<int>(i + 1);
    }
    return fields;
}

std::vector<TFieldDef> PhaseFields() {
    return NumberFields({Long("Link_Phs"), Alpha("Name", 20), Alpha("Desct", 60)});
}

std::vector<TFieldDef> LineItemFields() {
    std::vector<TFieldDef> fields{Long("Link_OstranePrd"), Long("Link_Phs"), Long("Link_loc"),
                                  Long("Link_prod"),       Number("Qty"),    Number("LabQty1"),
                                  Number("LabQty2")};
    const char* const milestones[] = {"M1", "M2", "M3", "M4", "M5", "M6", "M7", "M8"};
    for (const char* name : milestones) {
        fields.push_back(Long(name));
    }
    fields.push_back(Alpha("REFERENCE", 100));
    return NumberFields(std::move(fields));
}

std::vector<TFieldDef> CostLineFields() {
    return NumberFields({Long("Link_OstranePrd"), Long("Link_Cost"), Alpha("GrpType", 2),
                         Number("Qty"), Number("Cost")});
}

std::vector<TFieldDef> ProductFields() {
    return NumberFields({Long("Link_Prod"), Alpha("Desct", 40), Alpha("Export", 20),
                         Alpha("Type", 2), Long("Link_cat"), Long("Link_Uom")});
}

std::vector<TFieldDef> CategoryFields() {
    return NumberFields(
        {Long("Link_cat"), Alpha("Name", 40), Alpha("Export", 20), Long("Link_lib")});
}

std::vector<TFieldDef> LibraryFields() {
    return NumberFields(
        {Long("Link_lib"), Alpha("Name", 40), Alpha("Export", 20), Long("Lib_level")});
}

std::vector<TFieldDef> LocationFields() {
    return NumberFields({Long("Link_loc"), Alpha("Name", 60)});
}

std::vector<TFieldDef> UnitFields() {
    return NumberFields({Long("Link_UOM"), Alpha("Name", 20)});
}

TSampleProjectWriter::TSampleProjectWriter(const std::filesystem::path& folder,
                                           TSampleCatalogue catalogue) {
    std::filesystem::create_directories(folder);
    FCounts.Phases = static_cast<qint64>(catalogue.Phases.size());
    FCounts.Products = static_cast<qint64>(catalogue.Products.size());
    WriteKeyed(folder / "phase.db", PhaseFields(), std::move(catalogue.Phases),
               [](const TPhaseRow& r) -> std::vector<TValue> {
                   return {r.Id, r.Name, r.Desct};
               });
    WriteKeyed(folder / "product.db", ProductFields(), std::move(catalogue.Products),
               [](const TProductRow& r) -> std::vector<TValue> {
                   return {r.Id, r.Desct, r.Export, r.Type, r.Category, r.Unit};
               });
    WriteKeyed(folder / "prod_cat.db", CategoryFields(), std::move(catalogue.Categories),
               [](const TCategoryRow& r) -> std::vector<TValue> {
                   return {r.Id, r.Name, r.Export, r.Library};
               });
    WriteKeyed(folder / "prod_lib.db", LibraryFields(), std::move(catalogue.Libraries),
               [](const TLibraryRow& r) -> std::vector<TValue> {
                   return {r.Id, r.Name, r.Export, r.Level};
               });
    const auto named = [](const TNamedRow& r) -> std::vector<TValue> { return {r.Id, r.Name}; };
    WriteKeyed(folder / "Location.db", LocationFields(), std::move(catalogue.Locations), named);
    WriteKeyed(folder / "uom.db", UnitFields(), std::move(catalogue.Units), named);

    FItems = std::make_unique<TParadoxWriter>(folder / "ostr_prd.db", LineItemFields(), 1);
    FCosts = std::make_unique<TParadoxWriter>(folder / "ostr_cst.db", CostLineFields(), 0);
}

TSampleProjectWriter::~TSampleProjectWriter() = default;

void TSampleProjectWriter::AddLineItem(const TLineItemRow& item) {
    if (FCounts.LineItems > 0 && item.Id <= FLastItem) {
        throw std::logic_error("line items must come in ascending Link_OstranePrd");
    }
    std::vector<TValue> values{item.Id,  item.Phase,   item.Location, item.Product,
                               item.Qty, item.LabQty1, item.LabQty2};
    values.insert(values.end(), item.Milestones.begin(), item.Milestones.end());
    values.emplace_back(item.Reference);
    FItems->Append(values);
    FLastItem = item.Id;
    ++FCounts.LineItems;
}

void TSampleProjectWriter::AddCostLine(const TCostLineRow& cost) {
    FCosts->Append({cost.LineItem, cost.CostLink, cost.GrpType, cost.Qty, cost.Amount});
    ++FCounts.CostLines;
}

TProjectCounts TSampleProjectWriter::Commit() {
    FItems->Commit();
    FCosts->Commit();
    return FCounts;
}
