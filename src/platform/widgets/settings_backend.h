#pragma once

#include <QString>
#include <QVariant>

namespace ferrowyn {

// The per-user settings store, kept across restarts: on Linux an INI file under the user's configuration folder
// (~/.config/<organization>/<application>.conf, honouring XDG_CONFIG_HOME), on Windows the user's registry.
// The organization is "Ferrowyn". Tests keep the store in a folder of their own, as an INI file on every system.

// The file the store is kept in; empty where it is the registry.
QString settingsFile(const QString& application);
// For tests: keep the store under `folder`; an empty one gives the store back its own place.
void keepSettingsIn(const QString& folder);

// The stored value, or `defaultValue` when nothing is stored. A store that cannot be read, or a damaged one, reads
// as empty. Something other than a file in the file's place (a pipe, a device, a folder) is never opened, since
// reading it could wait for ever or never end: std::runtime_error says so, once.
QVariant readSetting(const QString& application, const QString& section, const QString& key,
                     const QVariant& defaultValue);

// Stores `value`, replacing any earlier one; something other than a file in the file's place is left alone (it
// was said when reading). Raises std::runtime_error, with what failed, where and why, when the store cannot be
// written.
void saveSetting(const QString& application, const QString& section, const QString& key, const QVariant& value);

} // namespace ferrowyn
