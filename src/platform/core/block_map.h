#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ferrowyn {

// Where a file's bytes lie on its device: each extent maps `length` bytes from `logical` in the file to
// `physical` on the device.
struct Extent {
    enum Flag : unsigned {
        Shared = 1,    // the same blocks belong to another file too (a copy that shares them)
        Inline = 2,    // kept among the file system's own records, or packed with other files' data
        Encoded = 4,   // stored compressed or otherwise transformed
        Unwritten = 8, // space set aside that holds no data yet
    };
    std::int64_t logical = 0;
    std::int64_t physical = 0;
    std::int64_t length = 0;
    unsigned flags = 0;
};
using BlockMap = std::vector<Extent>;

// Why the old contents of a file with this map may stay on the device when it is overwritten in place (its
// blocks are shared, inline or encoded), or an empty text.
std::string whyMapMayKeepOldContents(const BlockMap& before);

// What the maps before and after the overwrite say of the first `oldEnd` bytes, which held the old contents.
struct MapVerdict {
    bool cutShort = false; // some of the old contents no longer belong to the file: they were not overwritten
    std::string whyOldContentsMayRemain; // empty when every old byte was overwritten where it lay
};
MapVerdict compareBlockMaps(const BlockMap& before, const BlockMap& after, std::int64_t oldEnd);

// What the kind of drive a file lies on says of an overwrite in place, whatever its block map says or where it
// cannot be read.
struct DriveKind {
    // Why copies of the old contents may stay elsewhere whatever the map says: on a network drive, in an
    // overlay's lower layer, in a journal of the data, in a compressed or encrypted file. Empty when none is
    // known.
    std::string whyCopiesMayStayElsewhere;
    // Why an overwrite is expected to land in new places (btrfs unless the file is marked no-copy-on-write, ReFS),
    // or empty. The map after the overwrite has the last word where it can be read.
    std::string whyWritesGoElsewhere;
    // Where the map cannot be read: why the old contents may remain (a file system that writes to new places, or
    // one we know nothing of), or empty for one known to overwrite in place.
    std::string whyWithoutBlockMap;
};

// Why the old contents may remain, as it is known before anything is written; empty when nothing says so.
std::string whyOldContentsMayRemainBefore(const DriveKind& drive, const std::optional<BlockMap>& before);

// The same after the flush, from the maps before and after (each missing where it could not be read): an empty
// reason when every old byte was overwritten where it lay. A reason foreseen before writing is said in the words
// of the question asked then.
MapVerdict whyOldContentsMayRemainAfter(const DriveKind& drive, const std::optional<BlockMap>& before,
                                        const std::optional<BlockMap>& after, std::int64_t oldEnd);

} // namespace ferrowyn
