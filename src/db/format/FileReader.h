#pragma once

#include <QFile>
#include <QString>

#include <filesystem>
#include <span>
#include <vector>

// Read-only random access to a file through a small read-ahead window, so
// that walking blocks in physical order costs one system call per window and
// memory stays bounded whatever the file's size.
class TFileReader {
public:
    // Raises EDBEngineError(NotFound) when the file is missing and
    // EDBEngineError(General) when it cannot be opened.
    TFileReader(const std::filesystem::path& path, const QString& where);

    qint64 Size() const { return FSize; }
    // `length` bytes at `offset`, valid until the next call. Raises
    // EDBEngineError(Corrupt) naming the file when they lie beyond its end.
    std::span<const std::uint8_t> Read(qint64 offset, std::size_t length);

    // Forgets what was read ahead and takes the file's size again, so that the
    // next reads see another writer's changes.
    void Refresh();

private:
    QFile FFile;
    QString FWhere;
    qint64 FSize = 0;
    std::vector<std::uint8_t> FWindow;
    qint64 FWindowStart = 0;
    std::size_t FWindowLength = 0;
};
