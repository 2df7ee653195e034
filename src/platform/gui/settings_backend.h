#pragma once

#include <QString>
#include <QVariant>

namespace ferrowyn {

// The per-user settings store, kept across restarts: on Linux an INI file under the user's configuration folder
// (~/.config/<organization>/<application>.conf, honouring XDG_CONFIG_HOME), on Windows the user's registry.
// The organization is "Ferrowyn". Tests may point the default format elsewhere (QSettings::setDefaultFormat).

// The stored value, or `defaultValue` when nothing is stored. A store that cannot be read, or a damaged one, reads
// as empty.
QVariant readSetting(const QString& application, const QString& section, const QString& key,
                     const QVariant& defaultValue);

// Stores `value`, replacing any earlier one. Raises std::runtime_error when the store cannot be written.
void saveSetting(const QString& application, const QString& section, const QString& key, const QVariant& value);

} // namespace ferrowyn
