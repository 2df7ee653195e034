#pragma once

#include "platform/core/file_holders.h"

#include <filesystem>
#include <vector>

namespace ferrowyn {

// The other programs that have the file open, in the order of their process ids; none where the system cannot
// tell. Never fails.
// Those of the open file `fd` among the user's own processes (every process for root), found through
// /proc/*/fd and, for a program that mapped the file into its memory and closed it since, /proc/*/maps; and any
// process that holds a lock or lease on it, found through /proc/locks.
std::vector<FileHolder> holdersOf(int fd);

} // namespace ferrowyn
