#include "obliteration/overwrite_pass.h"

#include <array>
#include <cmath>

namespace ferrowyn {
namespace {

constexpr std::byte kSpace{0x20};

// The fill is made once, for every block of every pass.
const std::array<std::byte, kBlockSize>& fill() {
    static const auto spaces = [] {
        std::array<std::byte, kBlockSize> block{};
        block.fill(kSpace);
        return block;
    }();
    return spaces;
}

} // namespace

std::string progressText(std::int64_t position, std::int64_t length) {
    // The length is at least one block once a block is written, unless another program cut the file short
    // meanwhile; a length of nothing must not divide by zero.
    if (length <= 0) {
        return "0%";
    }
    const double percent = std::floor(static_cast<double>(position) / static_cast<double>(length) * 100.0);
    return std::to_string(static_cast<std::int64_t>(percent)) + "%";
}

void overwritePass(const std::filesystem::path& path, FileChannel& channel, const ProgressSink& progress) {
    const auto& spaces = fill();
    channel.open(path);
    const std::int64_t end = channel.length();
    // Positions count from 1. Every block is whole, so the last one runs past the old end and the file grows to
    // a whole number of blocks: no byte of the old contents is left behind in a partial block.
    for (std::int64_t position = 1; position <= end; position += kBlockSize) {
        channel.writeAt(position - 1, spaces);
        const std::int64_t length = channel.length();
        progress(progressText(position, length));
    }
    // Flush once before closing: a delete can discard writes that are still only in the OS's cache, which would
    // leave the old contents on the device.
    channel.flush();
    channel.close();
    deleteFile(path);
}

} // namespace ferrowyn
