#pragma once

#include <QString>

#include <cstdint>
#include <filesystem>
#include <span>

// An exclusive OS lock on a table file, held for the lifetime of the object.
//
// It is an open-file-description lock (fcntl F_OFD_SETLK, write lock over the
// whole file): unlike a classic POSIX record lock it belongs to this open file
// and not to the process, so closing some other descriptor of the same file
// cannot drop it and two threads cannot both hold it; unlike flock() it is
// carried over NFS as a byte-range lock. The lock is advisory: it keeps out
// other writers that lock, not plain readers.
class TFileLock {
public:
    // Opens `file` for writing and locks it without waiting. Raises
    // EDBEngineError(ExclusiveOpen) when another holder has it,
    // EDBEngineError(ReadOnly) when the file cannot be written.
    explicit TFileLock(const std::filesystem::path& file);
    ~TFileLock();
    TFileLock(const TFileLock&) = delete;
    TFileLock& operator=(const TFileLock&) = delete;

    // The descriptor, open for reading and writing.
    int Handle() const { return FHandle; }

    // Writes all of `bytes` at `offset`, resuming after interruptions and
    // partial writes. False with errno set, or with errno 0 for a write that
    // stopped short (a full disk, the file-size limit).
    bool WriteAt(std::span<const std::uint8_t> bytes, qint64 offset) const;

private:
    int FHandle = -1;
};
