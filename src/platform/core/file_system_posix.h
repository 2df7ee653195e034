#pragma once

#include <string>

namespace ferrowyn {

// What the file system that holds an open file does with an overwrite, as far as obliterating is concerned.
// Linux only.
struct FileSystemFacts {
    // False for the kernel's own file systems (proc, sysfs, ...), whose files are settings, not stored data.
    bool storesData = true;
    // The file system's name as the mount table has it ("ext4", "fuse.sshfs").
    std::string type;
    // Why copies of the old contents may stay elsewhere whatever the file's block map says: on a network
    // drive, in an overlay's lower layer, in a journal of the data. Empty when none is known.
    std::string whyCopiesMayStayElsewhere;
    // Why an overwrite is expected to land in new places (btrfs, unless the file is marked no-copy-on-write),
    // or empty. The block map after the overwrite has the last word where it can be read.
    std::string whyWritesGoElsewhere;
    // Where the block map cannot be read: why the old contents may remain (a file system that writes to new
    // places, or one we know nothing of), or empty for one known to overwrite in place.
    std::string whyWithoutBlockMap;
};

FileSystemFacts fileSystemOf(int fd);

} // namespace ferrowyn
