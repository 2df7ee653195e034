#pragma once

#include <string>

namespace ferrowyn {

// What the file system that holds an open file does with an overwrite, as far as obliterating is concerned.
struct FileSystemKind {
    // False for the kernel's own file systems (proc, sysfs, ...), whose files are settings, not stored data.
    bool storesData = true;
    // The name of a file system that writes changes to new places and keeps the old blocks ("btrfs"), or empty.
    std::string copyOnWrite;
};

// The file system behind an open descriptor. One that cannot be asked counts as an ordinary file system: the
// writes that follow meet the real trouble.
FileSystemKind fileSystemOf(int fd);

} // namespace ferrowyn
