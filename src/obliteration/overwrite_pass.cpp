#include "obliteration/overwrite_pass.h"
#include "platform/core/file_error.h"

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

PassOutcome overwritePass(const ChosenFile& file, FileChannel& channel, const ProgressSink& progress,
                          const GoOnQuestion& goOnWhereOldContentsMayRemain) {
    const auto& spaces = fill();
    channel.open(file);
    const std::string oldContentsMayRemain = channel.whyOldContentsMayRemain();
    if (!oldContentsMayRemain.empty() && !goOnWhereOldContentsMayRemain(oldContentsMayRemain)) {
        channel.close();
        return PassOutcome::Declined;
    }
    const std::int64_t end = channel.length();
    // Positions count from 1. Every block is whole, so the last one runs past the old end and the file grows to
    // a whole number of blocks: no byte of the old contents is left behind in a partial block.
    std::int64_t written = 0;
    for (std::int64_t position = 1; position <= end; position += kBlockSize) {
        channel.writeAt(position - 1, spaces);
        written = position - 1 + kBlockSize;
        progress(progressText(position, channel.length()));
    }
    // Whatever another program added meanwhile is past the spaces and would survive the delete on the device.
    if (channel.length() > written) {
        throw FileError("Cannot obliterate %1", file.path(), "another program added to it while it was overwritten");
    }
    // Flush once before closing: a delete can discard writes that are still only in the OS's cache, which would
    // leave the old contents on the device.
    channel.flush();
    channel.closeAndDelete();
    return oldContentsMayRemain.empty() ? PassOutcome::Obliterated : PassOutcome::OldContentsMayRemain;
}

} // namespace ferrowyn
