#include "platform/gui/settings_backend.h"

#include <QSettings>
#include <stdexcept>

namespace ferrowyn {
namespace {

const QString kOrganization = QStringLiteral("Ferrowyn");

QString keyOf(const QString& section, const QString& key) {
    return section + '/' + key;
}

} // namespace

QVariant readSetting(const QString& application, const QString& section, const QString& key,
                     const QVariant& defaultValue) {
    const QSettings settings(QSettings::defaultFormat(), QSettings::UserScope, kOrganization, application);
    return settings.value(keyOf(section, key), defaultValue);
}

void saveSetting(const QString& application, const QString& section, const QString& key, const QVariant& value) {
    QSettings settings(QSettings::defaultFormat(), QSettings::UserScope, kOrganization, application);
    settings.setValue(keyOf(section, key), value);
    settings.sync();
    // A damaged file read on the way in leaves a format error behind, although the write replaced it: only an
    // access error means the value was not stored.
    if (settings.status() == QSettings::AccessError) {
        throw std::runtime_error("Cannot save the setting " + key.toStdString() + " in " +
                                 settings.fileName().toStdString());
    }
}

} // namespace ferrowyn
