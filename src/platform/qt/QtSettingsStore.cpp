#include "platform/qt/QtSettingsStore.h"

#include "platform/qt/DirectorySync.h"

#include <QFileInfo>
#include <QSettings>
#include <QStringList>
#include <memory>

namespace zr::platform {
namespace {

std::unique_ptr<QSettings> openSettings(const std::optional<QString>& file, const QString& app) {
    if (file) {
        return std::make_unique<QSettings>(*file, QSettings::IniFormat);
    }
#ifdef Q_OS_WIN
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, app, app);
#else
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, app, app);
#endif
}

// An INI value with an unquoted comma reads back as a list; the station wants the text.
QString asText(const QVariant& value) {
    if (value.typeId() == QMetaType::QStringList) {
        return value.toStringList().join(QLatin1Char(','));
    }
    return value.toString();
}

} // namespace

QtSettingsStore::QtSettingsStore(std::optional<QString> file) : file_(std::move(file)) {}

std::string QtSettingsStore::get(const std::string& app, const std::string& section,
                                 const std::string& key, const std::string& defaultValue) const {
    const auto settings = openSettings(file_, QString::fromStdString(app));
    const QString path = QString::fromStdString(section + "/" + key);
    if (!settings->contains(path)) {
        return defaultValue;
    }
    return asText(settings->value(path)).toStdString();
}

void QtSettingsStore::save(const std::string& app, const std::string& section,
                           const std::string& key, const std::string& value) {
    const auto settings = openSettings(file_, QString::fromStdString(app));
    settings->setValue(QString::fromStdString(section + "/" + key), QString::fromStdString(value));
    settings->sync();
}

bool QtSettingsStore::saveAll(const std::string& app, const std::string& section,
                              const SettingValues& values) {
    const auto settings = openSettings(file_, QString::fromStdString(app));
    // QSettings writes a new file and renames it over the old one (QSaveFile, synced to
    // disk before the rename); with atomic sync required it refuses any other way.
    settings->setAtomicSyncRequired(true);
    for (const auto& [key, value] : values) {
        settings->setValue(QString::fromStdString(section) + u'/' + QString::fromStdString(key),
                           QString::fromStdString(value));
    }
    settings->sync();
    return settings->status() == QSettings::NoError && syncDirectoryOf(settings->fileName());
}

std::optional<PortMap> QtSettingsStore::portMap() const {
    const auto settings = openSettings(file_, QStringLiteral("ZR"));
    settings->beginGroup(QStringLiteral("Ports"));
    const QStringList keys = settings->childKeys();
    if (keys.isEmpty()) {
        return std::nullopt;
    }
    PortMap ports;
    for (const QString& key : keys) {
        if (!key.startsWith(QStringLiteral("COM"), Qt::CaseInsensitive)) {
            continue;
        }
        bool ok = false;
        const int number = key.mid(3).toInt(&ok);
        if (ok && number >= 1 && number <= 16) {
            ports[number] = asText(settings->value(key)).trimmed().toStdString();
        }
    }
    return ports;
}

} // namespace zr::platform
