#include "platform/VersionInfo.h"

#include "VersionInfoValues.h"

const TVersionInfo& VersionInfo() {
    static const TVersionInfo info{
        QStringLiteral(VARNEL_VI_PRODUCT_NAME), QStringLiteral(VARNEL_VI_FILE_VERSION),
        QStringLiteral(VARNEL_VI_FILE_DESCRIPTION), QStringLiteral(VARNEL_VI_LEGAL_COPYRIGHT),
        QStringLiteral(VARNEL_VI_COMMENTS)};
    return info;
}

QString VersionInfoValue(const QString& key) {
    const TVersionInfo& info = VersionInfo();
    const std::pair<const char*, const QString*> values[] = {
        {"ProductName", &info.ProductName},
        {"FileVersion", &info.FileVersion},
        {"FileDescription", &info.FileDescription},
        {"LegalCopyright", &info.LegalCopyright},
        {"Comments", &info.Comments}};
    for (const auto& [name, value] : values)
        if (key.compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
            return *value;
    return QString();
}
