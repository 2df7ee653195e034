#pragma once

#include "platform/core/posix/mount_table.h"

#include <filesystem>
#include <optional>
#include <vector>

namespace ferrowyn {

// The folders an overlay is made of, from its mount options. Linux only.
struct OverlayLayers {
    std::filesystem::path upper;
    std::vector<std::filesystem::path> lowers; // topmost first
};

// Missing where the options do not say (an overlay made in a way this reader does not know).
std::optional<OverlayLayers> overlayLayersOf(const Mount& overlay);

// True when a lower layer holds an entry at `within`, the file's path inside the overlay, or when that cannot be
// told: then the lower layer may keep the original.
bool lowerLayerHolds(const OverlayLayers& layers, const std::filesystem::path& within);

} // namespace ferrowyn
