// The real tables written by the engine, checked against the facts recorded
// with them.
#include "FormatTestSupport.h"

#include "db/format/DBEngineError.h"

#include <cmath>

namespace {

struct TSchemaFact {
    const char* File;
    int Version;
    int CodePage;
    int RecordSize;
    qint64 Records;
    int Keys;
    const char* Fields; // "name type[size]" joined by "|"
};

QString SchemaText(const TParadoxTable& table) {
    QStringList parts;
    for (const TFieldDef& f : table.Fields()) {
        QString part = f.Name + QLatin1Char(' ') + QLatin1Char(FieldTypeLetter(f.Type));
        if (f.Type == TFieldType::Alpha || IsBlobType(f.Type) || f.Type == TFieldType::Bytes)
            part += QString::number(f.Size);
        if (f.Type == TFieldType::BCD)
            part += QStringLiteral("(%1)").arg(f.Decimals);
        parts << part;
    }
    return parts.join(QLatin1Char('|'));
}

const TSchemaFact SchemaFacts[] = {
    {"dbdemos/biolife.db", 9, 437, 179, 28, 1,
     "Species No N|Category A15|Common_Name A30|Species Name A40|Length (cm) N|Length_In N|Notes "
     "M60|Graphic G10"},
    {"dbdemos/country.db", 9, 850, 88, 18, 1,
     "Name A24|Capital A24|Continent A24|Area N|Population N"},
    {"dbdemos/custoly.db", 11, 437, 490, 30, 1,
     "CustNo +|Last_Name A30|First_Name A30|VIP_Status A10|Address1 A40|Address2 A40|City "
     "A20|State/Prov "
     "A10|Post_Code A10|Country A10|Phone A18|Fax A18|EMail A40|Remarks M210"},
    {"dbdemos/customer.db", 11, 437, 229, 55, 1,
     "CustNo N|Company A30|Addr1 A30|Addr2 A30|City A15|State A20|Zip A10|Country A20|Phone "
     "A15|FAX "
     "A15|TaxRate N|Contact A20|LastInvoiceDate @"},
    {"dbdemos/employee.db", 11, 437, 59, 42, 1,
     "EmpNo I|LastName A20|FirstName A15|PhoneExt A4|HireDate @|Salary N"},
    {"dbdemos/events.db", 11, 437, 174, 23, 1,
     "EventNo +|VenueNo I|Event_Name A30|Event_Date D|Event_Time T|Event_Description "
     "M110|Ticket_price "
     "$|Event_Photo G10"},
    {"dbdemos/items.db", 11, 437, 36, 945, 2, "OrderNo N|ItemNo N|PartNo N|Qty I|Discount N"},
    {"dbdemos/nextcust.db", 9, 437, 8, 1, 0, "NewCust N"},
    {"dbdemos/nextitem.db", 9, 437, 8, 1, 0, "NewKey N"},
    {"dbdemos/nextord.db", 9, 437, 8, 1, 0, "NewKey N"},
    {"dbdemos/orders.db", 11, 437, 263, 205, 1,
     "OrderNo N|CustNo N|SaleDate @|ShipDate @|EmpNo I|ShipToContact A20|ShipToAddr1 "
     "A30|ShipToAddr2 "
     "A30|ShipToCity A15|ShipToState A20|ShipToZip A10|ShipToCountry A20|ShipToPhone A15|ShipVIA "
     "A7|PO "
     "A15|Terms A6|PaymentMethod A7|ItemsTotal $|TaxRate N|Freight $|AmountPaid $"},
    {"dbdemos/parts.db", 9, 437, 78, 59, 1,
     "PartNo N|VendorNo N|Description A30|OnHand N|OnOrder N|Cost $|ListPrice $"},
    {"dbdemos/reservat.db", 11, 437, 103, 100, 1,
     "ResNo +|EventNo I|CustNo I|NumTickets I|Amt_Paid $|Pay_Method A10|Card_No A20|Card_Exp "
     "D|Pay_Notes "
     "M40|Purge_Date D|Paid L"},
    {"dbdemos/vendors.db", 11, 437, 194, 23, 1,
     "VendorNo N|VendorName A30|Address1 A30|Address2 A30|City A20|State A20|Zip A10|Country "
     "A15|Phone "
     "A15|FAX A15|Preferred L"},
    {"dbdemos/venues.db", 11, 437, 138, 10, 1,
     "VenueNo +|Venue A30|Capacity I|Venue_Map G10|Remarks M90"},
    {"rparadox/TypSammlung.DB", 12, 1252, 366, 5, 2,
     "Alpha A30|Numerisch N|Währung $|Integer kurz S|Integer lang I|BCD #(6)|Datum D|Zeit "
     "T|Datum/Zeit "
     "@|Memo M11|Logisch L|Zähler +|Binär B10|Bytes Y255"},
    {"rparadox/empty.db", 12, 1252, 135, 0, 0,
     "ID I|ScientificName A30|CommonName A30|Order A20|Genus A20|Notes M20|Picture G11"},
};

class FixtureSchema : public ::testing::TestWithParam<TSchemaFact> {};

TEST_P(FixtureSchema, HeaderAndFieldsMatchTheRecordedFacts) {
    REQUIRE_FIXTURES();
    const TSchemaFact& fact = GetParam();
    const auto table = TParadoxTable::Open(FixtureDir() / fact.File);
    EXPECT_EQ(table->FileVersion(), fact.Version);
    EXPECT_EQ(table->CodePage(), fact.CodePage);
    EXPECT_EQ(table->RecordSize(), fact.RecordSize);
    EXPECT_EQ(table->RecordCount(), fact.Records);
    EXPECT_EQ(table->KeyFieldCount(), fact.Keys);
    EXPECT_EQ(SchemaText(*table).toStdString(), fact.Fields);
    // The whole chain is sound and its counts add up to the header's.
    EXPECT_NO_THROW(table->Validate());
}

INSTANTIATE_TEST_SUITE_P(RealTables, FixtureSchema, ::testing::ValuesIn(SchemaFacts));

QDateTime Stamp(int y, int mo, int d, int h, int mi, int s) {
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::UTC);
}

