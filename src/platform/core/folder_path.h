#pragma once

#include <filesystem>
#include <type_traits>
#include <vector>

namespace ferrowyn {

// Windows keeps a path as UTF-16 text, whose names it compares without case; Linux as bytes.
inline constexpr bool kWidePaths = std::is_same_v<std::filesystem::path::value_type, wchar_t>;

// Paths of folders as the lists keep them. All of it is about the path alone, except nearestListableFolder and
// reachedFolder, which ask the file system.

// A folder path as the lists keep it: absolute, cleaned, with the system's own separators and no trailing
// separator except at a volume's root ("/", "C:\"). Raises FileError for a relative path when the working folder
// is gone.
std::filesystem::path normalFolderPath(const std::filesystem::path& path);

// The process's working folder, or an empty path when it has been deleted.
std::filesystem::path workingFolder();

// True when `path` is `folder` or lies under it, compared element by element ("/home" does not hold "/homes"), and
// on Windows without case.
bool isWithin(const std::filesystem::path& path, const std::filesystem::path& folder);

// The folders from `root` down to `folder`, both included: "/", "/home", "/home/ann". `folder` lies within `root`.
std::vector<std::filesystem::path> chainOfFolders(const std::filesystem::path& root,
                                                  const std::filesystem::path& folder);

// The folder that `folder` leads to, as the system reaches it when it opens the path: on Linux every link and
// ".." followed as the kernel follows them, one name after the other (so "link/.." is the folder above the link's
// target, not the one holding the link), giving the folder's own path; on Windows, whose path rules take ".." by
// the text before anything is opened, normalFolderPath. Raises FileError when it cannot be reached.
std::filesystem::path reachedFolder(const std::filesystem::path& folder);

// `folder` when it can be listed, else the nearest folder above it that can; empty when not even its root can
// (its drive is gone).
std::filesystem::path nearestListableFolder(const std::filesystem::path& folder);

} // namespace ferrowyn
