#include "platform/core/volumes.h"
#include "platform/core/failure_words.h"
#include "platform/core/file_error.h"
#include "platform/core/folder_listing.h"
#include "platform/core/folder_path.h"
#include "platform/core/path_display.h"
#include "platform/core/posix/kernel_file_systems.h"
#include "platform/core/posix/mount_table.h"

#include <algorithm>
#include <string_view>

namespace ferrowyn {
namespace {

// Mounts of packaged images and of memory, not of a user's files (besides the kernel's own file systems).
constexpr std::string_view kImageTypes[] = {"squashfs", "ramfs"};
constexpr std::string_view kSystemFolders[] = {"/proc", "/sys", "/dev", "/run", "/snap", "/boot", "/var/lib"};

bool isUserVolume(const Mount& mount) {
    if (mount.mountPoint == "/") {
        return true;
    }
    const auto named = [&](std::string_view type) { return type == mount.type; };
    if (std::any_of(std::begin(kKernelFileSystems), std::end(kKernelFileSystems),
                    [&](const KernelFileSystem& kernel) { return named(kernel.name); }) ||
        std::any_of(std::begin(kImageTypes), std::end(kImageTypes), named)) {
        return false;
    }
    for (const std::string_view system : kSystemFolders) {
        // Removable media are mounted under /run/media/<user> on some systems.
        if (isWithin(mount.mountPoint, std::filesystem::path(system)) &&
            !isWithin(mount.mountPoint, "/run/media")) {
            return false;
        }
    }
    // A bind-mounted single file is no volume; nor is a mount that cannot be read.
    std::error_code error;
    return std::filesystem::is_directory(mount.mountPoint, error) && canListFolder(mount.mountPoint);
}

// The label a volume's device has (udev writes "\x20" for a space in its links), else the device's own name.
std::string labelOf(const Mount& mount) {
    std::error_code error;
    const auto device = std::filesystem::canonical(mount.source, error);
    for (const auto& link : std::filesystem::directory_iterator("/dev/disk/by-label", error)) {
        std::error_code other;
        if (!device.empty() && std::filesystem::canonical(link.path(), other) == device) {
            std::string label = link.path().filename().string();
            for (std::size_t at = label.find("\\x"); at != std::string::npos; at = label.find("\\x", at + 1)) {
                label.replace(at, 4, 1, static_cast<char>(std::stoi(label.substr(at + 2, 2), nullptr, 16)));
            }
            return label;
        }
    }
    return mount.source.rfind("/dev/", 0) == 0 ? std::filesystem::path(mount.source).filename().string()
                                               : mount.source;
}

} // namespace

std::vector<Volume> storageVolumes() {
    std::vector<Volume> volumes;
    for (const Mount& mount : readMountTable()) {
        if (!isUserVolume(mount)) {
            continue;
        }
        // A later mount on the same folder hides the earlier one.
        std::erase_if(volumes, [&](const Volume& v) { return v.root == mount.mountPoint; });
        volumes.push_back({mount.mountPoint, displayText(mount.mountPoint), labelOf(mount)});
    }
    // "/" is always there, also where the mount table does not list it (a chroot).
    if (std::none_of(volumes.begin(), volumes.end(), [](const Volume& v) { return v.root == "/"; })) {
        volumes.push_back({"/", "/", {}});
    }
    std::sort(volumes.begin(), volumes.end(), [](const Volume& a, const Volume& b) { return a.root < b.root; });
    return volumes;
}

std::filesystem::path volumeRootOf(const std::filesystem::path& path) {
    std::filesystem::path best = "/";
    for (const Volume& volume : storageVolumes()) {
        if (isWithin(path, volume.root) && volume.root.native().size() > best.native().size()) {
            best = volume.root;
        }
    }
    return best;
}

std::filesystem::path currentFolderOfDrive(const std::filesystem::path& root) {
    const auto volumes = storageVolumes();
    if (std::none_of(volumes.begin(), volumes.end(), [&](const Volume& v) { return v.root == root; })) {
        throw FileError(words::kCannotReachDrive, root, words::kNotMounted);
    }
    const std::filesystem::path working = workingFolder();
    return !working.empty() && volumeRootOf(working) == root ? working : root;
}

} // namespace ferrowyn
