#include "db/Session.h"

#include "db/DataSet.h"
#include "db/format/DBEngineError.h"
#include "db/sql/SqlEngine.h"

#include <QDir>

#include <algorithm>

TSession::TSession() = default;
TSession::~TSession() = default;

TSession& Session() {
    static TSession session;
    return session;
}

void TSession::Close() {
    // Closing unregisters, so work on a copy.
    const std::vector<TDataSet*> open = FOpen;
    for (TDataSet* d : open)
        d->Close();
    FOpen.clear();
    FActive = false;
}

void TSession::DropConnections() {
    if (FSqlEngine)
        FSqlEngine->Clear();
}

namespace {
void RequireDirectory(const QString& dir, const char* what) {
    if (!dir.isEmpty() && !QDir(dir).exists())
        throw EDBEngineError(
            DBErrorCode::NotFound,
            QStringLiteral("%1: directory does not exist: %2").arg(QLatin1String(what), dir));
}
} // namespace

void TSession::SetNetFileDir(const QString& dir) {
    RequireDirectory(dir, "NetFileDir");
    FNetFileDir = dir;
}

void TSession::SetPrivateDir(const QString& dir) {
    RequireDirectory(dir, "PrivateDir");
    FPrivateDir = dir;
}

void TSession::TableChanged(const std::filesystem::path& file) {
    if (FSqlEngine)
        FSqlEngine->Invalidate(file);
}

TSqlEngine& TSession::SqlEngine() {
    if (!FSqlEngine)
        FSqlEngine = std::make_unique<TSqlEngine>();
    return *FSqlEngine;
}

void TSession::Register(TDataSet* dataSet) {
    if (std::find(FOpen.begin(), FOpen.end(), dataSet) == FOpen.end())
        FOpen.push_back(dataSet);
    FActive = true;
}

void TSession::Unregister(TDataSet* dataSet) {
    FOpen.erase(std::remove(FOpen.begin(), FOpen.end(), dataSet), FOpen.end());
}
