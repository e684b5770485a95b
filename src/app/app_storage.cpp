#include "app/app_storage.h"

#include <QtCore/QDir>
#include <QtCore/QSettings>
#include <QtCore/QStandardPaths>

namespace qv {

namespace {

QString KeyName(std::string_view key) {
    return QString::fromUtf8(key.data(), static_cast<qsizetype>(key.size()));
}

QSettings UserSettings() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("qv-updater"),
                     QStringLiteral("qv-updater"));
}

}  // namespace

std::optional<std::string> QtSettingsStore::Value(std::string_view key) const {
    const QVariant value = UserSettings().value(KeyName(key));
    if (!value.isValid()) {
        return std::nullopt;
    }
    return value.toString().toStdString();
}

void QtSettingsStore::SetValue(std::string_view key, const std::string& value) {
    UserSettings().setValue(KeyName(key), QString::fromStdString(value));
}

std::filesystem::path ServiceLogPath() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (folder.isEmpty()) {
        return {};
    }
    return QDir(folder).filePath(QStringLiteral("jobs.jsonl")).toStdU16String();
}

}  // namespace qv
