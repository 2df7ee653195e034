#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>

namespace ferrowyn {

// Queries by name, made at the moment they are asked; each raises FileError when the file cannot be reached.

// The file's length in bytes.
std::int64_t fileLength(const std::filesystem::path& path);

// The file's last-modification time. Showing it as text is the window's business.
std::chrono::system_clock::time_point fileModified(const std::filesystem::path& path);

} // namespace ferrowyn
