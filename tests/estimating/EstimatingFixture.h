#pragma once

#include "db/Session.h"
#include "settings/AppRec.h"
#include "settings/OstraneRec.h"
#include "support/ChildProcess.h"
#include "support/ScopedEnv.h"
#include "support/ScriptedPrompt.h"
#include "support/TestFiles.h"
#include "varnel-sample/SampleSpace.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

// A sample project space (worked example and clinic estimate) in a temporary
// folder, the program folder beside it, fresh records and a fresh session.
class EstimatingTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Temp.isValid());
        Space = Temp.filePath("space");
        Home = Temp.filePath("home");
        ASSERT_TRUE(QDir().mkpath(Home));
        HomeEnv = std::make_unique<TScopedEnv>("VARNEL_HOME", Home);
        WriteSampleSpace(Space.toStdString(), std::nullopt);
        AppRec = TAppRec();
        AppRec.ExePath = Home;
        OstraneRec = TOstraneRec();
        OstraneRec.DataPath = Space;
        OstraneRec.UserName = "estimator";
        ResetSession();
    }
    void TearDown() override { ResetSession(); }

    static void ResetSession() {
        Session().Close();
        Session().DropConnections();
        Session().SetNetFileDir(QString());
        Session().SetPrivateDir(QString());
    }

    QString ProjectFolder(const QString& shortName) const {
        return Space + "/Projects/" + shortName;
    }
    QStringList LogLines() const {
        const QString path = Home + "/DEBUG.LOG";
        if (!QFile::exists(path))
            return {};
        return QString::fromUtf8(ReadTestFile(path)).split('\n', Qt::SkipEmptyParts);
    }
    // True when some DEBUG.LOG line ends in `text` (entries carry a time stamp).
    bool Logged(const QString& text) const {
        for (const QString& line : LogLines())
            if (line.trimmed().endsWith(text))
                return true;
        return false;
    }

    QTemporaryDir Temp;
    QString Space;
    QString Home;
    std::unique_ptr<TScopedEnv> HomeEnv;
    TScriptedPrompt Prompt;
};
