#include "platform/core/folder_listing.h"

namespace ferrowyn {

std::filesystem::path nearestListableFolder(const std::filesystem::path& folder) {
    std::filesystem::path nearest = folder;
    while (!canListFolder(nearest) && nearest.has_relative_path()) {
        nearest = nearest.parent_path();
    }
    return nearest;
}

} // namespace ferrowyn
