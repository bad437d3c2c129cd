#include "SampleSpace.h"

#include <QDir>
#include <QSaveFile>

#include <stdexcept>

namespace {

// The project list. The reserved library row sits between projects, so that a
// reader that drops it cannot get away with dropping the first or last row.
void WriteProjectList(const std::filesystem::path& file,
                      const std::vector<TProjectSummary>& projects) {
    TParadoxWriter writer(file,
                          NumberFields({SampleField("LongName", TFieldType::Alpha, 40),
                                        SampleField("ShortName", TFieldType::Alpha, 40),
                                        SampleField("Modified", TFieldType::Timestamp, 8),
                                        SampleField("Password", TFieldType::Alpha, 10),
                                        SampleField("ReservedLibrary", TFieldType::Short, 2)}));
    const auto append = [&](const TProjectSummary& p, qint64 reserved) {
        writer.Append({p.LongName, p.ShortName, p.Modified, p.Password, reserved});
    };
    for (std::size_t i = 0; i < projects.size(); ++i) {
        append(projects[i], 0);
        if (i == 0) {
            append({"Standard Library",
                    "STDLIB",
                    QDateTime(QDate(2025, 11, 20), QTime(12, 0)),
                    QString(),
                    {}},
                   1);
        }
    }
    writer.Commit();
}

// Users keyed on the user name, in ascending order. "trainee" has no full name.
void WriteUsers(const std::filesystem::path& file) {
    TParadoxWriter writer(file,
                          NumberFields({SampleField("UserName", TFieldType::Alpha, 20),
                                        SampleField("Fullname", TFieldType::Alpha, 40),
                                        SampleField("Title", TFieldType::Alpha, 40),
                                        SampleField("Mobile", TFieldType::Alpha, 20),
                                        SampleField("Email", TFieldType::Alpha, 60)}),
                          1);
    writer.Append({QString("admin"), QString("System Administrator"), QString("IT Support"),
                   QString(), QString("it-support@example.com")});
    writer.Append({QString("estimator"), QString("Dana Whitfield"), QString("Senior Estimator"),
                   QString("+44 7700 900123"), QString("dana.whitfield@example.com")});
    writer.Append({QString("trainee"), QString(), QString("Trainee Estimator"),
                   QString("+44 7700 900456"), QString("trainee@example.com")});
    writer.Commit();
}

QString RegText(const QString& text) {
    QString escaped = text;
    escaped.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    escaped.replace(QLatin1Char('"'), QLatin1String("\\\""));
    return QLatin1Char('"') + escaped + QLatin1Char('"');
}

// The registry of an installation whose project space is `dataPath`: the
// system key, milestone and labour captions, and the last user's recent
// projects (one of them no longer in the list) and recent project spaces.
void WriteRegistry(const QString& file, const QString& dataPath) {
    const QString root = QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Calvero Software "
                                        "Corp.\\Ostrane\\2.0\\");
    QString text = QStringLiteral("Windows Registry Editor Version 5.00\r\n\r\n");
    const auto key = [&](const QString& path) { text += "[" + root + path + "]\r\n"; };
    const auto value = [&](const QString& name, const QString& data) {
        text += RegText(name) + "=" + RegText(data) + "\r\n";
    };
    key("SYSTEM");
    value("DATAPATH", dataPath);
    value("LASTUSER", "estimator");
    text += "\r\n";
    key("Labels");
    value("Labor1", "Direct");
    value("Labor2", "Indirect");
    const char* const miles[] = {"Take-off checked", "Priced",  "Reviewed", "Tendered",
                                 "Exported",         "Awarded", "Ordered",  "Complete"};
    for (int i = 0; i < 8; ++i) {
        value(QStringLiteral("Mile%1").arg(i + 1), miles[i]);
    }
    text += "\r\n";
    key("USERS\\estimator\\MRULIST");
    value("MRU1", "Worked Example");
    value("MRU2", "Riverside Clinic Fit-out");
    value("MRU3", "Harbour Warehouse");
    value("PATH1", dataPath);

    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(text.toUtf8()) < 0 || !out.commit()) {
        throw std::runtime_error("cannot write " + file.toStdString() + ": " +
                                 out.errorString().toStdString());
    }
}

} // namespace

std::vector<TProjectSummary> WriteSampleSpace(const std::filesystem::path& outDir,
                                              std::optional<qint64> scaledLineItems) {
    if (std::filesystem::exists(outDir) &&
        (!std::filesystem::is_directory(outDir) || !std::filesystem::is_empty(outDir))) {
        throw std::runtime_error(outDir.string() + " exists and is not an empty folder");
    }
    const std::filesystem::path system = outDir / "System";
    const std::filesystem::path projectsFolder = outDir / "Projects";
    std::filesystem::create_directories(system);
    std::filesystem::create_directories(projectsFolder);

    std::vector<TProjectSummary> projects;
    projects.push_back(WriteWorkedExample(projectsFolder));
    projects.push_back(WriteClinicEstimate(projectsFolder));
    if (scaledLineItems) {
        projects.push_back(WriteScaledEstimate(projectsFolder, *scaledLineItems));
    }
    WriteProjectList(system / "Projname.db", projects);
    WriteUsers(system / "Users.db");
    const QString dataPath = QDir(QString::fromStdString(outDir.string())).absolutePath();
    WriteRegistry(dataPath + "/Registry.reg", dataPath);
    return projects;
}
