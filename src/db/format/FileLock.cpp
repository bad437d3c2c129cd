#include "FileLock.h"

#include "DBEngineError.h"
#include "TableFiles.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

TFileLock::TFileLock(const std::filesystem::path& file) {
    const QString where = TableFiles::Display(file);
    FHandle = ::open(file.c_str(), O_RDWR | O_CLOEXEC);
    if (FHandle < 0) {
        const int error = errno;
        const int code = (error == EACCES || error == EROFS || error == EPERM)
                             ? DBErrorCode::ReadOnly
                         : error == ENOENT ? DBErrorCode::NotFound
                                           : DBErrorCode::General;
        throw EDBEngineError(code, QStringLiteral("%1: cannot open for writing: %2")
                                       .arg(where, QString::fromLocal8Bit(std::strerror(error))));
    }
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = 0;
    lock.l_len = 0;
    if (::fcntl(FHandle, F_OFD_SETLK, &lock) != 0) {
        const int error = errno;
        ::close(FHandle);
        FHandle = -1;
        if (error == EAGAIN || error == EACCES)
            throw EDBEngineError(
                DBErrorCode::ExclusiveOpen,
                QStringLiteral("%1: the table is locked by another writer").arg(where));
        throw EDBEngineError(DBErrorCode::General,
                             QStringLiteral("%1: cannot lock: %2")
                                 .arg(where, QString::fromLocal8Bit(std::strerror(error))));
    }
}

TFileLock::~TFileLock() {
    if (FHandle >= 0)
        ::close(FHandle);
}

bool TFileLock::WriteAt(std::span<const std::uint8_t> bytes, qint64 offset) const {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t put = ::pwrite(FHandle, bytes.data() + done, bytes.size() - done,
                                     static_cast<off_t>(offset + static_cast<qint64>(done)));
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0) {
            if (put == 0)
                errno = 0;
            return false;
        }
        done += static_cast<std::size_t>(put);
    }
    return true;
}
