#pragma once

#include <QString>
#include <filesystem>

namespace ferrowyn {

// The one place where a path becomes text, to be shown; a path is never made back from it.
QString shownText(const std::filesystem::path& path);

// `text` with places to break a line inside long runs without spaces (a path, a long name), so that a label or a
// box wraps it instead of cutting it at its edge. Only for what is painted: the text itself stays as it was.
QString breakable(const QString& text);

// A folder path as the lists keep it: absolute, cleaned, with the platform's own separators and no trailing
// separator except at a volume's root ("/", "C:\"). Raises FileError for a relative path when the working folder
// is gone.
std::filesystem::path normalFolderPath(const std::filesystem::path& path);

// The process's working folder, or an empty path when it has been deleted.
std::filesystem::path workingFolder();

} // namespace ferrowyn
