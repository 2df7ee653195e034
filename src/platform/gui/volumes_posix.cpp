#include "platform/core/failure_words.h"
#include "platform/core/file_error.h"
#include "platform/core/folder_listing.h"
#include "platform/gui/path_text.h"
#include "platform/gui/volumes.h"

#include <QFile>
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

Volume volumeOf(const QStorageInfo& storage) {
    const std::filesystem::path root = QFile::encodeName(storage.rootPath()).toStdString();
    return {root, shownText(root) + " [" + nameOf(storage) + "]"};
}

// True when `path` is `root` or lies under it, compared element by element ("/home" does not hold "/homes").
bool holds(const std::filesystem::path& root, const std::filesystem::path& path) {
    return std::mismatch(root.begin(), root.end(), path.begin(), path.end()).first == root.end();
}

} // namespace

QList<Volume> storageVolumes() {
    QList<Volume> volumes;
    const auto known = [&](const std::filesystem::path& root) {
        return std::any_of(volumes.begin(), volumes.end(), [&](const Volume& v) { return v.root == root; });
    };
    for (const QStorageInfo& storage : QStorageInfo::mountedVolumes()) {
        if (storage.isValid() && storage.isReady() && isUserVolume(storage) && !known(volumeOf(storage).root)) {
            volumes.append(volumeOf(storage));
        }
    }
    // "/" is always there, also where the mount table does not list it (a chroot).
    if (!known("/")) {
        volumes.append({"/", "/ [" + nameOf(QStorageInfo::root()) + "]"});
    }
    std::sort(volumes.begin(), volumes.end(), [](const Volume& a, const Volume& b) { return a.root < b.root; });
    return volumes;
}

std::filesystem::path volumeRootOf(const std::filesystem::path& path) {
    std::filesystem::path best = "/";
    for (const Volume& volume : storageVolumes()) {
        if (holds(volume.root, path) && volume.root.native().size() > best.native().size()) {
            best = volume.root;
        }
    }
    return best;
}

std::filesystem::path currentFolderOfDrive(const std::filesystem::path& root) {
    const QList<Volume> volumes = storageVolumes();
    const bool mounted =
        std::any_of(volumes.begin(), volumes.end(), [&](const Volume& v) { return v.root == root; });
    if (!mounted || !canListFolder(root)) {
        throw FileError(words::kCannotReachDrive, root, words::kNotMounted);
    }
    const std::filesystem::path working = workingFolder();
    return !working.empty() && volumeRootOf(working) == root ? working : root;
}

} // namespace ferrowyn
