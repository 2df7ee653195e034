#pragma once

#include "platform/core/block_map.h"

#include <string>

namespace ferrowyn {

// What the file system that holds an open file does with an overwrite, as far as obliterating is concerned.
// Linux only.
struct FileSystemFacts : DriveKind {
    // False for the kernel's own file systems (proc, sysfs, ...), whose files are settings, not stored data.
    bool storesData = true;
    // The file system's name as the mount table has it ("ext4", "fuse.sshfs").
    std::string type;
};

FileSystemFacts fileSystemOf(int fd);

} // namespace ferrowyn
