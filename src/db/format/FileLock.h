#pragma once

#include <QString>

#include <filesystem>

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

private:
    int FHandle = -1;
};
