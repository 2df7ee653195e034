#pragma once

#include <QString>
#include <filesystem>

namespace ferrowyn {

// The one place where a path becomes text, to be shown; a path is never made back from it.
QString shownText(const std::filesystem::path& path);

// A folder path as the lists keep it: absolute, cleaned, with the platform's own separators and no trailing
// separator except at a volume's root ("/", "C:\"). Raises FileError for a relative path when the working folder
// is gone.
std::filesystem::path normalFolderPath(const std::filesystem::path& path);

// The process's working folder, or an empty path when it has been deleted.
std::filesystem::path workingFolder();

} // namespace ferrowyn
