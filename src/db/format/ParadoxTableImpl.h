#pragma once

#include "BlobFile.h"
#include "CodePage.h"
#include "FileReader.h"
#include "ParadoxHeader.h"
#include "ParadoxTable.h"

#include <optional>

// The state behind a TParadoxTable, shared with the in-place writer, which
// needs the validated header and the chain walk.
class TParadoxTable::TImpl {
public:
    TImpl(const std::filesystem::path& file, int fallbackCodePage);

    // Reads and parses the header of an open file.
    static TParadoxHeader ReadHeader(TFileReader& file, const QString& where, int fallbackCodePage);

    // One data block of the chain, its link fields checked.
    struct TBlock {
        int Number = 0;
        int Next = 0;
        int Prev = 0;
        int Count = 0;
        std::span<const std::uint8_t> Records; // Count * RecordSize bytes
    };

    // Reads block `number` of a file with header `header`. Raises
    // EDBEngineError(Corrupt) for a number outside the file or a bad record count.
    static TBlock ReadBlock(TFileReader& file, const TParadoxHeader& header, int number,
                            const QString& where);

    // Visits the blocks of the chain in order until visit returns false;
    // raises EDBEngineError(Corrupt) for a loop, a link outside the file, a
    // back link that does not match, or counts that disagree with the header.
    void WalkChain(const std::function<bool(const TBlock&)>& visit) const;

    TValue Value(int field, std::span<const std::uint8_t> record) const;
    std::span<const std::uint8_t> FieldBytes(int field, std::span<const std::uint8_t> record) const;
    void CheckField(int field) const;

    // The encoded key bytes of `key`, or std::nullopt when a value cannot be
    // a key of this table (wrong kind, too long).
    std::optional<std::vector<std::uint8_t>> EncodeKey(const std::vector<TValue>& key) const;
    int KeySize() const;
    // True when encoded key bytes sort the way the table orders its keys.
    bool KeyBytesOrdered() const;

    std::optional<TRecordPos> FindByIndex(std::span<const std::uint8_t> key,
                                          std::vector<std::uint8_t>& record) const;
    std::optional<TRecordPos> FindInChain(std::span<const std::uint8_t> key,
                                          std::vector<std::uint8_t>& record) const;

    std::filesystem::path File;
    QString Where;
    mutable TFileReader Db;
    TParadoxHeader Header;
    TCodePage CodePage;
    std::vector<int> Offsets;
    mutable std::optional<TBlobFile> Mb;
    mutable bool MbLooked = false;
};