struct TValueFact {
    const char* File;
    int Record; // 1-based, in chain order
    const char* Field;
    TValue Expected;
};

const TValueFact ValueFacts[] = {
    {"dbdemos/customer.db", 1, "CustNo", 1221.0},
    {"dbdemos/customer.db", 1, "Company", QStringLiteral("Kauai Dive Shoppe")},
    {"dbdemos/customer.db", 1, "Zip", QStringLiteral("94766-1234")},
    {"dbdemos/customer.db", 1, "TaxRate", 8.5},
    {"dbdemos/customer.db", 1, "LastInvoiceDate", Stamp(1995, 2, 2, 1, 5, 3)},
    {"dbdemos/customer.db", 2, "State", std::monostate{}},
    {"dbdemos/customer.db", 2, "Zip", std::monostate{}},
    {"dbdemos/customer.db", 2, "TaxRate", 0.0},
    {"dbdemos/customer.db", 55, "CustNo", 9841.0},
    {"dbdemos/customer.db", 55, "Company", QStringLiteral("Neptune's Trident Supply")},
    {"dbdemos/orders.db", 1, "SaleDate", Stamp(1988, 4, 12, 0, 0, 0)},
    {"dbdemos/orders.db", 1, "ShipDate", Stamp(1988, 5, 3, 12, 0, 0)},
    {"dbdemos/orders.db", 1, "EmpNo", qint64{114}},
    {"dbdemos/orders.db", 1, "ShipVIA", QStringLiteral("UPS")},
    {"dbdemos/orders.db", 1, "ItemsTotal", 1250.0},
    {"dbdemos/orders.db", 205, "OrderNo", 1860.0},
    {"dbdemos/orders.db", 205, "ShipDate", std::monostate{}},
    {"dbdemos/orders.db", 205, "EmpNo", qint64{9}},
    {"dbdemos/orders.db", 205, "Terms", QStringLiteral("net 30")},
    {"dbdemos/items.db", 1, "PartNo", 1313.0},
    {"dbdemos/items.db", 1, "Qty", qint64{5}},
    {"dbdemos/items.db", 1, "Discount", 0.0},
    {"dbdemos/items.db", 3, "PartNo", 12310.0},
    {"dbdemos/items.db", 945, "OrderNo", 1860.0},
    {"dbdemos/items.db", 945, "ItemNo", 1.0},
    {"dbdemos/items.db", 945, "PartNo", 5349.0},
    {"dbdemos/parts.db", 1, "Description", QStringLiteral("Dive kayak")},
    {"dbdemos/parts.db", 1, "Cost", 1356.75},
    {"dbdemos/parts.db", 1, "ListPrice", 3999.95},
    {"dbdemos/vendors.db", 1, "Preferred", true},
    {"dbdemos/vendors.db", 3, "VendorName", QStringLiteral("J.W.  Luscher Mfg.")},
    {"dbdemos/vendors.db", 3, "Preferred", false},
    {"dbdemos/employee.db", 1, "EmpNo", qint64{2}},
    {"dbdemos/employee.db", 1, "HireDate", Stamp(1988, 12, 28, 0, 0, 0)},
    {"dbdemos/employee.db", 1, "Salary", 40000.0},
    {"dbdemos/country.db", 1, "Capital", QStringLiteral("Buenos Aires")},
    {"dbdemos/country.db", 1, "Population", 32300003.0},
    {"dbdemos/country.db", 3, "Capital", QStringLiteral("Brasilia")},
    {"dbdemos/biolife.db", 1, "Length_In", 19.68503937007874},
    {"dbdemos/biolife.db", 28, "Category", QStringLiteral("Smelt")},
    {"dbdemos/custoly.db", 1, "CustNo", qint64{1}},
    {"dbdemos/custoly.db", 1, "Remarks",
     QStringLiteral(
         "VIP status since 1995.  Check on availability for translations (French, Indonesian)")},
    {"dbdemos/custoly.db", 5, "Remarks", std::monostate{}},
    {"dbdemos/events.db", 1, "Event_Name", QStringLiteral("Men's Track and Field")},
    {"dbdemos/events.db", 1, "Event_Date", QDate(1996, 6, 15)},
    {"dbdemos/events.db", 1, "Event_Time", QTime(10, 0)},
    {"dbdemos/events.db", 1, "Ticket_price", 5.0},
    {"dbdemos/reservat.db", 1, "ResNo", qint64{9}},
    {"dbdemos/reservat.db", 1, "Card_Exp", QDate(1996, 11, 30)},
    {"dbdemos/reservat.db", 1, "Pay_Notes", std::monostate{}},
    {"dbdemos/reservat.db", 1, "Paid", true},
    {"dbdemos/venues.db", 3, "Venue", QStringLiteral("Coliseum")},
    {"dbdemos/venues.db", 3, "Capacity", qint64{12500}},
    {"dbdemos/nextcust.db", 1, "NewCust", 9851.0},
    {"dbdemos/nextord.db", 1, "NewKey", 1861.0},
    {"rparadox/TypSammlung.DB", 1, "Zeit", QTime(0, 0)},
    {"rparadox/TypSammlung.DB", 1, "Datum/Zeit", Stamp(1970, 1, 1, 11, 0, 0)},
    {"rparadox/TypSammlung.DB", 1, "Zähler", qint64{1}},
    {"rparadox/TypSammlung.DB", 2, "BCD", std::monostate{}},
    {"rparadox/TypSammlung.DB", 2, "Logisch", false},
    {"rparadox/TypSammlung.DB", 2, "Integer kurz", std::monostate{}},
    {"rparadox/TypSammlung.DB", 3, "Alpha", QStringLiteral("Fünfter Datensatz")},
    {"rparadox/TypSammlung.DB", 3, "Währung", 13.002},
    {"rparadox/TypSammlung.DB", 3, "BCD", 13.123457},
    {"rparadox/TypSammlung.DB", 3, "Datum", QDate::fromJulianDay(1721425 - 366)},
    {"rparadox/TypSammlung.DB", 3, "Zeit", QTime(1, 10, 12)},
    {"rparadox/TypSammlung.DB", 3, "Memo",
     QStringLiteral("Dies ist eine Memo im 'Fünften Datensat'")},
    {"rparadox/TypSammlung.DB", 4, "Numerisch", 0.0},
    {"rparadox/TypSammlung.DB", 4, "Integer lang", qint64{0}},
    {"rparadox/TypSammlung.DB", 5, "Numerisch", -40.0},
    {"rparadox/TypSammlung.DB", 5, "Integer kurz", qint64{-40}},
    {"rparadox/TypSammlung.DB", 5, "BCD", -40.0},
    {"rparadox/TypSammlung.DB", 5, "Datum", QDate(1999, 9, 9)},
    {"rparadox/TypSammlung.DB", 5, "Datum/Zeit", Stamp(2003, 6, 10, 11, 11, 11)},
    {"rparadox/TypSammlung.DB", 5, "Logisch", true},
    {"rparadox/TypSammlung.DB", 5, "Bytes", std::monostate{}},
};

