#pragma once

#include <filesystem>

namespace ferrowyn {

// The one value Ferrowyn remembers: the folder the file list showed when the window was closed. It is stored
// exactly as given, without checking it or touching its separators: as text, or on Linux, for a name that is
// not UTF-8, as its bytes.

// The stored folder, or `defaultFolder` when none is stored or the stored value is not a plain folder path: an
// absolute path in the form the lists keep (no "." or "..", no doubled or trailing separator), nothing else.
// Raises std::runtime_error, saying why, when the store cannot be read without waiting (see readSetting).
std::filesystem::path readLastFolder(const std::filesystem::path& defaultFolder);
void saveLastFolder(const std::filesystem::path& folder);

} // namespace ferrowyn
