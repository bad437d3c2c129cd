#include "SampleProjects.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <random>
#include <stdexcept>

namespace {

double Round2(double value) {
    return std::round(value * 100.0) / 100.0;
}

// std::mt19937's sequence is fixed by the standard (the distributions are
// not), so the output is the same with every standard library.
class TSampleRandom {
public:
    explicit TSampleRandom(std::uint32_t seed) : FEngine(seed) {}
    std::size_t Below(std::size_t n) { return static_cast<std::size_t>(FEngine() % n); }

private:
    std::mt19937 FEngine;
};

// One cost line of a take-off item per unit of its quantity.
struct TComponent {
    const char* GrpType;
    qint64 Product;
    double PerUnit;
};

struct TTrades {
    TSampleCatalogue Tables;                           // without phases
    std::map<qint64, double> Rates;                    // wage per hour or price per unit
    std::map<qint64, std::vector<TComponent>> Recipes; // per take-off product
    std::map<qint64, TProductRow> Products;
};

enum : qint64 {
    Hour = 5,
    Each = 4,
    LumpSum = 7,
    MissingUnit = 999,
    MissingCategory = 999,
    MissingLink = 9999,
};

// Libraries, categories and products of the fit-out estimates. The catalogue
// holds on purpose: two categories named "Concrete labour" with the same
// export text (in two libraries) and two named "Finishes" with different ones;
// empty export texts on a library, a category and products; two labour tasks
// both called "Carpenter"; a labour task with a comma in its name; a labour
// task whose category does not exist; a take-off item whose unit does not
// exist; text outside ASCII.
TTrades MakeTrades() {
    TTrades t;
    TSampleCatalogue& c = t.Tables;
    c.Libraries = {{1, "Labour", "LAB", 1},
                   {2, "Subcontract labour", "", 1},
                   {3, "Materials", "MAT", 2},
                   {4, "Plant and equipment", "PLANT", 2},
                   {5, "Assemblies", "ASM", 3}};
    c.Categories = {{10, "Concrete labour", "CONC", 1},
                    {11, "Carpentry", "CARP", 1},
                    {12, "Masonry", "MAS", 1},
                    {13, "Finishes", "FIN-INT", 1},
                    {14, "Building services", "SERV", 1},
                    {15, "General labour", "", 1},
                    {20, "Concrete labour", "CONC", 2},
                    {21, "Finishes", "FIN-EXT", 2},
                    {22, "Roofing", "ROOF", 2},
                    {23, "Façade", "FACADE", 2},
                    {30, "Concrete", "M-CONC", 3},
                    {31, "Timber and boards", "M-TIMB", 3},
                    {32, "Masonry units", "M-MAS", 3},
                    {33, "Services materials", "", 3},
                    {34, "Finishing materials", "M-FIN", 3},
                    {40, "Plant hire", "P-HIRE", 4},
                    {50, "Sitework", "A-SITE", 5},
                    {51, "Structure", "A-STR", 5},
                    {52, "Interiors", "A-INT", 5},
                    {53, "Services", "A-SERV", 5},
                    {54, "Envelope", "A-ENV", 5}};
    c.Units = {{1, "m"},
               {2, "m2"},
               {3, "m3"},
               {Each, "each"},
               {Hour, "hr"},
               {6, "kg"},
               {LumpSum, "lump sum"},
               {8, "litre"}};
    c.Locations = {{1, "Site"},
                   {2, "Basement"},
                   {3, "Ground floor - north wing"},
                   {4, "Ground floor - south wing"},
                   {5, "Level 1 - consulting rooms"},
                   {6, "Level 1 - corridors"},
                   {7, "Level 2 - offices"},
                   {8, "Level 2 - plant room"},
                   {9, "Roof"},
                   {10, "Façade - east"},
                   {11, "Façade - west"},
                   {12, "External works"}};

    struct TPriced {
        TProductRow Row;
        double Rate;
    };
    const std::vector<TPriced> priced = {
        // Labour tasks: L0 direct, L1 indirect; the rate is the wage per hour.
        {{101, "Concrete finisher", "CFIN", "L0", 10, Hour}, 62.00},
        {{102, "Concrete placer", "", "L0", 20, Hour}, 58.50},
        {{103, "Carpenter", "CARP1", "L0", 11, Hour}, 56.00},
        {{104, "Carpenter", "CARP2", "L1", 11, Hour}, 48.00},
        {{105, "Bricklayer", "BRICK", "L0", 12, Hour}, 57.25},
        {{106, "Painter", "PAINT", "L0", 13, Hour}, 49.50},
        {{107, "Drywall hanger, taper", "DRY", "L0", 21, Hour}, 52.00},
        {{108, "Plumber", "PLUMB", "L0", 14, Hour}, 71.00},
        {{109, "Electrician", "ELEC", "L0", 14, Hour}, 73.50},
        {{110, "Laborer", "", "L1", 15, Hour}, 38.00},
        {{111, "Roofer", "ROOFER", "L0", 22, Hour}, 60.00},
        {{112, "Façade installer", "FACINST", "L0", 23, Hour}, 64.00},
        {{113, "Safety watch", "SAFE", "L1", MissingCategory, Hour}, 41.00},
        {{114, "Crane operator", "CRANE", "L0", 40, Hour}, 85.00},
        {{115, "Floor layer", "FLOOR", "L0", 13, Hour}, 54.00},
        // Materials, plant and subcontracts; the rate is the price per unit.
        {{201, "Ready-mix concrete 32 MPa", "RMC32", "M", 30, 3}, 215.00},
        {{202, "Reinforcing bar", "REBAR", "M", 30, 6}, 1.85},
        {{203, "Formwork plywood 17 mm", "FPLY17", "M", 31, 2}, 24.40},
        {{204, "Timber stud 90x45", "STUD90", "M", 31, 1}, 4.15},
        {{205, "Concrete block 190", "BLK190", "M", 32, Each}, 3.60},
        {{206, "Plasterboard 13 mm", "PB13", "M", 34, 2}, 9.80},
        {{207, "Acrylic paint", "PAINT-A", "M", 34, 8}, 11.20},
        {{208, "Copper pipe 15 mm", "CU15", "M", 33, 1}, 12.30},
        {{209, "Cable 2.5 mm²", "CAB25", "M", 33, 1}, 1.95},
        {{210, "Roof membrane", "MEMB", "M", 34, 2}, 18.75},
        {{211, "Cladding panel", "CLAD", "M", 34, 2}, 96.00},
        {{212, "Light fitting", "LUM", "M", 33, Each}, 145.00},
        {{213, "Basin and tapware", "BASIN", "M", 33, Each}, 420.00},
        {{214, "Mobile crane hire", "CRANEHIRE", "E", 40, Hour}, 180.00},
        {{215, "Site sheds and fencing", "SHEDS", "M", 30, LumpSum}, 4800.00},
        {{216, "Door leaf and frame", "DOOR", "M", 31, Each}, 385.00},
        {{217, "Aluminium window", "WIN", "M", 34, Each}, 690.00},
        {{218, "Vinyl sheet", "VINYL", "M", 34, 2}, 32.50},
        {{219, "Ceiling tile and grid", "CLG", "M", 34, 2}, 28.00},
        {{220, "Galvanised duct", "DUCT", "M", 33, 1}, 38.00},
        {{221, "Distribution board", "DB", "M", 33, Each}, 2450.00},
        {{222, "Specialist subcontract", "SUBC", "S", 30, LumpSum}, 1.00},
        // Take-off items: what a line item measures; they carry no rate.
        {{301, "Strip footing 600x300", "", "A", 51, 1}, 0},
        {{302, "Slab on ground 150", "", "A", 51, 2}, 0},
        {{303, "Suspended slab 200", "", "A", 51, 2}, 0},
        {{304, "Stud partition", "", "A", 52, 2}, 0},
        {{305, "Block wall 190", "", "A", 51, 2}, 0},
        {{306, "Plasterboard lining", "", "A", 52, 2}, 0},
        {{307, "Paint walls, two coats", "", "A", 52, 2}, 0},
        {{308, "Basin and tapware", "", "A", 53, Each}, 0},
        {{309, "Power outlet", "", "A", 53, Each}, 0},
        {{310, "Light point", "", "A", 53, Each}, 0},
        {{311, "Membrane roofing", "", "A", 54, 2}, 0},
        {{312, "Façade cladding panel", "", "A", 54, 2}, 0},
        {{313, "Site establishment", "", "A", 50, LumpSum}, 0},
        {{314, "Sundry item", "", "A", 50, MissingUnit}, 0},
        {{315, "Provisional sum", "", "A", 50, LumpSum}, 0},
        {{316, "Excavation", "", "A", 50, 3}, 0},
        {{317, "Demolish partition", "", "A", 50, 2}, 0},
        {{318, "Door set", "", "A", 52, Each}, 0},
        {{319, "Window set", "", "A", 54, Each}, 0},
        {{320, "Vinyl flooring", "", "A", 52, 2}, 0},
        {{321, "Suspended ceiling", "", "A", 52, 2}, 0},
        {{322, "Ductwork", "", "A", 53, 1}, 0},
        {{323, "Switchboard", "", "A", 53, Each}, 0},
    };
    for (const TPriced& p : priced) {
        c.Products.push_back(p.Row);
        t.Products[p.Row.Id] = p.Row;
        t.Rates[p.Row.Id] = p.Rate;
    }

    t.Recipes = {
        {301,
         {{"L", 101, 0.35},
          {"L", 102, 0.40},
          {"L", 110, 0.25},
          {"C", 201, 0.18},
          {"C", 202, 14.0}}},
        {302, {{"L", 101, 0.20}, {"L", 102, 0.15}, {"C", 201, 0.15}, {"C", 202, 8.0}}},
        {303,
         {{"L", 101, 0.25},
          {"L", 102, 0.20},
          {"L", 103, 0.30},
          {"C", 201, 0.20},
          {"C", 202, 22.0},
          {"C", 203, 1.0},
          {"E", 214, 0.02}}},
        {304, {{"L", 103, 0.45}, {"L", 104, 0.20}, {"C", 204, 3.2}}},
        {305, {{"L", 105, 0.90}, {"L", 110, 0.30}, {"C", 205, 12.5}}},
        {306, {{"L", 107, 0.35}, {"C", 206, 1.05}}},
        {307, {{"L", 106, 0.18}, {"C", 207, 0.25}}},
        {308, {{"L", 108, 2.5}, {"C", 213, 1.0}, {"C", 208, 3.0}}},
        {309, {{"L", 109, 0.8}, {"C", 209, 12.0}}},
        {310, {{"L", 109, 1.1}, {"C", 212, 1.0}, {"C", 209, 8.0}}},
        {311, {{"L", 111, 0.22}, {"L", 113, 0.02}, {"C", 210, 1.1}}},
        {312, {{"L", 112, 0.60}, {"L", 114, 0.05}, {"C", 211, 1.02}, {"E", 214, 0.05}}},
        // Material and plant only, with a credit for salvaged sheds.
        {313, {{"C", 215, 1.0}, {"C", 215, -0.1}, {"E", 214, 6.0}}},
        {314, {{"L", 110, 1.0}, {"C", 204, 2.0}}},
        // A subcontract line, and a line without group type that names a
        // labour task: neither is labour nor material.
        {315, {{"S", 222, 15000.0}, {"", 110, 4.0}}},
        {316, {{"L", 110, 0.60}, {"L", 114, 0.08}, {"E", 214, 0.08}}},
        {317, {{"L", 110, 0.50}, {"L", 113, 0.05}}},
        {318, {{"L", 103, 2.5}, {"L", 104, 1.0}, {"C", 216, 1.0}}},
        {319, {{"L", 103, 1.5}, {"L", 112, 1.0}, {"C", 217, 1.0}}},
        {320, {{"L", 115, 0.25}, {"C", 218, 1.08}}},
        {321, {{"L", 107, 0.30}, {"C", 219, 1.05}}},
        {322, {{"L", 108, 0.70}, {"C", 220, 1.0}}},
        {323, {{"L", 109, 16.0}, {"C", 221, 1.0}}},
    };
    return t;
}

// A plausible measured quantity in the unit of the take-off product.
double Measure(TSampleRandom& random, qint64 unit) {
    switch (unit) {
    case 3:
        return 1.0 + static_cast<double>(random.Below(600)) / 10.0;
    case Each:
        return static_cast<double>(1 + random.Below(24));
    case LumpSum:
    case MissingUnit:
        return 1.0;
    default:
        return 5.0 + static_cast<double>(random.Below(3950)) / 10.0;
    }
}

struct TPricedItem {
    double LabQty1 = 0; // hours of direct (L0) labour
    double LabQty2 = 0; // hours of indirect labour
    std::vector<TCostLineRow> Lines;
};

TPricedItem Price(const TTrades& trades, qint64 item, const std::vector<TComponent>& recipe,
                  double measure) {
    TPricedItem priced;
    for (const TComponent& part : recipe) {
        const double qty = Round2(measure * part.PerUnit);
        const double amount = Round2(qty * trades.Rates.at(part.Product));
        priced.Lines.push_back(
            {item, part.Product, QString::fromLatin1(part.GrpType), qty, amount});
        if (QLatin1String(part.GrpType) == QLatin1String("L")) {
            const bool direct = trades.Products.at(part.Product).Type == QLatin1String("L0");
            (direct ? priced.LabQty1 : priced.LabQty2) += qty;
        }
    }
    priced.LabQty1 = Round2(priced.LabQty1);
    priced.LabQty2 = Round2(priced.LabQty2);
    return priced;
}

std::array<TValue, 8> Milestones(TValue m1) {
    std::array<TValue, 8> marks;
    marks.fill(qint64{0});
    marks[0] = std::move(m1);
    return marks;
}

// Writes the item, with its labour hours, and its cost lines.
void AddItem(TSampleProjectWriter& writer, TLineItemRow item, const TPricedItem& priced) {
    item.LabQty1 = priced.LabQty1;
    item.LabQty2 = priced.LabQty2;
    writer.AddLineItem(item);
    for (const TCostLineRow& line : priced.Lines) {
        writer.AddCostLine(line);
    }
}

} // namespace

