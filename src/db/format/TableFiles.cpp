#include "TableFiles.h"

#include "DBEngineError.h"
#include "ParadoxTable.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

const QRegularExpression& CompanionExtension() {
    static const QRegularExpression re(
        QStringLiteral("^(db|px|mb|val|tv|fam|x[0-9a-f]{2}|y[0-9a-f]{2}|xg[0-9a-f]|yg[0-9a-f])$"),
        QRegularExpression::CaseInsensitiveOption);
    return re;
}

std::filesystem::path ToPath(const QString& path) {
    return std::filesystem::path(path.toStdString());
}

// Files in the table's folder whose base name is the table's, any case.
QFileInfoList SameBase(const std::filesystem::path& table) {
    const QFileInfo info(TableFiles::Display(table));
    const QString base = info.completeBaseName();
    QFileInfoList result;
    const QFileInfoList entries =
        QDir(info.absolutePath())
            .entryInfoList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QFileInfo& entry : entries) {
        if (entry.completeBaseName().compare(base, Qt::CaseInsensitive) == 0)
            result.append(entry);
    }
    return result;
}

} // namespace

namespace TableFiles {

QString Display(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

std::optional<std::filesystem::path> Companion(const std::filesystem::path& table,
                                               const QString& extension) {
    for (const QFileInfo& entry : SameBase(table)) {
        if (entry.suffix().compare(extension, Qt::CaseInsensitive) == 0)
            return ToPath(entry.filePath());
    }
    return std::nullopt;
}

std::vector<std::filesystem::path> All(const std::filesystem::path& table) {
    std::vector<std::filesystem::path> files;
    for (const QFileInfo& entry : SameBase(table)) {
        if (CompanionExtension().match(entry.suffix()).hasMatch())
            files.push_back(ToPath(entry.filePath()));
    }
    return files;
}

std::vector<std::filesystem::path> SecondaryIndexes(const std::filesystem::path& table) {
    static const QRegularExpression re(QStringLiteral("^x(g[0-9a-f]|[0-9a-f]{2})$"),
                                       QRegularExpression::CaseInsensitiveOption);
    std::vector<std::filesystem::path> files;
    for (const QFileInfo& entry : SameBase(table)) {
        if (re.match(entry.suffix()).hasMatch())
            files.push_back(ToPath(entry.filePath()));
    }
    return files;
}

} // namespace TableFiles

std::optional<std::filesystem::path> FindTableFile(const std::filesystem::path& folder,
                                                   const QString& name) {
    QString wanted = name;
    if (QFileInfo(name).suffix().isEmpty())
        wanted += QStringLiteral(".db");
    const QDir dir(TableFiles::Display(folder));
    if (QFileInfo(dir.filePath(wanted)).isFile())
        return ToPath(dir.filePath(wanted));
    const QStringList entries = dir.entryList(QDir::Files | QDir::Hidden, QDir::Name);
    for (const QString& entry : entries) {
        if (entry.compare(wanted, Qt::CaseInsensitive) == 0)
            return ToPath(dir.filePath(entry));
    }
    return std::nullopt;
}

void DeleteParadoxTable(const std::filesystem::path& file) {
    std::filesystem::path table = file;
    if (!table.has_extension())
        table += ".db";
    for (const std::filesystem::path& part : TableFiles::All(table)) {
        std::error_code error;
        std::filesystem::remove(part, error);
        if (error)
            throw EDBEngineError(
                DBErrorCode::General,
                QStringLiteral("%1: cannot delete: %2")
                    .arg(TableFiles::Display(part), QString::fromStdString(error.message())));
    }
}
