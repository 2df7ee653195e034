#pragma once

#include <QString>
#include <filesystem>

namespace ferrowyn {

// Paths cross between the window (QString, with the platform's own separators) and the file services
// (std::filesystem::path) through these two functions only.
std::filesystem::path toFsPath(const QString& path);
QString toQString(const std::filesystem::path& path);

// The platform's folder separator: "/" on Linux, "\" on Windows.
QChar folderSeparator();

// A folder path as the folder and file lists keep it: absolute, cleaned, with the platform's separators and no
// trailing separator except at a volume's root ("/", "c:\").
QString normalFolderPath(const QString& path);

} // namespace ferrowyn