class FixtureValue : public ::testing::TestWithParam<TValueFact> {};

TEST_P(FixtureValue, RecordInChainOrderHoldsTheRecordedValue) {
    REQUIRE_FIXTURES();
    const TValueFact& fact = GetParam();
    const auto table = TParadoxTable::Open(FixtureDir() / fact.File);
    const int field = table->FieldIndex(QString::fromUtf8(fact.Field).toUpper());
    ASSERT_GE(field, 0) << fact.Field;
    int n = 0;
    TValue value;
    table->ForEachRecord([&](const TRecordView& record) {
        if (++n != fact.Record)
            return true;
        value = record.Value(field);
        return false;
    });
    ASSERT_EQ(n, fact.Record);
    EXPECT_EQ(value, fact.Expected);
}

INSTANTIATE_TEST_SUITE_P(RealTables, FixtureValue, ::testing::ValuesIn(ValueFacts));

TEST(FixtureTables, ChainOrderIsFollowedNotPhysicalOrder) {
    REQUIRE_FIXTURES();
    const auto table = TParadoxTable::Open(FixtureDir() / "dbdemos/customer.db");
    std::vector<int> blocks;
    double previous = 0;
    table->ForEachRecord([&](const TRecordView& record) {
        if (blocks.empty() || blocks.back() != record.Position().Block)
            blocks.push_back(record.Position().Block);
        const double key = std::get<double>(record.Value(0));
        EXPECT_GT(key, previous);
        previous = key;
        return true;
    });
    EXPECT_EQ(blocks, (std::vector<int>{1, 8, 2, 3, 4, 5, 6, 7}));
}

