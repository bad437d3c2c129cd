#include "EstimatingFixture.h"

#include "estimating/OpenProject.h"

#include <QDir>

TEST_F(EstimatingTest, GetProjectFindsTheTitleWithoutRegardToCase) {
    TOpenProject open(Prompt);
    open.GetProject("WORKED example");
    EXPECT_TRUE(open.OpenRec.Selected);
    EXPECT_EQ(open.OpenRec.LongName, "Worked Example");
    EXPECT_EQ(open.OpenRec.ShortName, "WORKEX");
    EXPECT_EQ(open.OpenRec.ProjectPath, ProjectFolder("WORKEX"));
    EXPECT_FALSE(open.qryProjects().Active());
    EXPECT_TRUE(open.IsProjectHere("riverside clinic fit-out"));

    // Unknown titles and the reserved library row clear the choice.
    for (const QString title : {"Harbour Warehouse", "Standard Library", ""}) {
        open.GetProject("Worked Example");
        open.GetProject(title);
        EXPECT_FALSE(open.OpenRec.Selected) << title.toStdString();
        EXPECT_TRUE(open.OpenRec.LongName.isEmpty());
        EXPECT_FALSE(open.IsProjectHere(title));
    }
}

TEST_F(EstimatingTest, ATitleWhoseFolderIsMissingIsListedButNotChosen) {
    ASSERT_TRUE(QDir(ProjectFolder("WORKEX")).removeRecursively());
    TOpenProject open(Prompt);
    open.GetProject("Worked Example");
    EXPECT_FALSE(open.OpenRec.Selected);
    EXPECT_TRUE(open.OpenRec.ProjectPath.isEmpty());
    EXPECT_TRUE(open.IsProjectHere("Worked Example"));
}

TEST_F(EstimatingTest, AProjectListThatCannotBeReadIsReportedAndKeepsTheChoice) {
    TOpenProject open(Prompt);
    open.GetProject("Worked Example");
    ASSERT_TRUE(open.OpenRec.Selected);
    OstraneRec.DataPath = Temp.filePath("nowhere");
    const QString folder = OstraneRec.DataPath + "/System";

    // The message ends in the engine's own text for the missing table.
    QString engineText;
    try {
        TQuery q;
        q.SetDatabaseName(folder);
        q.SetSQL(TOpenProject::ProjectsSQL);
        q.Open();
    } catch (const EDBEngineError& e) {
        engineText = e.Message();
    }
    ASSERT_FALSE(engineText.isEmpty());
    for (const QString head : {"Error - GetProject ", "Error - IsProjectHere "})
        Prompt.ExpectMessage(head + "Worked Example\r\n" + folder + "\r\n" + engineText,
                             TMsgType::Information, TMsgButtons::Ok);
    open.GetProject("Worked Example");
    EXPECT_TRUE(open.OpenRec.Selected);
    EXPECT_EQ(open.OpenRec.LongName, "Worked Example");
    EXPECT_FALSE(open.IsProjectHere("Worked Example"));
    EXPECT_TRUE(Logged(engineText));
}
