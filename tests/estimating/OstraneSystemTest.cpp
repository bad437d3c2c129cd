#include "EstimatingFixture.h"

#include "db/Table.h"
#include "db/format/ParadoxTable.h"
#include "estimating/OstraneSystem.h"

TEST_F(EstimatingTest, FillmyUserTakesTheUsersRow) {
    const struct {
        QString User;
        QString FullName, Title, Mobile, Email;
    } cases[] = {
        {"estimator", "Dana Whitfield", "Senior Estimator", "+44 7700 900123",
         "dana.whitfield@example.com"},
        // No full name in the row: the user name stands in.
        {"trainee", "trainee", "Trainee Estimator", "+44 7700 900456", "trainee@example.com"},
        // Not in the table: the details stay as they were.
        {"nobody", "kept", "kept", "kept", "kept"},
    };
    for (const auto& c : cases) {
        OstraneRec.UserName = c.User;
        OstraneRec.FullName = OstraneRec.Title = OstraneRec.Mobile = OstraneRec.Email = "kept";
        FillmyUser(Prompt);
        EXPECT_EQ(OstraneRec.FullName, c.FullName) << c.User.toStdString();
        EXPECT_EQ(OstraneRec.Title, c.Title);
        EXPECT_EQ(OstraneRec.Mobile, c.Mobile);
        EXPECT_EQ(OstraneRec.Email, c.Email);
    }
    EXPECT_TRUE(Logged("FillmyUser DataBaseName = " + Space + "/System"));
}

TEST_F(EstimatingTest, FillmyUserWithAOneFieldUsersTableHasNoDetails) {
    const std::filesystem::path users = (Space + "/System/Users.db").toStdString();
    DeleteParadoxTable(users);
    TParadoxWriter writer(users, {{"UserName", TFieldType::Alpha, 20, 0, 1}}, 1);
    writer.Append({QString("estimator")});
    writer.Commit();
    OstraneRec.FullName = OstraneRec.Title = OstraneRec.Mobile = OstraneRec.Email = "old";
    FillmyUser(Prompt);
    EXPECT_EQ(OstraneRec.FullName, "estimator");
    EXPECT_EQ(OstraneRec.Title, "");
    EXPECT_EQ(OstraneRec.Mobile, "");
    EXPECT_EQ(OstraneRec.Email, "");
}

TEST_F(EstimatingTest, FillmyUserReportsAMissingUsersTable) {
    DeleteParadoxTable((Space + "/System/Users.db").toStdString());
    QString engineText;
    try {
        TTable t;
        t.SetDatabaseName(Space + "/System");
        t.SetTableName("Users.db");
        t.Open();
    } catch (const EDBEngineError& e) {
        engineText = e.Message();
    }
    ASSERT_FALSE(engineText.isEmpty());
    Prompt.ExpectMessage(engineText, TMsgType::Information, TMsgButtons::Ok);
    OstraneRec.FullName = "kept";
    FillmyUser(Prompt);
    EXPECT_EQ(OstraneRec.FullName, "kept");
    EXPECT_TRUE(Logged("FillmyUser " + engineText));
}

TEST_F(EstimatingTest, SetNetFileDirComparesWithoutRegardToCase) {
    const QString lower = Temp.filePath("estimates");
    ASSERT_TRUE(QDir().mkpath(lower));
    Session().SetNetFileDir(lower);
    OstraneRec.DataPath = Temp.filePath("ESTIMATES");
    SetNetFileDir(Prompt);
    EXPECT_EQ(Session().NetFileDir(), lower);
    EXPECT_FALSE(QFileInfo::exists(OstraneRec.DataPath)); // not even created
    EXPECT_TRUE(LogLines().isEmpty());

    // Another folder is created, set and logged.
    OstraneRec.DataPath = Temp.filePath("other/space");
    SetNetFileDir(Prompt);
    EXPECT_EQ(Session().NetFileDir(), OstraneRec.DataPath);
    EXPECT_TRUE(QFileInfo(OstraneRec.DataPath).isDir());
    EXPECT_TRUE(Logged("SetNetFileDir - Session.NetFileDir = " + OstraneRec.DataPath));
}

TEST_F(EstimatingTest, SetPrivateDirInTheOnlyRunningCopy) {
    const QString priv = Home + "/Priv/estimating_tests";
    SetPrivateDir(priv, 1, Prompt);
    EXPECT_EQ(Session().PrivateDir(), priv);
    EXPECT_TRUE(QFileInfo(priv).isDir());
    EXPECT_TRUE(Logged("SetPrivateDir - Session.PrivateDir = " + priv));
}

TEST_F(EstimatingTest, SetPrivateDirWithASecondRunningCopyLeavesTheDefault) {
    const QString priv = Home + "/Priv/estimating_tests";
    SetPrivateDir(priv, 2, Prompt); // no message box: the scripted prompt expects none
    EXPECT_EQ(Session().PrivateDir(), "");
    const QStringList lines = LogLines();
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].endsWith("SetStartupValues - session.privatedir not set. Instances = 2"))
        << lines[0].toStdString();
    EXPECT_TRUE(lines[1].endsWith("Default Session.PrivateDir = ")) << lines[1].toStdString();
}
