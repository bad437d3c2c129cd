#include "platform/Registry.h"

#include <QStringDecoder>

#include <stdexcept>

QString RegRootName(TRegRoots root) {
    switch (root) {
    case TRegRoots::CLASSES_ROOT:
        return QStringLiteral("HKEY_CLASSES_ROOT");
    case TRegRoots::CURRENT_USER:
        return QStringLiteral("HKEY_CURRENT_USER");
    case TRegRoots::LOCAL_MACHINE:
        return QStringLiteral("HKEY_LOCAL_MACHINE");
    case TRegRoots::USERS:
        return QStringLiteral("HKEY_USERS");
    case TRegRoots::PERFORMANCE_DATA:
        return QStringLiteral("HKEY_PERFORMANCE_DATA");
    case TRegRoots::CURRENT_CONFIG:
        return QStringLiteral("HKEY_CURRENT_CONFIG");
    case TRegRoots::DYN_DATA:
        return QStringLiteral("HKEY_DYN_DATA");
    }
    return QString();
}

TRegistry::TRegistry(TRegAccess access, QString storePath)
    : Access(access), FStorePath(std::move(storePath)) {}

void TRegistry::CloseKey() {
    FCurrentKey.clear();
}

bool TRegistry::OpenKey(const QString& key, bool canCreate) {
    CloseKey();
    if (!FStore)
        FStore =
            TRegistryStore::Load(FStorePath.isEmpty() ? TRegistryStore::DefaultPath() : FStorePath);
    if (Access == TRegAccess::Full && !FStore->Writable())
        return false;
    const QString path = RegRootName(RootKey) + u'\\' + key;
    if (!FStore->KeyExists(path) && !(canCreate && FStore->CreateKey(path)))
        return false;
    FCurrentKey = path;
    return true;
}

bool TRegistry::ValueExists(const QString& name) const {
    return !FCurrentKey.isEmpty() && FStore->FindValue(FCurrentKey, name) != nullptr;
}

QString TRegistry::ReadString(const QString& name) const {
    const TRegValue* value = FCurrentKey.isEmpty() ? nullptr : FStore->FindValue(FCurrentKey, name);
    if (value && value->Data.isEmpty())
        return QString();
    if (!value || (value->Type != TRegType::String && value->Type != TRegType::ExpandString))
        throw std::runtime_error(
            QStringLiteral("Invalid data type for '%1'").arg(name).toStdString());
    QStringDecoder decode(QStringDecoder::Utf16LE);
    const QString text = decode(value->Data);
    const qsizetype nul = text.indexOf(QChar(0));
    return nul < 0 ? text : text.left(nul);
}
