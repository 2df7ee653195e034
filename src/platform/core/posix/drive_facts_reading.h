#pragma once

#include "platform/core/drive_facts.h"

namespace ferrowyn {

// What the drive that holds the open file `fd` does with an overwrite, as the kernel and the file system's
// drivers tell it without special rights. Linux only.
DriveFacts driveFactsOf(int fd);

// False for a file of the kernel's own file systems (proc, sysfs, ...), whose files are views of its state and
// settings, not data on a device.
bool storesData(int fd);

} // namespace ferrowyn
