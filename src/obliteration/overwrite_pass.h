#pragma once

#include "obliteration/verdict.h"
#include "platform/core/chosen_file.h"
#include "platform/core/file_channel.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace ferrowyn {

// Receives "0%", "32%", ... after each block the pass has written.
using ProgressSink = std::function<void(const std::string& progressText)>;

// What the pass asks once the file is open and before anything is written; true to go on.
struct PassQuestions {
    // The file's contents also belong to `otherNames` other names, which will hold only spaces afterwards;
    // `found` are those of them in the same folder.
    std::function<bool(int otherNames, const std::vector<std::filesystem::path>& found)> goOnWithOtherNames;
    // Overwriting the file in place may leave its old contents on the device; `reason` says why.
    std::function<bool(const std::string& reason)> goOnWhereOldContentsMayRemain;
    // Other programs have the file open without a lock (or have it mapped into their memory): any of them may
    // write its old contents back afterwards. Asked last.
    std::function<bool(const std::vector<FileHolder>& holders)> goOnWhileOthersHaveItOpen;
};

enum class PassOutcome {
    Obliterated,          // overwritten where the old contents lay, pushed to the device and deleted
    OldContentsMayRemain, // overwritten and deleted, but the device may keep the old contents elsewhere
    Declined,             // the user chose not to go on: nothing was written and the channel is closed
};

struct PassResult {
    PassOutcome outcome = PassOutcome::Declined;
    Verdict verdict;
    std::string whyOldContentsMayRemain; // with OldContentsMayRemain: the verdict in the user's words
    std::string storageNote;             // what the drive itself may keep beyond any program's reach, or empty
};

inline constexpr std::int64_t kBlockSize = 32768;

// Destroys the chosen file: opens it on `channel`, writes whole blocks of spaces over it from its first byte
// past its end (the holes of a sparse file hold nothing and are passed over), reporting the progress after each
// block, pushes the blocks to the storage device, overwrites what the file carries besides its contents, checks
// where it all landed, closes the channel and deletes the file. It writes the length the user was shown: a file
// that changed since is refused before the first write.
//
// The first failure stops the pass with a FileError. What was written stays written, progress already reported
// is not withdrawn, and the channel stays open if it was opened: closing it is the caller's business.
PassResult overwritePass(const ChosenFile& file, FileChannel& channel, const ProgressSink& progress,
                         const PassQuestions& questions);

// The progress text for the block that starts at 1-based `position` of a file now `length` bytes long: the
// whole percentage, rounded down, followed by "%".
std::string progressText(std::int64_t position, std::int64_t length);

} // namespace ferrowyn
