#pragma once

#include <QString>

#include <filesystem>
#include <memory>
#include <vector>

class TDataSet;
class TSqlEngine;

// The process-wide database session: its two directory settings, the open
// datasets and the cache of tables loaded for SQL. Used from one thread.
class TSession {
public:
    // The session becomes active when the first dataset opens.
    bool Active() const { return FActive; }
    // Closes every open dataset and makes the session inactive.
    void Close();
    // Drops the tables cached for SQL that no open query uses.
    void DropConnections();

    // The network control directory, shared by the programs that work on the
    // same tables, and the private directory for this program's temporary
    // files. Empty means not set. Setting a directory that does not exist
    // raises EDBEngineError.
    const QString& NetFileDir() const { return FNetFileDir; }
    void SetNetFileDir(const QString& dir);
    const QString& PrivateDir() const { return FPrivateDir; }
    void SetPrivateDir(const QString& dir);

    // Tells the SQL cache that a table file was written or deleted by us.
    void TableChanged(const std::filesystem::path& file);
    TSqlEngine& SqlEngine();

    // For TDataSet.
    void Register(TDataSet* dataSet);
    void Unregister(TDataSet* dataSet);

    TSession();
    ~TSession();
    TSession(const TSession&) = delete;
    TSession& operator=(const TSession&) = delete;

private:
    bool FActive = false;
    QString FNetFileDir;
    QString FPrivateDir;
    std::vector<TDataSet*> FOpen;
    std::unique_ptr<TSqlEngine> FSqlEngine;
};

// The one session of the process.
TSession& Session();
