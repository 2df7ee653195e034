#pragma once

#include <filesystem>

namespace ferrowyn {

// The one value Ferrowyn remembers: the folder the file list showed when the window was closed. It is stored
// exactly as given, without checking it or touching its separators: as text, or on Linux, for a name that is
// not UTF-8, as its bytes.

std::filesystem::path readLastFolder(const std::filesystem::path& defaultFolder);
void saveLastFolder(const std::filesystem::path& folder);

} // namespace ferrowyn
