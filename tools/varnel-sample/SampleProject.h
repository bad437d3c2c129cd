#pragma once

#include "db/format/ParadoxTable.h"

#include <array>
#include <filesystem>
#include <memory>
#include <vector>

// The rows of one estimating project. The catalogue tables (libraries,
// categories, products, locations, units, phases) are small and held whole;
// line items and cost lines are streamed by TSampleProjectWriter.

struct TLibraryRow {
    qint64 Id = 0;
    QString Name;
    QString Export;
    qint64 Level = 1;
};

struct TCategoryRow {
    qint64 Id = 0;
    QString Name;
    QString Export;
    qint64 Library = 0;
};

struct TProductRow {
    qint64 Id = 0;
    QString Desct;
    QString Export;
    QString Type; // "L0"/"L1" labour task, "M" material, "E" plant, "A" take-off item
    qint64 Category = 0;
    qint64 Unit = 0;
};

struct TNamedRow {
    qint64 Id = 0;
    QString Name;
};

struct TPhaseRow {
    qint64 Id = 0;
    QString Name;
    QString Desct;
};

struct TSampleCatalogue {
    std::vector<TLibraryRow> Libraries;
    std::vector<TCategoryRow> Categories;
    std::vector<TProductRow> Products;
    std::vector<TNamedRow> Locations;
    std::vector<TNamedRow> Units;
    std::vector<TPhaseRow> Phases;
};

// Link fields and quantities are TValue so that a row can leave them blank.
struct TLineItemRow {
    qint64 Id = 0;
    TValue Phase;
    TValue Location;
    TValue Product;
    TValue Qty;
    TValue LabQty1;
    TValue LabQty2;
    std::array<TValue, 8> Milestones; // M1..M8
    QString Reference;
};

struct TCostLineRow {
    qint64 LineItem = 0;
    TValue CostLink; // Link_Cost: the labour-task or material product
    QString GrpType; // "L" labour, "C" material, anything else takes part in no sum
    double Qty = 0;
    double Amount = 0;
};

struct TProjectCounts {
    qint64 Phases = 0;
    qint64 LineItems = 0;
    qint64 CostLines = 0;
    qint64 Products = 0;
};

// Field layouts of the eight project tables, key fields first.
std::vector<TFieldDef> PhaseFields();
std::vector<TFieldDef> LineItemFields();
std::vector<TFieldDef> CostLineFields();
std::vector<TFieldDef> ProductFields();
std::vector<TFieldDef> CategoryFields();
std::vector<TFieldDef> LibraryFields();
std::vector<TFieldDef> LocationFields();
std::vector<TFieldDef> UnitFields();

// A field of `type` taking `size` bytes in the record (the width of an Alpha).
TFieldDef SampleField(const char* name, TFieldType type, int size);

// Numbers `fields` 1..n in order and returns them.
std::vector<TFieldDef> NumberFields(std::vector<TFieldDef> fields);

// Writes one project folder. The constructor creates `folder` (which must not
// hold the tables yet) and writes the catalogue tables in key order; line items
// must then come in ascending Id, cost lines in any order. Nothing is complete
// until Commit().
class TSampleProjectWriter {
public:
    TSampleProjectWriter(const std::filesystem::path& folder, TSampleCatalogue catalogue);
    ~TSampleProjectWriter();

    // Raises std::logic_error when the Id is not above the previous one.
    void AddLineItem(const TLineItemRow& item);
    void AddCostLine(const TCostLineRow& cost);
    TProjectCounts Commit();

private:
    std::unique_ptr<TParadoxWriter> FItems;
    std::unique_ptr<TParadoxWriter> FCosts;
    TProjectCounts FCounts;
    qint64 FLastItem = 0;
};
