#pragma once

#include <cstdint>
#include <string>

namespace ferrowyn {

// What the OS tells of the drive that holds an open file, and of how the file lies on it, as far as an overwrite
// in place is concerned. The file channel gathers these; what they mean for the user is decided by the verdict.
struct DriveFacts {
    // The file system's name: on Linux the mount table's ("ext4", "fuse.sshfs"), or for a user-space driver the
    // file system it serves where that can be told ("ntfs", "exfat"), and for an overlay its upper layer's; on
    // Windows the volume's ("NTFS", "ReFS").
    std::string fileSystem;
    bool userSpaceDriver = false;     // served by a driver outside the kernel (FUSE), which shows no block map
    bool remote = false;              // marked by the OS as a network drive
    bool nameOnly = false;            // the name is all the OS says of it (Wine names every drive "NTFS")
    bool overlayLowerCopy = false;    // in an overlay whose lower layer holds a copy of the file
    bool journalsData = false;        // the file system keeps a copy of the file's data in its journal
    bool noCopyOnWrite = false;       // marked to be overwritten in place on a copy-on-write file system
    bool compressed = false;          // marked to be stored compressed
    bool encrypted = false;           // marked to be stored encrypted by the file system
    std::int64_t allocationUnit = 0;  // the bytes the file system allocates at a time; 0 when unknown
    std::int64_t allocatedBytes = -1; // what the file takes on the device now; -1 when unknown
};

} // namespace ferrowyn
