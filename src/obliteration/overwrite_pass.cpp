#include "obliteration/overwrite_pass.h"
#include "obliteration/storage_note.h"
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
bool userGoesOn(const OpenedFile& opened, const Verdict& foreseen, const PassQuestions& questions) {
    if (opened.otherNames > 0 && !questions.goOnWithOtherNames(opened.otherNames, opened.otherNamesFound)) {
        return false;
    }
    if (foreseen.remains != Remains::Nowhere && !questions.goOnWhereOldContentsMayRemain(wordsFor(foreseen))) {
        return false;
    }
    // Those that hold a lock were refused already, and those that hold a lease are when the file is opened for
    // writing.
    auto others = opened.holders;
    std::erase_if(others, [](const FileHolder& holder) { return holder.locks || holder.leases; });
    return others.empty() || questions.goOnWhileOthersHaveItOpen(others);
}

// Writes the last block, which starts at `offset` before the old end `end` and runs past it: to a whole block,
// and on, where the file system allocates more than a block at a time, to the end of its allocation unit, so
// that no part of the file's last unit keeps older bytes. Past the old end it writes only as far as the device
// has room; the old bytes must all be covered. Returns where the spaces end.
std::int64_t writeLastBlock(FileChannel& channel, std::int64_t offset, std::int64_t end, std::int64_t unit) {
    const auto& spaces = fill();
    const std::int64_t wanted =
        std::max(offset + kBlockSize, unit > kBlockSize ? (end + unit - 1) / unit * unit : 0);
    std::int64_t at = offset;
    while (at < wanted) {
        const auto piece = std::span(spaces).first(static_cast<std::size_t>(std::min(kBlockSize, wanted - at)));
        const auto fitted = static_cast<std::int64_t>(channel.writeWhatFits(at, piece));
        at += fitted;
        if (fitted < static_cast<std::int64_t>(piece.size())) {
            break;
        }
    }
    if (at < end) {
        channel.writeAt(at, std::span(spaces).first(static_cast<std::size_t>(end - at)));
        at = end;
    }
    return at;
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
    const OpenedFile& opened = channel.opened();
    if (!userGoesOn(opened, verdictBefore(opened.drive, opened.mapBefore, file.length), questions)) {
        channel.close();
        return {PassOutcome::Declined, {}, {}, {}};
    }
    channel.openForWriting();
    // The length the user was shown, which the channel has just found unchanged: the writes and the comparison
    // of the block maps are planned from it, never from a length another program may have set since.
    const std::int64_t end = file.length;
    const auto data = channel.rangesToOverwrite(end);
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
        if (offset + kBlockSize < end) {
            channel.writeAt(offset, spaces);
        } else {
            reach = std::max(end, writeLastBlock(channel, offset, end, opened.drive.allocationUnit));
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
    const auto attachments = channel.overwriteAttachments();
    const Verdict verdict = verdictAfter(opened.drive, opened.mapBefore, channel.blockMapNow(), end, attachments);
    if (verdict.cutShort) {
        fail(words::kCutShort);
    }
    std::string note = storageNote(opened.storage);
    channel.closeAndDelete();
    if (verdict.remains == Remains::Nowhere) {
        return {PassOutcome::Obliterated, verdict, {}, std::move(note)};
    }
    return {PassOutcome::OldContentsMayRemain, verdict, wordsFor(verdict), std::move(note)};
}

} // namespace ferrowyn
