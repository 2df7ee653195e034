#pragma once

#include "platform/core/block_map.h"

#include <optional>

namespace ferrowyn {

// The block map of an open file, with what is cached pushed to the device first so that every byte has its
// place; nothing when the file system cannot tell. Linux only.
std::optional<BlockMap> readBlockMap(int fd);

} // namespace ferrowyn
