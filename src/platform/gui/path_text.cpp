#include "platform/gui/path_text.h"

#include <QDir>
#include <QFile>
#include <type_traits>

namespace ferrowyn {

std::filesystem::path toFsPath(const QString& path) {
    if constexpr (std::is_same_v<std::filesystem::path::value_type, wchar_t>) {
        return std::filesystem::path(path.toStdWString());
    } else {
        // The file system's own encoding, as Qt itself uses for file names.
        return std::filesystem::path(QFile::encodeName(path).toStdString());
    }
}

QString toQString(const std::filesystem::path& path) {
    if constexpr (std::is_same_v<std::filesystem::path::value_type, wchar_t>) {
        return QString::fromStdWString(path.wstring());
    } else {
        return QFile::decodeName(QByteArray::fromStdString(path.string()));
    }
}

QChar folderSeparator() {
    return QDir::separator();
}

QString normalFolderPath(const QString& path) {
    return QDir::toNativeSeparators(QDir::cleanPath(QDir(path).absolutePath()));
}

} // namespace ferrowyn