TEST(FixtureTables, BlobsInlineAndInTheBlobFile) {
    REQUIRE_FIXTURES();
    const auto biolife = TParadoxTable::Open(FixtureDir() / "dbdemos/biolife.db");
    std::vector<std::vector<TValue>> rows = ReadAll(*biolife);
    ASSERT_EQ(rows.size(), 28u);
    const QString notes = std::get<QString>(rows[0][6]);
    EXPECT_EQ(notes.size(), 701);
    EXPECT_TRUE(notes.startsWith(QStringLiteral("Also known as the big spotted triggerfish.")));
    const QByteArray graphic = std::get<QByteArray>(rows[0][7]);
    EXPECT_EQ(graphic.size(), 38878); // the 8-byte prefix is not part of the image
    EXPECT_TRUE(graphic.startsWith("BM"));
    EXPECT_EQ(std::get<QString>(rows[27][6]).size(), 420);
    EXPECT_TRUE(
        std::get<QString>(rows[27][6]).startsWith(QStringLiteral("Also called the day smelt")));

    const auto events = TParadoxTable::Open(FixtureDir() / "dbdemos/events.db");
    rows = ReadAll(*events);
    const QString third = std::get<QString>(rows[2][5]);
    EXPECT_EQ(third.size(), 159);
    EXPECT_TRUE(third.contains(QStringLiteral("\r\n")));
    const QString fourth = std::get<QString>(rows[3][5]);
    EXPECT_EQ(fourth.size(), 110); // longer than the 100-byte leader, so read from the .mb
    EXPECT_TRUE(fourth.startsWith(QStringLiteral("Held indoors at Harmon Arena.")));
}

TEST(FixtureTables, MissingBlobFileFailsOnlyForValuesStoredThere) {
    REQUIRE_FIXTURES();
    const auto venues = TParadoxTable::Open(FixtureDir() / "dbdemos/venues.db");
    const int map = venues->FieldIndex(QStringLiteral("venue_map"));
    const int remarks = venues->FieldIndex(QStringLiteral("Remarks"));
    int n = 0;
    venues->ForEachRecord([&](const TRecordView& record) {
        if (++n != 3)
            return true;
        EXPECT_EQ(std::get<QString>(record.Value(remarks)).size(), 78);
        try {
            record.Value(map);
            ADD_FAILURE() << "a graphic whose .mb is missing was read";
        } catch (const EDBEngineError& error) {
            EXPECT_EQ(error.ErrorCode(), DBErrorCode::NotFound);
            EXPECT_TRUE(error.Message().contains(QStringLiteral("venues.db")));
        }
        return false;
    });
}

