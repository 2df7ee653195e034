#pragma once

#include "platform/core/file_holders.h"

#include <filesystem>
#include <vector>

namespace ferrowyn {

// The other programs that have the file open, in the order of their process ids; none where the system cannot
// tell. Never fails.
// Those the Restart Manager knows of the file at `path`: every program of every user that holds it open.
std::vector<FileHolder> holdersOf(const std::filesystem::path& path);

} // namespace ferrowyn
