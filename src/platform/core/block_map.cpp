#include "platform/core/block_map.h"

#include <algorithm>

namespace ferrowyn {

std::optional<BlockMap> blockMapFromRuns(std::int64_t startingVcn, const std::vector<ClusterRun>& runs,
                                         std::int64_t bytesPerCluster, std::int64_t length) {
    if (bytesPerCluster <= 0 || startingVcn != 0) {
        return std::nullopt;
    }
    if (runs.empty()) {
        return length > 0 ? BlockMap{{0, 0, length, Extent::Inline}} : BlockMap{};
    }
    BlockMap map;
    std::int64_t vcn = 0;
    for (const ClusterRun& run : runs) {
        if (run.nextVcn <= vcn) {
            return std::nullopt;
        }
        if (run.lcn != -1) {
            map.push_back(
                {vcn * bytesPerCluster, run.lcn * bytesPerCluster, (run.nextVcn - vcn) * bytesPerCluster, 0});
        }
        vcn = run.nextVcn;
    }
    return vcn * bytesPerCluster >= length ? std::optional(map) : std::nullopt;
}

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
