#pragma once

#include <cstdint>
#include <optional>
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

// One run of a file's clusters as Windows's retrieval pointers give it: up to the cluster `nextVcn` of the file,
// they lie from the volume's cluster `lcn` on (-1: nowhere, a hole).
struct ClusterRun {
    std::int64_t nextVcn = 0;
    std::int64_t lcn = 0;
};

// The block map that runs starting at the file's cluster `startingVcn` give for a file of `length` bytes, or
// nothing when they are not whole: they must start at the first cluster, go on from run to run, and cover the
// length. Wine answers every file with one made-up run (starting at 1, ending at 0). No runs at all for a file
// that has bytes: its bytes are kept among the file system's own records (a resident NTFS file).
std::optional<BlockMap> blockMapFromRuns(std::int64_t startingVcn, const std::vector<ClusterRun>& runs,
                                         std::int64_t bytesPerCluster, std::int64_t length);

// The parts of the first `end` bytes that the map gives a place on the device, in order. An extent that holds no
// data yet (unwritten: preallocated, or zeroed) still lies on blocks that held old contents, so only a range that
// no extent covers is a hole.
std::vector<ByteRange> rangesWithAPlace(BlockMap map, std::int64_t end);

} // namespace ferrowyn
