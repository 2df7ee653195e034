#pragma once

#include "platform/core/attachment.h"
#include "platform/core/block_map.h"
#include "platform/core/drive_facts.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ferrowyn {

// Where the old contents of a file may still be on its device once it has been overwritten in place and deleted.
// This is the one place that decides between "File Obliterated Successfully" and "its old contents may remain",
// from the facts the file channel gathered; the words for each reason are in one table too (wordsFor).
enum class Remains {
    Nowhere,           // every old byte was overwritten where it lay
    SharedBlocks,      // its blocks belong to another file too (a copy that shares them)
    Moved,             // the spaces landed in new places, not where the old contents lay
    Inline,            // kept among the file system's own records
    MayBeInline,       // NTFS may keep a file this small in its own file table
    Compressed,        // stored compressed
    Encrypted,         // stored encrypted by the file system
    Journalled,        // the file system keeps a copy of the data in its journal
    OverlayLowerLayer, // an overlay's lower layer keeps the original
    NetworkDrive,      // the server decides what it keeps
    WritesToNewPlaces, // a copy-on-write or log-structured file system
    CannotTell,        // a file system Ferrowyn knows nothing of
    AttachmentKept,    // what the file carries besides its contents was not overwritten in place
};

struct Verdict {
    Remains remains = Remains::Nowhere;
    std::string fileSystem; // named in the words of some reasons
    std::string attachment; // with AttachmentKept: which one
    std::string detail;     // with AttachmentKept: why, in the OS's or the verdict's words
    // After the overwrite: some of the old contents no longer belong to the file, so they were not overwritten.
    bool cutShort = false;

    friend bool operator==(const Verdict&, const Verdict&) = default;
};

// What is known before anything is written, from the drive and the block map of the file's `length` bytes
// (missing where it could not be read).
Verdict verdictBefore(const DriveFacts& drive, const std::optional<BlockMap>& before, std::int64_t length);

// The same after the flush, from the maps before and after (each missing where it could not be read) of the
// first `oldEnd` bytes, which held the old contents, and from what became of the file's attachments. A reason
// found before writing is never forgotten, and is said in the words of the question asked then.
Verdict verdictAfter(const DriveFacts& drive, const std::optional<BlockMap>& before,
                     const std::optional<BlockMap>& after, std::int64_t oldEnd,
                     const std::vector<Attachment>& attachments);

// The reason as the user reads it, to follow "because": "its file system (btrfs) writes every change to a new
// place". Empty for Remains::Nowhere.
std::string wordsFor(const Verdict& verdict);

} // namespace ferrowyn
