#include "db/RecordFilter.h"
#include "db/format/DBEngineError.h"

#include <gtest/gtest.h>

namespace {

std::vector<TFieldDef> Fields() {
    auto f = [](const char* name, TFieldType type) {
        TFieldDef d;
        d.Name = QString::fromLatin1(name);
        d.Type = type;
        return d;
    };
    return {f("PhaseID", TFieldType::Long), f("Name", TFieldType::Alpha),
            f("Qty", TFieldType::Number), f("Day", TFieldType::Date),
            f("Phase Name", TFieldType::Alpha)};
}

// PhaseID, Name, Qty, Day, Phase Name
const std::vector<std::vector<TValue>> Records = {
    {qint64{12}, QString("Walls"), 2.5, QDate(2024, 1, 5), QString("A")},
    {qint64{15}, QString("Doors"), TValue(), QDate(2024, 2, 1), QString("B")},
    {qint64{31}, TValue(), 10.0, TValue(), QString("it's")},
};

QString Passing(const QString& filter) {
    const TRecordFilter f = TRecordFilter::Parse(filter, Fields());
    QString out;
    for (std::size_t r = 0; r < Records.size(); ++r)
        if (f.Accepts([r](int i) { return Records[r][static_cast<std::size_t>(i)]; }))
            out += QString::number(r);
    return out;
}

TEST(RecordFilter, ExpressionsSelectTheRecords) {
    const std::pair<const char*, const char*> cases[] = {
        {"", "012"},
        {"   ", "012"},
        {"(PhaseID=12) OR (PhaseID=15) OR (PhaseID=31)", "012"},
        {"(PhaseID=12) OR (PhaseID=31)", "02"},
        {"phaseid=15", "1"},
        {"PhaseID <> 15", "02"},
        {"PhaseID >= 15 AND PhaseID < 31", "1"},
        {"PhaseID > 12 and not (PhaseID <= 15)", "2"},
        {"NOT PhaseID = 12 OR Name = 'Walls'", "012"},
        {"PhaseID = '12'", "0"},
        {"PhaseID = -12", ""},
        {"Qty > 2", "02"}, // a blank compares as false ...
        {"Qty <= 2.5", "0"},
        {"NOT (Qty > 2)", "1"}, // ... so its negation passes
        {"Qty = NULL", "1"},
        {"Name <> NULL", "01"},
        {"Name = \"Doors\"", "1"},
        {"Name = 'doors'", ""}, // texts compare with case
        {"Name < 'E'", "1"},
        {"[Phase Name] = 'it''s'", "2"},
        {"Day = '2024-02-01'", "1"},
        {"Day < '2024-02-01'", "0"},
        {"PhaseID = PhaseID AND Qty > 1e0", "02"},
    };
    for (const auto& [filter, expected] : cases)
        EXPECT_EQ(Passing(QString::fromLatin1(filter)), QString::fromLatin1(expected)) << filter;
}

TEST(RecordFilter, BadExpressionsAreEngineErrors) {
    const std::pair<const char*, int> cases[] = {
        {"PhaseID=", DBErrorCode::SqlSyntax},
        {"(PhaseID=12", DBErrorCode::SqlSyntax},
        {"PhaseID=12)", DBErrorCode::SqlSyntax},
        {"PhaseID 12", DBErrorCode::SqlSyntax},
        {"PhaseID=12 OR", DBErrorCode::SqlSyntax},
        {"Name = 'open", DBErrorCode::SqlSyntax},
        {"PhaseID = 12 ; drop", DBErrorCode::SqlSyntax},
        {"Qty < NULL", DBErrorCode::SqlSyntax},
        {"Link_Phs=12", DBErrorCode::NotFound},
        {"PhaseID = 'twelve'", DBErrorCode::General},
        {"Day = 'soon'", DBErrorCode::General},
    };
    for (const auto& [filter, code] : cases) {
        try {
            TRecordFilter::Parse(QString::fromLatin1(filter), Fields());
            ADD_FAILURE() << "accepted: " << filter;
        } catch (const EDBEngineError& e) {
            EXPECT_EQ(e.ErrorCode(), code) << filter << ": " << e.what();
        }
    }
}

} // namespace
