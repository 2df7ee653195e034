#pragma once

#include "platform/core/block_map.h"
#include "platform/core/file_channel.h"

#include <optional>
#include <windows.h>

namespace ferrowyn {

// Where the clusters of an open file lie on its volume, in bytes; nothing when the file system cannot tell. A
// small file kept inside the file system's own records (NTFS's master file table) has no clusters and shows as
// inline. Windows only.
std::optional<BlockMap> readBlockMap(HANDLE file, std::int64_t bytesPerCluster);

// The parts of the first `end` bytes of a sparse file that hold data; nothing when the file system cannot tell.
std::optional<std::vector<ByteRange>> allocatedRanges(HANDLE file, std::int64_t end);

} // namespace ferrowyn
