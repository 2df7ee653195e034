#pragma once

#include <QString>

namespace ferrowyn {

// The per-user settings store, kept across restarts: on Linux an INI file under the user's configuration folder
// (~/.config/<organization>/<application>.conf, honouring XDG_CONFIG_HOME), on Windows the user's registry.
// The organization is "Ferrowyn".

// The stored text, or `defaultValue` when nothing is stored.
QString readSetting(const QString& application, const QString& section, const QString& key,
                    const QString& defaultValue);

// Stores `value`, replacing any earlier one. Raises std::runtime_error when the store cannot be written.
void saveSetting(const QString& application, const QString& section, const QString& key, const QString& value);

} // namespace ferrowyn
