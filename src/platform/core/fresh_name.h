#pragma once

#include <filesystem>

namespace ferrowyn {

// A name nobody chose, as long as `name` (so that it takes the same room in its folder), of letters and digits
// that every file system of both systems takes: the name a file is given just before it is deleted.
std::filesystem::path freshNameLike(const std::filesystem::path& name);

} // namespace ferrowyn
