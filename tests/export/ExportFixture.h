#pragma once

#include "db/format/ParadoxTypes.h"

#include <QString>

#include <vector>

// A small project folder for the task groupings: the six tables the export
// reads, with the worked example's figures (phases A100, id 12, and B200, id
// 15), but the excavator operator and the laborer share the category Site
// work (SITE), the carpenter's category Carpentry has no export text, and all
// three lie in the library Labour (LAB). A phase C300 has material only, and
// one cost line of another kind takes part in no sum.
struct TExportFixture {
    struct TCost {
        qint64 LineItem;
        qint64 Product;
        const char* GrpType;
        double Qty;
        double Cost;
    };
    std::vector<TCost> Costs;
    struct TProduct {
        qint64 Id;
        const char* Desct;
        const char* Export;
        const char* Type;
        qint64 Category;
    };
    std::vector<TProduct> Products;

    TExportFixture();
    // Writes the tables into `folder`.
    void Write(const QString& folder) const;
};

// Creates a table `name` in `folder` with `fields` (name, type, size) and rows.
void WriteTable(const QString& folder, const QString& name, const std::vector<TFieldDef>& fields,
                const std::vector<std::vector<TValue>>& rows);
