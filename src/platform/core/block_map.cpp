#include "platform/core/block_map.h"

#include <algorithm>

namespace ferrowyn {

std::vector<ByteRange> rangesWithAPlace(BlockMap map, std::int64_t end) {
    std::sort(map.begin(), map.end(), [](const Extent& a, const Extent& b) { return a.logical < b.logical; });
    std::vector<ByteRange> ranges;
    for (const Extent& extent : map) {
        const std::int64_t from = std::max<std::int64_t>(extent.logical, 0);
        const std::int64_t to = std::min(extent.logical + extent.length, end);
        if (from >= to) {
            continue;
        }
        if (!ranges.empty() && from <= ranges.back().end) {
            ranges.back().end = std::max(ranges.back().end, to);
        } else {
            ranges.push_back({from, to});
        }
    }
    return ranges;
}

} // namespace ferrowyn
