#include "settings/last_folder.h"
#include "platform/core/folder_path.h"
#include "platform/widgets/settings_backend.h"

namespace ferrowyn {
namespace {

const QString kApplication = QStringLiteral("Ferrowyn");
const QString kSection = QStringLiteral("Settings");
const QString kKey = QStringLiteral("CurPath");

// Text when it is text, so that the store reads as it always has; bytes otherwise.
QVariant storedFormOf(const std::filesystem::path& folder) {
    if constexpr (kWidePaths) {
        return QString::fromStdWString(folder.wstring());
    } else {
        const QByteArray bytes = QByteArray::fromStdString(folder.string());
        const QString text = QString::fromUtf8(bytes);
        return text.toUtf8() == bytes ? QVariant(text) : QVariant(bytes);
    }
}

std::filesystem::path folderFrom(const QVariant& stored) {
    if constexpr (kWidePaths) {
        return stored.toString().toStdWString();
    } else {
        const QByteArray bytes =
            stored.typeId() == QMetaType::QByteArray ? stored.toByteArray() : stored.toString().toUtf8();
        return bytes.toStdString();
    }
}

bool isPlainFolderPath(const QVariant& stored, const std::filesystem::path& folder) {
    const auto type = stored.typeId();
    const auto& text = folder.native();
    // Windows's verbatim form (\\?\C:\...) is a way to write a path, not one the lists keep.
    const bool verbatim = kWidePaths && text.size() >= 4 && text[0] == '\\' && text[1] == '\\' && text[2] == '?';
    return (type == QMetaType::QString || type == QMetaType::QByteArray) && folder.is_absolute() && !verbatim &&
           text.find(std::filesystem::path::value_type()) == text.npos && normalFolderPath(folder) == folder;
}

} // namespace

std::filesystem::path readLastFolder(const std::filesystem::path& defaultFolder) {
    const QVariant stored = readSetting(kApplication, kSection, kKey, storedFormOf(defaultFolder));
    const auto folder = folderFrom(stored);
    return isPlainFolderPath(stored, folder) ? folder : defaultFolder;
}

void saveLastFolder(const std::filesystem::path& folder) {
    saveSetting(kApplication, kSection, kKey, storedFormOf(folder));
}

} // namespace ferrowyn
