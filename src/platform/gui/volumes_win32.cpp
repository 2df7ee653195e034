#include "platform/core/file_error.h"
#include "platform/gui/path_text.h"
#include "platform/gui/volumes.h"
#include "platform/core/windows_drives.h"

namespace ferrowyn {
namespace {

[[noreturn]] void driveGone(const QString& designatorOrPath) {
    throw FileError("Cannot reach the drive %1", toFsPath(designatorOrPath), "there is no such drive");
}

} // namespace

QList<Volume> storageVolumes() {
    QList<Volume> volumes;
    for (const WindowsDrive& drive : windowsDrives()) {
        const QString root = QString::fromStdWString(drive.root);
        QString designator = root.left(2).toLower();
        if (!drive.label.empty()) {
            designator += " [" + QString::fromStdWString(drive.label) + "]";
        }
        volumes.append({root, designator});
    }
    return volumes;
}

QString volumeRootOf(const QString& designatorOrPath) {
    // A designator and a path alike start with the drive's letter.
    if (designatorOrPath.size() < 2 || designatorOrPath.at(1) != ':' || !designatorOrPath.at(0).isLetter()) {
        driveGone(designatorOrPath);
    }
    const QString root = designatorOrPath.left(1).toUpper() + ":\\";
    for (const Volume& volume : storageVolumes()) {
        if (volume.root == root) {
            return root;
        }
    }
    driveGone(designatorOrPath);
}

QString currentFolderOfDrive(const QString& designatorOrPath) {
    const QString root = volumeRootOf(designatorOrPath);
    return normalFolderPath(QString::fromStdWString(currentFolderOfDriveLetter(root.at(0).unicode())));
}

} // namespace ferrowyn
