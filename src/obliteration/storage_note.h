#pragma once

#include "platform/core/storage.h"

#include <string>

namespace ferrowyn {

// What the storage under a file means for its old contents, as far as its facts show it.
enum class StorageKind {
    Plain,       // a spinning disk, or nothing known: nothing to add
    Flash,       // all or part of the drive is flash storage
    UsbDrive,    // a USB drive of which nothing more is known
    VirtualDisk, // all or part of the drive is a virtual machine's disk
};

StorageKind storageKind(const StorageFacts& facts);

// One or two sentences on what this drive may keep of a file's old contents beyond any program's reach, to
// follow the outcome of an obliteration; empty for a spinning disk and where nothing is known.
std::string storageNote(const StorageFacts& facts);

} // namespace ferrowyn