TProjectSummary WriteWorkedExample(const std::filesystem::path& projectsFolder) {
    TProjectSummary summary{
        "Worked Example", "WORKEX", QDateTime(QDate(2026, 3, 2), QTime(9, 15)), QString(), {}};
    TSampleCatalogue c;
    c.Libraries = {
        {1, "Labour", "LAB", 1}, {2, "Materials", "MAT", 2}, {3, "Assemblies", "ASM", 3}};
    // Each labour task has a category of its own name and export text, so that
    // grouping by category exports the same tasks as grouping by labour task.
    c.Categories = {{10, "Excavator operator", "EXC", 1}, {11, "Laborer", "", 1},
                    {12, "Carpenter", "CARP", 1},         {20, "Concrete", "M-CONC", 2},
                    {21, "Timber", "M-TIMB", 2},          {30, "Foundations", "A-FND", 3},
                    {31, "Framing", "A-FRM", 3}};
    c.Units = {{1, "hr"}, {2, "m3"}, {3, "m"}, {4, "m2"}};
    c.Products = {{1, "Excavator operator", "EXC", "L0", 10, 1},
                  {2, "Laborer", "", "L1", 11, 1},
                  {3, "Carpenter", "CARP", "L0", 12, 1},
                  {11, "Ready-mix concrete", "RMC25", "M", 20, 2},
                  {12, "Reinforcing mesh", "MESH", "M", 20, 4},
                  {13, "Framing timber 90x45", "TIMB90", "M", 21, 3},
                  {21, "Trench excavation", "TRENCH", "A", 30, 2},
                  {22, "Strip footing", "FOOTING", "A", 30, 3},
                  {23, "Wall framing", "WALLFRM", "A", 31, 4},
                  {24, "Roof framing", "ROOFFRM", "A", 31, 4}};
    c.Locations = {{1, "Building A"}, {2, "Site"}};
    c.Phases = {{12, "A100", "Foundation"}, {15, "B200", "Framing"}};

    TSampleProjectWriter writer(projectsFolder / summary.ShortName.toStdString(), std::move(c));
    struct TItem {
        qint64 Id, Phase, Location, Product;
        double Qty;
        std::vector<TCostLineRow> Lines;
    };
    // A100: excavator 12.5 h / 937.50, laborer 8 h / 280.00, material 1500.00.
    // B200: carpenter 40 h / 1800.00, laborer 6.25 h / 218.75, material 3250.40.
    const std::vector<TItem> items = {
        {101, 12, 2, 21, 45, {{101, 1, "L", 7.5, 562.50}, {101, 2, "L", 3, 105.00}}},
        {102, 12, 1, 21, 30, {{102, 1, "L", 5, 375.00}, {102, 2, "L", 2, 70.00}}},
        {103,
         12,
         1,
         22,
         40,
         {{103, 2, "L", 3, 105.00}, {103, 11, "C", 8, 1200.00}, {103, 12, "C", 24, 300.00}}},
        {201,
         15,
         1,
         23,
         120,
         {{201, 3, "L", 24, 1080.00}, {201, 2, "L", 3.75, 131.25}, {201, 13, "C", 672, 2150.40}}},
        {202,
         15,
         1,
         24,
         80,
         {{202, 3, "L", 16, 720.00}, {202, 2, "L", 2.5, 87.50}, {202, 13, "C", 343.75, 1100.00}}},
    };
    for (const TItem& item : items) {
        TPricedItem priced;
        priced.Lines = item.Lines;
        for (const TCostLineRow& line : item.Lines) {
            if (line.GrpType == QLatin1String("L")) {
                (std::get<qint64>(line.CostLink) == 2 ? priced.LabQty2 : priced.LabQty1) +=
                    line.Qty;
            }
        }
        AddItem(writer,
                {item.Id,
                 item.Phase,
                 item.Location,
                 item.Product,
                 item.Qty,
                 {},
                 {},
                 Milestones(qint64{0}),
                 QString()},
                priced);
    }
    summary.Counts = writer.Commit();
    return summary;
}

