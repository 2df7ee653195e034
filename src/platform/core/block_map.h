#pragma once

#include <cstdint>
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

} // namespace ferrowyn
