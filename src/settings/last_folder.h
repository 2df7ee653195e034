#pragma once

#include <QString>

namespace ferrowyn {

// The one value Ferrowyn remembers: the folder the file list showed when the window was closed. It is stored
// exactly as given, without checking it or touching its separators.

QString readLastFolder(const QString& defaultFolder);
void saveLastFolder(const QString& folder);

} // namespace ferrowyn
