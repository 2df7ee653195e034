#pragma once

#include "platform/core/folder_listing.h"

#include <cstdint>
#include <vector>

namespace ferrowyn {

// The order in which the lists show `names`: by their shown texts without regard to case (ties in a fixed order),
// as the places in `names` of the first name shown, the second, and so on. Two names that read alike stay two
// entries, each with its own name.
std::vector<std::uint32_t> sortedForShowing(const NameList& names);

} // namespace ferrowyn