TProjectSummary WriteClinicEstimate(const std::filesystem::path& projectsFolder) {
    TProjectSummary summary{"Riverside Clinic Fit-out",
                            "RIVERSIDE",
                            QDateTime(QDate(2026, 2, 17), QTime(16, 40)),
                            "rc2026",
                            {}};
    TTrades trades = MakeTrades();

    struct TPhaseDef {
        const char* Name;
        const char* Desct;
        std::vector<qint64> Assemblies; // none: a phase without line items
        std::vector<qint64> Locations;
        std::size_t Items = 0;     // 0: chosen at random
        bool Unmeasured = false;   // line items without quantity
        bool NoMilestones = false; // M1..M8 left blank
        const char* Reference = "";
    };
    const std::vector<TPhaseDef> phases = {
        {"A050", "Site establishment", {313, 315}, {1}, 3},
        {"A100", "Demolition", {317}, {3, 4}},
        {"A150", "Excavation", {316}, {1, 12}},
        {"A200", "Footings", {301}, {1}},
        {"A250", "Ground slab", {302}, {3, 4}},
        {"B100", "Ground floor structure", {303, 305}, {3, 4}},
        {"B150", "", {305}, {2}},
        {"B200", "Level 1 structure", {303, 305}, {5, 6}},
        {"B300", "Level 2 structure", {303}, {7, 8}},
        {"B400", "Roof structure", {303}, {9}},
        {"C100", "Roofing", {311}, {9}},
        {"C200", "Façade cladding", {312}, {10, 11}},
        {"C300", "Windows", {319}, {10, 11}},
        {"D100",
         "Ground floor partitions",
         {304, 306, 307},
         {3, 4},
         0,
         false,
         false,
         "Rev C layout"},
        {"D150", "Level 1 partitions", {304, 306, 307}, {5, 6}, 0, false, false, "Rev C layout"},
        {"D200", "Level 2 partitions", {304, 306, 307}, {7}, 0, false, false, "Rev B layout"},
        {"D300", "Doors", {318}, {3, 4, 5, 6, 7}},
        {"E100", "Ceilings ground floor", {321}, {3, 4}},
        {"E150", "Ceilings levels 1-2", {321}, {5, 6, 7}},
        {"E200", "Floor finishes", {320}, {3, 4, 5, 6, 7}, 0, false, true},
        {"E300", "Painting ground floor", {307}, {3, 4}},
        {"E350", "Painting levels 1-2", {307}, {5, 6, 7}},
        {"F100", "Plumbing fixtures", {308}, {3, 5, 7}},
        {"F150", "Hot and cold water", {308}, {2, 8}},
        {"F200", "Ductwork ground floor", {322}, {3, 4}},
        {"F250", "Ductwork levels 1-2", {322}, {5, 6, 8}},
        {"G100", "Power ground floor", {309}, {3, 4}},
        {"G150", "Power levels 1-2", {309}, {5, 6, 7}},
        {"G200", "Lighting", {310}, {3, 4, 5, 6, 7}},
        {"G300", "Switchboards", {323}, {2, 8}},
        {"H100", "External works", {302, 316}, {12}},
        {"H200", "Landscaping", {316}, {12}},
        {"Z900", "Allowances (unmeasured)", {308, 309, 310}, {3, 5, 7}, 6, true},
        {"X990", "Future stage", {}, {}},
    };
    // Identifiers in an order unlike the names', as a project edited over time has them.
    const auto phaseId = [&](std::size_t i) {
        return static_cast<qint64>(100 + (i * 13) % phases.size());
    };
    for (std::size_t i = 0; i < phases.size(); ++i) {
        trades.Tables.Phases.push_back({phaseId(i), phases[i].Name, phases[i].Desct});
    }

    TSampleProjectWriter writer(projectsFolder / summary.ShortName.toStdString(), trades.Tables);
    TSampleRandom random(20260217);
    qint64 nextItem = 1001;
    qint64 b100 = 0;
    for (std::size_t i = 0; i < phases.size(); ++i) {
        const TPhaseDef& def = phases[i];
        if (QLatin1String(def.Name) == QLatin1String("B100")) {
            b100 = phaseId(i);
        }
        if (def.Assemblies.empty()) {
            continue;
        }
        const std::size_t count = def.Items > 0 ? def.Items : 8 + random.Below(11);
        for (std::size_t k = 0; k < count; ++k) {
            const qint64 assembly = def.Assemblies[random.Below(def.Assemblies.size())];
            const qint64 location = def.Locations[random.Below(def.Locations.size())];
            const double measure = Measure(random, trades.Products.at(assembly).Unit);
            TLineItemRow item{nextItem,
                              phaseId(i),
                              location,
                              assembly,
                              measure,
                              {},
                              {},
                              Milestones(qint64{i < 10 ? 1 : 0}),
                              QString::fromUtf8(def.Reference)};
            if (def.Unmeasured) {
                item.Qty = TValue();
            }
            if (def.NoMilestones) {
                item.Milestones.fill(TValue());
            }
            AddItem(writer, item, Price(trades, nextItem, trades.Recipes.at(assembly), measure));
            ++nextItem;
        }
    }

    // Line items with broken links, in phase B100, numbered from 9001: a
    // missing and a blank location, a missing product (its labour still counts
    // in the export, which does not join the item's product), a product whose
    // unit is missing, a missing and a blank phase (their labour counts nowhere).
    struct TBroken {
        qint64 Id;
        TValue Phase, Location, Product;
        qint64 Recipe;
    };
    const std::vector<TBroken> broken = {
        {9001, b100, qint64{999}, qint64{305}, 305},
        {9002, b100, TValue(), qint64{305}, 305},
        {9003, b100, qint64{3}, qint64{MissingLink}, 305},
        {9004, b100, qint64{4}, qint64{314}, 314},
        {9005, qint64{MissingLink}, qint64{3}, qint64{305}, 305},
        {9006, TValue(), qint64{3}, qint64{305}, 305},
    };
    for (const TBroken& b : broken) {
        const double measure = 20.0;
        AddItem(writer,
                {b.Id,
                 b.Phase,
                 b.Location,
                 b.Product,
                 measure,
                 {},
                 {},
                 Milestones(qint64{0}),
                 QString()},
                Price(trades, b.Id, trades.Recipes.at(b.Recipe), measure));
    }
    // Labour lines whose labour task is missing or blank, and a cost line of a
    // line item that does not exist: none of them adds to any sum.
    writer.AddCostLine({9001, qint64{MissingLink}, "L", 2.0, 100.00});
    writer.AddCostLine({9001, TValue(), "L", 1.5, 75.00});
    writer.AddCostLine({99999, qint64{110}, "L", 5.0, 190.00});
    summary.Counts = writer.Commit();
    return summary;
}

