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
