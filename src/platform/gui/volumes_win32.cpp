#include "platform/core/windows_drives.h"
#include "platform/gui/path_text.h"
#include "platform/gui/volumes.h"

#include <cwctype>

namespace ferrowyn {

QList<Volume> storageVolumes() {
    QList<Volume> volumes;
    for (const WindowsDrive& drive : windowsDrives()) {
        QString shown = QString::fromStdWString(drive.root).left(2).toLower();
        if (!drive.label.empty()) {
            shown += " [" + QString::fromStdWString(drive.label) + "]";
        }
        volumes.append({drive.root, shown});
    }
    return volumes;
}

std::filesystem::path volumeRootOf(const std::filesystem::path& path) {
    // "C:\" for a drive, with the letter as the drive list writes it; "\\server\share\" for a network share.
    std::wstring root = path.root_path().native();
    if (root.size() >= 2 && root[1] == L':') {
        root[0] = static_cast<wchar_t>(std::towupper(root[0]));
    }
    return root;
}

std::filesystem::path currentFolderOfDrive(const std::filesystem::path& root) {
    return normalFolderPath(currentFolderOfDriveLetter(root.native().front()));
}

} // namespace ferrowyn