TProjectSummary WriteScaledEstimate(const std::filesystem::path& projectsFolder, qint64 lineItems) {
    if (lineItems < 1) {
        throw std::invalid_argument("the scaled estimate needs at least one line item");
    }
    TProjectSummary summary{
        "Scaled Estimate", "SCALED", QDateTime(QDate(2026, 1, 5), QTime(8, 0)), QString(), {}};
    TTrades trades = MakeTrades();
    const qint64 phaseCount = std::clamp<qint64>(lineItems / 500, 10, 400);
    for (qint64 p = 1; p <= phaseCount; ++p) {
        trades.Tables.Phases.push_back({p, QStringLiteral("P%1").arg(p, 4, 10, QLatin1Char('0')),
                                        QStringLiteral("Zone %1").arg(p)});
    }
    const std::vector<qint64> assemblies = {301, 302, 303, 304, 305, 306, 307, 308, 309, 310,
                                            311, 312, 316, 317, 318, 319, 320, 321, 322, 323};
    // Every item gets exactly five cost lines: its recipe, cut or padded with
    // clean-up labour, supervision and sundry timber.
    const std::vector<TComponent> padding = {{"L", 110, 0.04}, {"L", 113, 0.01}, {"C", 204, 0.2}};
    constexpr std::size_t linesPerItem = 5;

    TSampleProjectWriter writer(projectsFolder / summary.ShortName.toStdString(), trades.Tables);
    TSampleRandom random(20260105);
    for (qint64 id = 1; id <= lineItems; ++id) {
        const qint64 phase = 1 + (id - 1) * phaseCount / lineItems;
        const qint64 assembly = assemblies[random.Below(assemblies.size())];
        const qint64 location = static_cast<qint64>(1 + random.Below(12));
        const double measure = Measure(random, trades.Products.at(assembly).Unit);
        std::vector<TComponent> recipe = trades.Recipes.at(assembly);
        if (recipe.size() > linesPerItem) {
            recipe.resize(linesPerItem);
        }
        for (std::size_t k = 0; recipe.size() < linesPerItem; ++k) {
            recipe.push_back(padding[k]);
        }
        AddItem(writer,
                {id, phase, location, assembly, measure, {}, {}, Milestones(qint64{0}), QString()},
                Price(trades, id, recipe, measure));
    }
    summary.Counts = writer.Commit();
    return summary;
}
