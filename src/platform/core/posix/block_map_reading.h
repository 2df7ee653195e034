#pragma once

#include "platform/core/block_map.h"

#include <optional>

namespace ferrowyn {

// The block map of an open file; nothing when the file system cannot tell. With `flushFirst`, what is cached is
// pushed to the device first, so that every byte has its place; without, the map shows where the device has
// the bytes now. Linux only.
std::optional<BlockMap> readBlockMap(int fd, bool flushFirst);

} // namespace ferrowyn
