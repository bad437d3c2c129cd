#include "platform/IniOut.h"

TIniOut::TIniOut(QString storePath) : FStorePath(std::move(storePath)) {}

void TIniOut::SetFileName(const QString& value) {
    if (!ChangeExt) {
        FFileName = value;
        return;
    }
    const qsizetype folder =
        std::max({value.lastIndexOf(u'\\'), value.lastIndexOf(u'/'), value.lastIndexOf(u':')});
    const qsizetype dot = value.lastIndexOf(u'.');
    QString name = (dot > folder ? value.left(dot) : value) + QStringLiteral(".INI");
    for (QChar& c : name)
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - u'a' + u'A');
    FFileName = name;
}

void TIniOut::SetItems(const QStringList& items) {
    FItems = items;
}

bool TIniOut::OpenRegKey(TRegistry& reg, const QString& key) const {
    reg.RootKey = RegistryRoot;
    reg.CloseKey();
    return reg.OpenKey(key, true);
}

QString TIniOut::ReadRegString(const QString& key, const QString& name, const QString& def) const {
    TRegistry reg(TRegAccess::Full, FStorePath);
    bool open = OpenRegKey(reg, key);
    if (!open) {
        reg.Access = TRegAccess::Read;
        open = OpenRegKey(reg, key);
    }
    if (open && reg.ValueExists(name))
        return reg.ReadString(name);
    return def;
}
