#pragma once

#include "platform/core/posix/mount_table.h"

#include <filesystem>
#include <string>

namespace ferrowyn {

// What a mount served by a user-space driver (FUSE) holds, as far as it can be told without special rights.
// Linux only.
struct ServedFileSystem {
    std::string type;                  // "ntfs", "exfat", "vfat"; empty when it cannot be told
    std::filesystem::path boundFolder; // for a driver that shows another folder as it is (bindfs): that folder
};

// `fd` is a file open on the mount, at `within` inside it.
ServedFileSystem fileSystemServedBy(const Mount& mount, int fd, const std::filesystem::path& within);

// The file system whose first sectors are `head` (at least 4 KiB of a device), as its signature says: "ntfs",
// "exfat", "vfat", or empty.
std::string fileSystemBySignature(const std::string& head);

} // namespace ferrowyn
