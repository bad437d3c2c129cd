#include "FileReader.h"

#include "DBEngineError.h"

namespace {
constexpr std::size_t WindowSize = 64 * 1024;
}

TFileReader::TFileReader(const std::filesystem::path& path, const QString& where)
    : FFile(QString::fromStdString(path.string())), FWhere(where) {
    if (!FFile.exists())
        throw EDBEngineError(DBErrorCode::NotFound,
                             QStringLiteral("%1: file not found").arg(where));
    if (!FFile.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        throw EDBEngineError(DBErrorCode::General,
                             QStringLiteral("%1: cannot open: %2").arg(where, FFile.errorString()));
    FSize = FFile.size();
}

std::span<const std::uint8_t> TFileReader::Read(qint64 offset, std::size_t length) {
    if (offset < 0 || offset > FSize || static_cast<qint64>(length) > FSize - offset)
        throw EDBEngineError(
            DBErrorCode::Corrupt,
            QStringLiteral("%1: a read of %2 bytes at offset %3 runs past the end of "
                           "the file (%4 bytes)")
                .arg(FWhere)
                .arg(length)
                .arg(offset)
                .arg(FSize));
    if (offset >= FWindowStart &&
        offset + static_cast<qint64>(length) <= FWindowStart + static_cast<qint64>(FWindowLength))
        return std::span<const std::uint8_t>(FWindow).subspan(
            static_cast<std::size_t>(offset - FWindowStart), length);
    const std::size_t want =
        std::max(length, std::min(WindowSize, static_cast<std::size_t>(FSize - offset)));
    FWindow.resize(want);
    FWindowLength = 0;
    qint64 got = -1;
    if (FFile.seek(offset))
        got = FFile.read(reinterpret_cast<char*>(FWindow.data()), static_cast<qint64>(want));
    if (got < static_cast<qint64>(length))
        throw EDBEngineError(DBErrorCode::Corrupt,
                             QStringLiteral("%1: short read at offset %2").arg(FWhere).arg(offset));
    FWindowStart = offset;
    FWindowLength = static_cast<std::size_t>(got);
    return std::span<const std::uint8_t>(FWindow).first(length);
}

void TFileReader::Refresh() {
    FWindowLength = 0;
    FSize = FFile.size();
}
