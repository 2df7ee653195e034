#pragma once

#include <cstdint>
#include <vector>

namespace ferrowyn {

// Bytes [begin, end) of a file.
struct ByteRange {
    std::int64_t begin = 0;
    std::int64_t end = 0;

    friend bool operator==(const ByteRange&, const ByteRange&) = default;
};

// Where a file's bytes lie on its device: each extent maps `length` bytes from `logical` in the file to
// `physical` on the device.
struct Extent {
    enum Flag : unsigned {
        Shared = 1,    // the same blocks belong to another file too (a copy that shares them)
        Inline = 2,    // kept among the file system's own records, or packed with other files' data
        Encoded = 4,   // stored compressed or otherwise transformed
        Unwritten = 8, // space set aside that reads as zeros, whatever its blocks held before
    };
    std::int64_t logical = 0;
    std::int64_t physical = 0;
    std::int64_t length = 0;
    unsigned flags = 0;
};
using BlockMap = std::vector<Extent>;

// The parts of the first `end` bytes that the map gives a place on the device, in order. An extent that holds no
// data yet (unwritten: preallocated, or zeroed) still lies on blocks that held old contents, so only a range that
// no extent covers is a hole.
std::vector<ByteRange> rangesWithAPlace(BlockMap map, std::int64_t end);

} // namespace ferrowyn
