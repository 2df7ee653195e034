#include "platform/core/file_error.h"
#include "platform/gui/path_text.h"
#include "platform/gui/volumes.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>
#include <algorithm>

namespace ferrowyn {
namespace {

// Mounts that hold the system's own machinery or a packaged image, rather than a user's files.
bool isUserVolume(const QStorageInfo& storage) {
    const QString root = storage.rootPath();
    if (root == "/") {
        return true;
    }
    for (const char* system : {"/proc", "/sys", "/dev", "/run", "/snap", "/boot", "/var/lib"}) {
        const QString prefix = QString::fromLatin1(system);
        if (root == prefix || root.startsWith(prefix + '/')) {
            // Removable media are mounted under /run/media/<user> on some systems.
            if (!root.startsWith("/run/media/")) {
                return false;
            }
        }
    }
    // Packaged application images are read-only mounts of their own; bind-mounted single files are no volume.
    return storage.fileSystemType() != "squashfs" && QFileInfo(root).isDir();
}

QString nameOf(const QStorageInfo& storage) {
    if (!storage.name().isEmpty()) {
        return storage.name();
    }
    const QString device = QString::fromLocal8Bit(storage.device());
    return device.startsWith("/dev/") ? QFileInfo(device).fileName() : device;
}

bool holds(const QString& root, const QString& path) {
    return path == root || path.startsWith(root.endsWith('/') ? root : root + '/');
}

[[noreturn]] void volumeGone(const QString& designatorOrPath) {
    throw FileError("Cannot reach the drive %1", toFsPath(designatorOrPath), "it is not mounted");
}

} // namespace

QList<Volume> storageVolumes() {
    QList<Volume> volumes;
    for (const QStorageInfo& storage : QStorageInfo::mountedVolumes()) {
        if (storage.isValid() && storage.isReady() && isUserVolume(storage)) {
            const QString root = storage.rootPath();
            if (std::none_of(volumes.begin(), volumes.end(), [&](const Volume& v) { return v.root == root; })) {
                volumes.append({root, root + " [" + nameOf(storage) + "]"});
            }
        }
    }
    if (std::none_of(volumes.begin(), volumes.end(), [](const Volume& v) { return v.root == "/"; })) {
        volumes.append({"/", "/ [" + nameOf(QStorageInfo::root()) + "]"});
    }
    std::sort(volumes.begin(), volumes.end(), [](const Volume& a, const Volume& b) { return a.root < b.root; });
    return volumes;
}

QString volumeRootOf(const QString& designatorOrPath) {
    const QList<Volume> volumes = storageVolumes();
    for (const Volume& volume : volumes) {
        if (volume.designator == designatorOrPath) {
            return volume.root;
        }
    }
    // A designator of a volume that has since been unmounted.
    if (designatorOrPath.endsWith(']') && designatorOrPath.contains(" [")) {
        volumeGone(designatorOrPath);
    }
    const QString path = normalFolderPath(designatorOrPath);
    QString best;
    for (const Volume& volume : volumes) {
        if (holds(volume.root, path) && volume.root.size() > best.size()) {
            best = volume.root;
        }
    }
    if (best.isEmpty()) {
        volumeGone(designatorOrPath);
    }
    return best;
}

QString currentFolderOfDrive(const QString& designatorOrPath) {
    const QString root = volumeRootOf(designatorOrPath);
    const QString workingFolder = QDir::currentPath(); // empty when it has been deleted
    if (workingFolder.isEmpty()) {
        return root;
    }
    const QString folder = normalFolderPath(workingFolder);
    return volumeRootOf(folder) == root ? folder : root;
}

} // namespace ferrowyn
