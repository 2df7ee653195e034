#pragma once

#include "platform/core/file_channel.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

namespace ferrowyn {

// Receives "0%", "32%", ... after each block the pass has written.
using ProgressSink = std::function<void(const std::string& progressText)>;

inline constexpr std::int64_t kBlockSize = 32768;

// Destroys the file at `path`: opens it on `channel`, writes whole blocks of spaces over it from its first byte
// past its end, reporting the progress after each block, pushes the blocks to the storage device, closes the
// channel and deletes the file.
//
// The first failure stops the pass with a FileError. What was written stays written, progress already reported
// is not withdrawn, and the channel stays open if it was opened: closing it is the caller's business.
void overwritePass(const std::filesystem::path& path, FileChannel& channel, const ProgressSink& progress);

// The progress text for the block that starts at 1-based `position` of a file now `length` bytes long: the
// whole percentage, rounded down, followed by "%".
std::string progressText(std::int64_t position, std::int64_t length);

} // namespace ferrowyn
