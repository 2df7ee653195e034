#pragma once

#include "platform/core/block_map.h"
#include "platform/core/file_channel.h"

#include <optional>
#include <windows.h>

namespace ferrowyn {

// Where the clusters of an open file (or of one of its streams) lie on its volume, in bytes; nothing when the
// file system cannot tell, or tells a map that does not start at the file's first cluster, go on from extent to
// extent and cover its length. A small file kept inside the file system's own records (NTFS's master file
// table) has no clusters and shows as inline. Windows only.
std::optional<BlockMap> readBlockMap(HANDLE file, std::int64_t bytesPerCluster);

// The parts of the first `end` bytes of a file that have space on the device; nothing when the file system cannot
// tell. Asked of every file: Wine never marks a file sparse, and a file marked so on Windows is asked anyway.
std::optional<std::vector<ByteRange>> allocatedRanges(HANDLE file, std::int64_t end);

} // namespace ferrowyn
