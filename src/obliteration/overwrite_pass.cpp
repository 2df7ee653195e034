#include "obliteration/overwrite_pass.h"
#include "platform/core/failure_words.h"
#include "platform/core/file_error.h"

#include <algorithm>
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

// Asks the questions that apply before anything is written; false when the user chose not to go on.
bool userGoesOn(const FileChannel& channel, const PassQuestions& questions) {
    if (const int others = channel.otherNames(); others > 0 && !questions.goOnWithOtherNames(others)) {
        return false;
    }
    const std::string why = channel.whyOldContentsMayRemain();
    return why.empty() || questions.goOnWhereOldContentsMayRemain(why);
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

PassResult overwritePass(const ChosenFile& file, FileChannel& channel, const ProgressSink& progress,
                         const PassQuestions& questions) {
    const auto& spaces = fill();
    channel.open(file);
    if (!userGoesOn(channel, questions)) {
        channel.close();
        return {PassOutcome::Declined, {}};
    }
    channel.lockForWriting();
    const std::int64_t end = channel.length();
    const auto data = channel.dataRanges(end);
    const auto fail = [&](const char* reason) { throw FileError(words::kCannotObliterate, file.path(), reason); };
    // Positions count from 1. Every block is whole, so the last one runs past the old end and the file grows to
    // a whole number of blocks: no byte of the old contents is left behind in a partial block.
    std::int64_t reach = end; // the file's length while nobody else changes it
    auto range = data.begin();
    for (std::int64_t position = 1; position <= end; position += kBlockSize) {
        const std::int64_t offset = position - 1;
        while (range != data.end() && range->end <= offset) {
            ++range;
        }
        if (range == data.end() || range->begin >= offset + kBlockSize) {
            continue; // a hole: nothing of the old contents lies there
        }
        if (offset + kBlockSize <= end) {
            channel.writeAt(offset, spaces);
        } else {
            // The last block runs past the old end as far as the device has room; the old bytes must all fit.
            const auto fitted = static_cast<std::int64_t>(channel.writeWhatFits(offset, spaces));
            if (offset + fitted < end) {
                channel.writeAt(offset + fitted,
                                std::span(spaces).first(static_cast<std::size_t>(end - offset - fitted)));
            }
            reach = std::max(end, offset + fitted);
        }
        const std::int64_t length = channel.length();
        if (length < reach) {
            fail(words::kCutShort);
        }
        progress(progressText(position, length));
    }
    // Flush once before closing: a delete can discard writes that are still only in the OS's cache, which would
    // leave the old contents on the device.
    channel.flush();
    const std::int64_t length = channel.length();
    if (length < reach) {
        fail(words::kCutShort);
    }
    // Whatever another program added meanwhile is past the spaces and would survive the delete on the device.
    if (length > reach) {
        fail(words::kGrew);
    }
    std::string whyOldContentsMayRemain = channel.whyOldContentsMayRemainNow(end);
    channel.closeAndDelete();
    if (whyOldContentsMayRemain.empty()) {
        return {PassOutcome::Obliterated, {}};
    }
    return {PassOutcome::OldContentsMayRemain, std::move(whyOldContentsMayRemain)};
}

} // namespace ferrowyn
