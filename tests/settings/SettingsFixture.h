#pragma once

#include "platform/DebugLog.h"
#include "platform/IniOut.h"

#include "support/ScopedEnv.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// A program folder, a temporary folder and a registry store of the test's own.
class TSettingsFixture : public ::testing::Test {
protected:
    QTemporaryDir FDir;
    QString FHome = FDir.filePath(QStringLiteral("home"));
    QString FTemp = FDir.filePath(QStringLiteral("tmp"));
    QString FStore = FDir.filePath(QStringLiteral("Registry.reg"));
    TScopedEnv FHomeEnv{"VARNEL_HOME", FHome};
    TScopedEnv FTempEnv{"Temp", FTemp};
    TScopedEnv FRegistryEnv{"VARNEL_REGISTRY", FStore};
    TIniOut FReg{FStore};

    void SetUp() override {
        QDir().mkpath(FHome);
        FReg.RegistryRoot = TRegRoots::LOCAL_MACHINE;
        LogDisabled = false;
    }
    void TearDown() override { LogDisabled = false; }

    // Writes the registry store: `keys` are "[key]" and value lines below
    // HKEY_LOCAL_MACHINE\SOFTWARE\Calvero Software Corp.\Ostrane\2.0\.
    void WriteRegistry(const QString& lines) {
        QString text = QStringLiteral("Windows Registry Editor Version 5.00\n\n") + lines;
        text.replace(QStringLiteral("[OST\\"),
                     QStringLiteral("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Calvero Software Corp.\\"
                                    "Ostrane\\2.0\\"));
        WriteTestFile(FStore, text.toUtf8());
    }
};
