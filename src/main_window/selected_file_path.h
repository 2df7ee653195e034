#pragma once

#include <QString>

namespace ferrowyn {

// The full path of a file in a folder: the folder, one separator of the platform's unless the folder already
// ends with one (a volume's root), then the name.
QString joinFolderAndFile(const QString& folder, const QString& fileName);

} // namespace ferrowyn
