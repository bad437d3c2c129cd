#pragma once

#include "ParadoxTypes.h"

#include <QString>

#include <span>
#include <vector>

// The header of a Paradox file (.db, .px, .Xnn, .Ynn), parsed and checked
// against the file's size. Every count, size and block number in it has been
// validated before a caller sees it.
struct TParadoxHeader {
    enum TFileType : int {
        KeyedTable = 0,
        PrimaryIndex = 1,
        Table = 2,
        SecondaryData = 3,  // .Xnn, not maintained
        SecondaryIndex = 4, // .Ynn
        SecondaryDataInc = 5,
        CompositeData = 6,  // .XGn, not maintained
        CompositeIndex = 7, // .YGn
        CompositeDataInc = 8,
    };

    int RecordSize = 0;
    int HeaderSize = 0;
    int FileType = 0;
    int BlockSize = 0;
    qint64 NumRecords = 0;
    int BlocksInUse = 0;
    int FileBlocks = 0;
    int FirstBlock = 0;
    int LastBlock = 0;
    int IndexRoot = 0;
    int IndexLevels = 0;
    int KeyFields = 0;
    int IndexFieldNumber = 0;
    int SortOrder = 0;
    int FileVersion = 0;
    int CodePage = 0; // the fallback when the header records none (3.x files, indexes)
    std::uint32_t AutoInc = 0;
    int FirstFreeBlock = 0;
    QString SortOrderName;
    std::vector<TFieldDef> Fields; // names empty in index files, which store none

    // The most records a block can hold.
    int MaxRecordsPerBlock() const { return (BlockSize - 6) / RecordSize; }
    qint64 BlockOffset(int block) const {
        return HeaderSize + static_cast<qint64>(block - 1) * BlockSize;
    }
    bool IsIndexFile() const {
        return FileType == PrimaryIndex || FileType == SecondaryIndex || FileType == CompositeIndex;
    }
    bool HasDataHeader() const { return FileVersion >= 5 && !IsIndexFile(); }
    int TableNameLength() const { return FileVersion >= 12 ? 261 : 79; }

    // Parses `head` (the first bytes of the file, up to its header size) of a
    // file `fileSize` bytes long. `where` names the file in errors. Field names
    // are decoded with the header's code page, or `fallbackCodePage` when it has
    // none. Raises EDBEngineError(Corrupt) for a damaged or foreign header and
    // EDBEngineError(General) for an encrypted table or an unknown code page.
    static TParadoxHeader Parse(std::span<const std::uint8_t> head, qint64 fileSize,
                                const QString& where, int fallbackCodePage);

    // The number of header bytes Parse needs to see: the declared header
    // size, bounded by the file's size.
    static int HeaderBytesNeeded(std::span<const std::uint8_t> first88, qint64 fileSize);
};
