#include "app/app_storage.h"

#include <QtCore/QDir>
#include <QtCore/QFileInfo>
#include <QtCore/QSettings>
#include <QtCore/QStandardPaths>

#include "workflow/job_record.h"

namespace qv {

namespace {

constexpr const char* kRadioPortKey = "radioPort";
constexpr const char* kNextRadioKey = "updateNextRadioAutomatically";

// The user's settings of this program: ~/.config/qv-updater/qv-updater.conf on Linux, the
// registry on Windows.
QSettings UserSettings() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("qv-updater"),
                     QStringLiteral("qv-updater"));
}

}  // namespace

QString StoredRadioPort() {
    return UserSettings().value(QLatin1String(kRadioPortKey)).toString();
}

void StoreRadioPort(const QString& stableName) {
    UserSettings().setValue(QLatin1String(kRadioPortKey), stableName);
}

bool StoredNextRadioChoice() {
    return UserSettings().value(QLatin1String(kNextRadioKey), false).toBool();
}

void StoreNextRadioChoice(bool automatic) {
    UserSettings().setValue(QLatin1String(kNextRadioKey), automatic);
}

QString ServiceLogPath() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return folder.isEmpty() ? QString() : QDir(folder).filePath(QStringLiteral("jobs.jsonl"));
}

bool AppendToServiceLog(const std::string& line) {
    const QString path = ServiceLogPath();
    if (path.isEmpty() || !QDir().mkpath(QFileInfo(path).absolutePath())) {
        return false;
    }
    return AppendLine(path.toStdString(), line);
}

}  // namespace qv
