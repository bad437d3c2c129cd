#include "EstimatingFixture.h"

#include "estimating/OpenProject.h"
#include "estimating/PhaseChecklist.h"
#include "estimating/ProjectOpen.h"
#include "platform/IniFile.h"

TEST(PhaseFilterText, JoinsOnePhaseComparisonPerIdWithOr) {
    const struct {
        QStringList Ids;
        QString Filter;
    } cases[] = {
        {{}, ""},
        {{"12"}, "(PhaseID=12)"},
        {{"12", "15", "31"}, "(PhaseID=12) OR (PhaseID=15) OR (PhaseID=31)"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PhaseFilterText(c.Ids), c.Filter) << c.Ids.join(',').toStdString();
}

TEST(PhaseChecklist, ItemTextKeepsTheDashForAnEmptyDescriptionOnly) {
    EXPECT_EQ(TPhaseChecklist::ItemText("Walls", QString("Exterior walls"), 12),
              "Walls - Exterior walls (12) lines");
    EXPECT_EQ(TPhaseChecklist::ItemText("Walls", QString(), 0), "Walls -  (0) lines");
    EXPECT_EQ(TPhaseChecklist::ItemText("Walls", std::nullopt, 3), "Walls (3) lines");
}

TEST(PhaseChecklist, StatesFollowTheExportBookkeeping) {
    TPhaseChecklist list;
    for (qint64 id : {12, 15, 31, 40})
        list.Items().push_back({"P", "P", id, TPhaseState::Unticked});
    list.MarkDonePhases({"15", "99", "040"}); // "040" is not the decimal text of 40
    EXPECT_EQ(list.Items()[1].State, TPhaseState::Grey);
    EXPECT_EQ(list.Items()[3].State, TPhaseState::Unticked);

    list.Items()[0].State = TPhaseState::Ticked;
    list.Items()[3].State = TPhaseState::Ticked;
    EXPECT_EQ(list.RebuildExportList(), QStringList({"12", "40"}));
    // Ticked and grey in list order; 99 is dropped; the ticked ones turn grey.
    EXPECT_EQ(list.SaveDonePhases(), QStringList({"12", "15", "40"}));
    EXPECT_TRUE(list.RebuildExportList().isEmpty());

    list.SelectAll();
    EXPECT_EQ(list.RebuildExportList(), QStringList({"12", "15", "31", "40"}));
    list.ClearAll();
    for (const TPhaseItem& item : list.Items())
        EXPECT_EQ(item.State, TPhaseState::Unticked);
}

TEST_F(EstimatingTest, OpeningAProjectFillsTheChecklistAndItsSettings) {
    TIniFile ini(IniFileName(AppRec));
    ini.WriteString("WORKEX", "JOBNUMBER", "1207");
    ini.WriteString("WORKEX", "MRU_PHASE", "12,99");
    ini.UpdateFile();

    TOpenProject open(Prompt);
    open.GetProject("worked example");
    TPhaseChecklist list;
    OpenChosenProject(open.OpenRec, list, Prompt);

    EXPECT_TRUE(OstraneRec.ProjectOpen);
    EXPECT_EQ(OstraneRec.ProjectTitle, "Worked Example");
    EXPECT_EQ(OstraneRec.ProjectShortName, "WORKEX");
    EXPECT_EQ(OstraneRec.ProjectPath, ProjectFolder("WORKEX"));
    EXPECT_EQ(AppRec.JobNumber, "1207");
    EXPECT_EQ(AppRec.MRUPhases, QStringList({"12", "99"}));
    ASSERT_EQ(list.Items().size(), 2u);
    EXPECT_EQ(list.Items()[0].Text, "A100 - Foundation (3) lines");
    EXPECT_EQ(list.Items()[0].PhaseId, 12);
    EXPECT_EQ(list.Items()[0].State, TPhaseState::Grey);
    EXPECT_EQ(list.Items()[1].Text, "B200 - Framing (2) lines");
    EXPECT_EQ(list.Items()[1].State, TPhaseState::Unticked);
    EXPECT_TRUE(AppRec.ExportList.isEmpty());
    EXPECT_TRUE(Logged("Project Open       = Worked Example"));
}

TEST_F(EstimatingTest, ChecklistOfAProjectWithoutTablesWarnsAndClosesTheProject) {
    const QString folder = ProjectFolder("WORKEX");
    for (const QString& name : QDir(folder).entryList({"phase.*"}, QDir::Files))
        ASSERT_TRUE(QFile::remove(folder + "/" + name));
    TOpenRec rec{true, folder, "WORKEX", "Worked Example"};
    Prompt.ExpectMessage("Table open error @ " + folder + "\r\n\r\n Check path in Edit|Preferences",
                         TMsgType::Warning, TMsgButtons::Ok);
    TPhaseChecklist list;
    OpenChosenProject(rec, list, Prompt);
    EXPECT_FALSE(OstraneRec.ProjectOpen);
    EXPECT_TRUE(list.Items().empty());
}
