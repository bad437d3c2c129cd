#include "settings/OstraneRec.h"

#include "SettingsFixture.h"

#include <QFileInfo>

#include <stdexcept>

namespace {

class OstraneRecTest : public TSettingsFixture {
protected:
    QString FExe = FDir.filePath(QStringLiteral("tools/varnel"));
    TOstraneRec FRec;
};

TEST_F(OstraneRecTest, DataPathSearchesThreePlaces) {
    const QString space = FDir.filePath(QStringLiteral("estimates"));
    const struct {
        const char* label;
        QString dataPathValue; // empty: no DATAPATH value
        QStringList systemFolders;
        QString expected;
    } cases[] = {
        {"registry path", space + u'/', {space, FExe}, space},
        {"registry path of another form", space + u'\\', {space}, space},
        {"executable's folder", space, {FExe, FDir.filePath(QStringLiteral("tools"))}, FExe},
        {"its parent, unshortened",
         {},
         {FDir.filePath(QStringLiteral("tools"))},
         FExe + QStringLiteral("/..")},
        {"none", space, {}, FExe},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        QDir(space).removeRecursively();
        QDir(FDir.filePath(QStringLiteral("tools"))).removeRecursively();
        QDir().mkpath(FExe);
        for (const QString& folder : c.systemFolders)
            QDir().mkpath(folder + QStringLiteral("/System"));
        QString values = QStringLiteral("[OST\\SYSTEM]\n\"LASTUSER\"=\"ann\"\n");
        if (!c.dataPathValue.isEmpty())
            values += QStringLiteral("\"DATAPATH\"=\"%1\"\n")
                          .arg(QString(c.dataPathValue).replace(u'\\', QStringLiteral("\\\\")));
        WriteRegistry(values);
        ReadOstraneConfig(FRec, FReg, FExe);
        EXPECT_EQ(FRec.DataPath, c.expected);
        EXPECT_EQ(FRec.UserName, "ann");
    }
}

TEST_F(OstraneRecTest, LabelDefaults) {
    ReadLabels(FRec.Labels, FReg);
    const TLabelRec& l = FRec.Labels;
    auto all = [](const auto& items) { return QStringList(items.begin(), items.end()); };
    EXPECT_EQ(all(l.Alteration), (QStringList{"Phase", "Revision", "Phase2", "Revision2"}));
    EXPECT_EQ(all(l.BidResult),
              (QStringList{"Bid Lists", "Sub-Contracts", "Allowances", "Gen Conditions"}));
    EXPECT_EQ(all(l.Contact), (QStringList{"Contact1", "Contact2", "Contact3", "Contact4"}));
    EXPECT_EQ(all(l.General),
              (QStringList{"Qty", "Width", "Height", "Depth", "Comment", "Reference"}));
    EXPECT_EQ(all(l.Location), (QStringList{"Location", "Drawing", "Section", "Scope"}));
    EXPECT_EQ(all(l.Mile), (QStringList{"Mile1", "Mile2", "Mile3", "Mile4", "Mile5", "Mile6",
                                        "Mile7", "Mile8"}));
    EXPECT_EQ(l.Mile[3], "Mile3");
    EXPECT_EQ((QStringList{l.Markup1, l.Markup2, l.Material1, l.Material2, l.Labor1, l.Labor2}),
              (QStringList{"Markup", "Profit", "Direct", "InDirect", "Direct", "InDirect"}));
    EXPECT_THROW((void)l.Mile[9], std::out_of_range);
    EXPECT_THROW((void)l.Mile[0], std::out_of_range);
}

TEST_F(OstraneRecTest, PairedLabelsAreMadeToDiffer) {
    const struct {
        const char* values;
        const char* material1;
        const char* material2;
        const char* labor1;
        const char* labor2;
    } cases[] = {
        {"\"Material1\"=\"Direct\"\n\"Material2\"=\"Direct\"\n", "Direct", "Direct1", "Direct",
         "InDirect"},
        {"\"Labor1\"=\"Hours\"\n\"Labor2\"=\"HOURS\"\n", "Direct", "InDirect", "Hours", "HOURS"},
        {"\"Labor1\"=\"\"\n\"Labor2\"=\"\"\n\"Mile2\"=\"Rough-in\"\n", "Direct", "InDirect", "",
         "1"},
    };
    for (const auto& c : cases) {
        WriteRegistry(QStringLiteral("[OST\\Labels]\n") + QString::fromUtf8(c.values));
        ReadLabels(FRec.Labels, FReg);
        EXPECT_EQ(FRec.Labels.Material1, c.material1);
        EXPECT_EQ(FRec.Labels.Material2, c.material2);
        EXPECT_EQ(FRec.Labels.Labor1, c.labor1);
        EXPECT_EQ(FRec.Labels.Labor2, c.labor2);
    }
    EXPECT_EQ(FRec.Labels.Mile[2], "Rough-in");
}

TEST_F(OstraneRecTest, FillMRUReadsTheUsersList) {
    WriteRegistry(QStringLiteral("[OST\\USERS\\ann\\MRULIST]\n\"MRU1\"=\"Clinic\"\n"
                                 "\"mru3\"=\"School\"\n\"MRU6\"=\"too far\"\n"
                                 "[OST\\USERS\\bob\\MRULIST]\n\"MRU2\"=\"Other\"\n"));
    FRec.MRU[2] = QStringLiteral("stale");
    FRec.UserName = QStringLiteral("ANN");
    FillMRU(FRec, FReg);
    EXPECT_EQ(QStringList(FRec.MRU.begin(), FRec.MRU.end()),
              (QStringList{"Clinic", "", "School", "", ""}));
    EXPECT_TRUE(QString::fromUtf8(ReadTestFile(FHome + QStringLiteral("/DEBUG.LOG")))
                    .endsWith(QStringLiteral("]  FillMRU\n")));
}

TEST_F(OstraneRecTest, AValueThatIsNotTextStopsTheRead) {
    WriteRegistry(
        QStringLiteral("[OST\\SYSTEM]\n\"DATAPATH\"=\"/x\"\n\"LASTUSER\"=dword:00000001\n"));
    FRec.UserName = QStringLiteral("before");
    try {
        ReadOstraneConfig(FRec, FReg, FExe);
        ADD_FAILURE() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Invalid data type for 'LASTUSER'");
    }
    EXPECT_EQ(FRec.DataPath, "/x");
    EXPECT_EQ(FRec.UserName, "before");
}

TEST_F(OstraneRecTest, InitOstraneRecResetsAllButTheShortNameAndLabels) {
    FRec.DataPath = FRec.UserName = FRec.FullName = FRec.Title = FRec.Mobile = FRec.Email =
        QStringLiteral("x");
    FRec.MRU[5] = FRec.ProjectTitle = FRec.ProjectPath = QStringLiteral("x");
    FRec.ProjectShortName = QStringLiteral("P100");
    FRec.ProjectOpen = true;
    FRec.Labels.Labor1 = QStringLiteral("Hours");
    InitOstraneRec(FRec);
    EXPECT_EQ((QStringList{FRec.DataPath, FRec.UserName, FRec.FullName, FRec.Title, FRec.Mobile,
                           FRec.Email, FRec.ProjectTitle, FRec.ProjectPath}),
              QStringList(8, QString()));
    EXPECT_EQ(FRec.MRU, (TOneBasedArray<QString, 5>{}));
    EXPECT_EQ(FRec.SystemName, "OstraneSystem");
    EXPECT_EQ(FRec.ProjectShortName, "P100");
    EXPECT_FALSE(FRec.ProjectOpen);
    EXPECT_EQ(FRec.Labels.Labor1, "Hours");
}

} // namespace
