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

QString readSetting(const QString& application, const QString& section, const QString& key,
                    const QString& defaultValue) {
    const QSettings settings(QSettings::NativeFormat, QSettings::UserScope, kOrganization, application);
    return settings.value(keyOf(section, key), defaultValue).toString();
}

void saveSetting(const QString& application, const QString& section, const QString& key, const QString& value) {
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, kOrganization, application);
    settings.setValue(keyOf(section, key), value);
    settings.sync();
    if (settings.status() != QSettings::NoError) {
        throw std::runtime_error("Cannot save the setting " + key.toStdString() + " in " +
                                 settings.fileName().toStdString());
    }
}

} // namespace ferrowyn
