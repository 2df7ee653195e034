#pragma once

#include "platform/core/storage.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace ferrowyn {

// Reading the storage under a file on Linux.

// The storage under an open file: a leaf is Unknown where it cannot be read, and there are none where nothing
// can. Needs no special rights and never fails.
StorageFacts storageUnder(int fd);

// Where a file lies: the device it is on (st_dev) and the mount that holds it. For a device node, the device it
// is, with no mount.
struct DevicePlace {
    unsigned major = 0;
    unsigned minor = 0;
    std::string mountSource;  // "/dev/vda2"
    std::string mountOptions; // the file system's own options: "rw,discard"
};
// The place of the file at a path (a loop device's backing file, a mount's source device), or nothing.
using PlaceOfPath = std::function<std::optional<DevicePlace>(const std::filesystem::path&)>;

// The storage under a file at `place`, read from the kernel's tree of block devices under `sysRoot` ("/sys"):
// a partition leads to its whole disk, device-mapper and md devices through slaves/ to each of theirs, a loop
// device to the storage of its backing file, found with `placeOf`. A device number the kernel made up for a
// file system (major 0: a btrfs subvolume) stands for the mount's source device.
StorageFacts readStorage(const std::filesystem::path& sysRoot, const DevicePlace& place,
                         const PlaceOfPath& placeOf);

} // namespace ferrowyn