TEST(FixtureTables, BlankBcdAndRawEncodings) {
    REQUIRE_FIXTURES();
    const auto table = TParadoxTable::Open(FixtureDir() / "rparadox/TypSammlung.DB");
    std::vector<std::vector<std::uint8_t>> bcd, logical;
    table->ForEachRecord([&](const TRecordView& record) {
        const auto b = record.FieldBytes(5);
        bcd.emplace_back(b.begin(), b.end());
        EXPECT_EQ(record.IsBlank(5), std::holds_alternative<std::monostate>(record.Value(5)));
        return true;
    });
    // Record 2's blank BCD is the engine's "decimals, then zeros", not all zeros.
    EXPECT_EQ(bcd[1][0], 0x06);
    EXPECT_TRUE(
        std::all_of(bcd[1].begin() + 1, bcd[1].end(), [](std::uint8_t b) { return b == 0; }));
}

TEST(FixtureTables, EmptyTableHasNoBlocksAndNoRecords) {
    REQUIRE_FIXTURES();
    const auto table = TParadoxTable::Open(FixtureDir() / "rparadox/empty.db");
    EXPECT_TRUE(ReadAll(*table).empty());
}

struct TKeyFact {
    const char* File;
    std::vector<TValue> Key;
    const char* Field;
    TValue Expected;
    int Block; // 0: not found
};

TEST(FixtureTables, FindKeyThroughTheIndexOrTheChain) {
    REQUIRE_FIXTURES();
    const std::vector<TKeyFact> facts = {
        {"dbdemos/customer.db", {1356.0}, "CustNo", 1356.0, 8}, // through customer.px
        {"dbdemos/customer.db", {1357.0}, "CustNo", {}, 0},
        {"dbdemos/customer.db", {1221.0}, "Company", QStringLiteral("Kauai Dive Shoppe"), 1},
        {"dbdemos/customer.db", {9841.0}, "Company", QStringLiteral("Neptune's Trident Supply"), 7},
        {"dbdemos/items.db", {1350.0, 6.0}, "OrderNo", 1350.0, 18},
        {"dbdemos/items.db", {1003.0, 1.0}, "PartNo", 1313.0, 1},
        {"dbdemos/items.db", {1003.0, 99.0}, "PartNo", {}, 0},
        {"dbdemos/employee.db", {qint64{2}}, "LastName", QStringLiteral("Nelson"), 1},
        {"dbdemos/country.db",
         {QStringLiteral("Brazil")},
         "Capital",
         QStringLiteral("Brasilia"),
         1},
        // TypSammlung is keyed but has no .px: the sorted chain is searched.
        {"rparadox/TypSammlung.DB", {QStringLiteral("Null-Werte"), 0.0}, "Zähler", qint64{4}, 1},
        {"rparadox/TypSammlung.DB", {QStringLiteral("Null-Werte"), 1.0}, "Zähler", {}, 0},
        {"rparadox/TypSammlung.DB",
         {QStringLiteral("Zweite Zeile"), -40.0},
         "Zähler",
         qint64{2},
         1},
    };
    for (const TKeyFact& fact : facts) {
        SCOPED_TRACE(fact.File);
        const auto table = TParadoxTable::Open(FixtureDir() / fact.File);
        const int field = table->FieldIndex(QString::fromUtf8(fact.Field));
        TValue value;
        int block = 0;
        const bool found = table->FindKey(fact.Key, [&](const TRecordView& record) {
            value = record.Value(field);
            block = record.Position().Block;
        });
        EXPECT_EQ(found, fact.Block != 0);
        EXPECT_EQ(block, fact.Block);
        EXPECT_EQ(value, fact.Expected);
    }
}

TEST(FixtureTables, TablesAreFoundByNameInAnyCaseWithOrWithoutExtension) {
    REQUIRE_FIXTURES();
    const auto folder = FixtureDir() / "dbdemos";
    EXPECT_EQ(FindTableFile(folder, QStringLiteral("CUSTOMER"))->filename(), "customer.db");
    EXPECT_EQ(FindTableFile(folder, QStringLiteral("Customer.DB"))->filename(), "customer.db");
    EXPECT_FALSE(FindTableFile(folder, QStringLiteral("customer.px2")).has_value());
    EXPECT_EQ(TParadoxTable::Open(folder / "ORDERS")->RecordCount(), 205);
    EXPECT_EQ(TParadoxTable::Open(FixtureDir() / "rparadox/typsammlung.db")->RecordCount(), 5);
}

} // namespace
