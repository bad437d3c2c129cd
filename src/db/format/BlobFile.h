#pragma once

#include "FileReader.h"

#include <QByteArray>

// The .mb file of a table: blob values in type-2 blocks (one value) and
// type-3 blocks (up to 64 small values).
class TBlobFile {
public:
    // Opens and checks the header block. Raises EDBEngineError naming the file.
    TBlobFile(const std::filesystem::path& path, const QString& where);

    // The value that a record's 10-byte reference points at: `pointer` is the
    // block offset with the entry index in its low byte, `length` the length
    // the record declares. Raises EDBEngineError(Corrupt) when the reference
    // does not lead to a value of that length.
    QByteArray Read(std::uint32_t pointer, std::uint32_t length, const QString& field);

private:
    TFileReader FFile;
    QString FWhere;
};
