#include "settings/OstraneRec.h"

#include "platform/DebugLog.h"

#include <QFileInfo>

const QString OstraneSystemKey =
    QStringLiteral("SOFTWARE\\Calvero Software Corp.\\Ostrane\\2.0\\SYSTEM");
const QString OstraneUsersKey =
    QStringLiteral("SOFTWARE\\Calvero Software Corp.\\Ostrane\\2.0\\USERS\\");
const QString OstraneLabelsKey =
    QStringLiteral("SOFTWARE\\Calvero Software Corp.\\Ostrane\\2.0\\Labels");

TOstraneRec OstraneRec;
TIniOut OstraneReg = [] {
    TIniOut reg;
    reg.RegistryRoot = TRegRoots::LOCAL_MACHINE;
    return reg;
}();

namespace {

bool HasSystemFolder(const QString& folder) {
    return !folder.isEmpty() && QFileInfo(folder + QStringLiteral("/System")).isDir();
}

QString WithoutTrailingSeparator(QString path) {
    if (path.size() > 1 && (path.endsWith(u'\\') || path.endsWith(u'/')))
        path.chop(1);
    return path;
}

} // namespace

void InitOstraneRec(TOstraneRec& rec) {
    rec.DataPath.clear();
    rec.UserName.clear();
    rec.FullName.clear();
    rec.Title.clear();
    rec.Mobile.clear();
    rec.Email.clear();
    rec.SystemName = QStringLiteral("OstraneSystem");
    for (QString& title : rec.MRU)
        title.clear();
    rec.ProjectTitle.clear();
    rec.ProjectPath.clear();
    rec.ProjectOpen = false;
}

void ReadOstraneConfig(TOstraneRec& rec, const TIniOut& reg, const QString& exePath) {
    rec.DataPath = WithoutTrailingSeparator(
        reg.ReadRegString(OstraneSystemKey, QStringLiteral("DATAPATH"), QString()));
    rec.UserName = reg.ReadRegString(OstraneSystemKey, QStringLiteral("LASTUSER"), QString());
    // An empty DataPath would test a "System" folder at the file system root.
    if (!HasSystemFolder(rec.DataPath)) {
        rec.DataPath = exePath;
        const QString parent = exePath + QStringLiteral("/..");
        if (!HasSystemFolder(exePath) && HasSystemFolder(parent))
            rec.DataPath = parent;
    }
    ReadLabels(rec.Labels, reg);
}

void ReadLabels(TLabelRec& labels, const TIniOut& reg) {
    auto read = [&](const QString& name, const QString& def) {
        return reg.ReadRegString(OstraneLabelsKey, name, def);
    };
    auto readNumbered = [&](auto& items, const char* prefix, const QStringList& defaults) {
        for (int i = items.Low(); i <= items.High(); ++i) {
            const QString name = QLatin1String(prefix) + QString::number(i);
            items[i] = read(name, defaults.isEmpty() ? name : defaults[i - 1]);
        }
    };
    readNumbered(labels.Alteration, "Alteration", {"Phase", "Revision", "Phase2", "Revision2"});
    readNumbered(labels.BidResult, "BidResult",
                 {"Bid Lists", "Sub-Contracts", "Allowances", "Gen Conditions"});
    readNumbered(labels.Contact, "Contact", {});
    readNumbered(labels.General, "General",
                 {"Qty", "Width", "Height", "Depth", "Comment", "Reference"});
    readNumbered(labels.Location, "Location", {"Location", "Drawing", "Section", "Scope"});
    readNumbered(labels.Mile, "Mile", {});
    labels.Markup1 = read(QStringLiteral("Markup1"), QStringLiteral("Markup"));
    labels.Markup2 = read(QStringLiteral("Markup2"), QStringLiteral("Profit"));
    labels.Material1 = read(QStringLiteral("Material1"), QStringLiteral("Direct"));
    labels.Material2 = read(QStringLiteral("Material2"), QStringLiteral("InDirect"));
    if (labels.Material2 == labels.Material1)
        labels.Material2 += u'1';
    labels.Labor1 = read(QStringLiteral("Labor1"), QStringLiteral("Direct"));
    labels.Labor2 = read(QStringLiteral("Labor2"), QStringLiteral("InDirect"));
    if (labels.Labor2 == labels.Labor1)
        labels.Labor2 += u'1';
}

void FillMRU(TOstraneRec& rec, const TIniOut& reg) {
    DebugLog(QStringLiteral("FillMRU"));
    for (QString& title : rec.MRU)
        title.clear();
    const QString key = OstraneUsersKey + rec.UserName + QStringLiteral("\\MRULIST");
    for (int i = rec.MRU.Low(); i <= rec.MRU.High(); ++i)
        rec.MRU[i] = reg.ReadRegString(key, QStringLiteral("MRU") + QString::number(i), QString());
}

void InitOstraneRec() {
    InitOstraneRec(OstraneRec);
}
void ReadOstraneConfig(const QString& exePath) {
    ReadOstraneConfig(OstraneRec, OstraneReg, exePath);
}
void FillMRU() {
    FillMRU(OstraneRec, OstraneReg);
}
