#include "platform/core/block_map.h"
#include "platform/core/failure_words.h"

#include <algorithm>

namespace ferrowyn {

std::string whyMapMayKeepOldContents(const BlockMap& before) {
    for (const Extent& extent : before) {
        if ((extent.flags & Extent::Shared) != 0) {
            return words::kSharedBlocks;
        }
        if ((extent.flags & Extent::Inline) != 0) {
            return words::kInline;
        }
        if ((extent.flags & Extent::Encoded) != 0) {
            return words::kCompressed;
        }
    }
    return {};
}

MapVerdict compareBlockMaps(const BlockMap& before, const BlockMap& after, std::int64_t oldEnd) {
    MapVerdict verdict;
    verdict.whyOldContentsMayRemain = whyMapMayKeepOldContents(before);
    const auto mayRemain = [&](const char* reason) {
        if (verdict.whyOldContentsMayRemain.empty()) {
            verdict.whyOldContentsMayRemain = reason;
        }
    };
    for (const Extent& old : before) {
        const std::int64_t start = old.logical;
        const std::int64_t end = std::min(old.logical + old.length, oldEnd);
        if ((old.flags & Extent::Unwritten) != 0 || start >= end) {
            continue; // held no old contents
        }
        // The old bytes must still be the file's, at the very places they had, in extents of their own.
        std::int64_t covered = 0;
        for (const Extent& now : after) {
            const std::int64_t from = std::max(start, now.logical);
            const std::int64_t to = std::min(end, now.logical + now.length);
            if (from >= to) {
                continue;
            }
            if ((now.flags & Extent::Unwritten) != 0) {
                continue; // a hole in all but name
            }
            covered += to - from;
            if (now.physical - now.logical != old.physical - old.logical) {
                mayRemain(words::kMoved);
            }
            if (const std::string why = whyMapMayKeepOldContents({now}); !why.empty()) {
                mayRemain(why.c_str());
            }
        }
        verdict.cutShort = verdict.cutShort || covered < end - start;
    }
    return verdict;
}

std::string whyOldContentsMayRemainBefore(const DriveKind& drive, const std::optional<BlockMap>& before) {
    if (!drive.whyCopiesMayStayElsewhere.empty()) {
        return drive.whyCopiesMayStayElsewhere;
    }
    if (!before) {
        return drive.whyWithoutBlockMap;
    }
    const auto fromMap = whyMapMayKeepOldContents(*before);
    return !fromMap.empty() ? fromMap : drive.whyWritesGoElsewhere;
}

MapVerdict whyOldContentsMayRemainAfter(const DriveKind& drive, const std::optional<BlockMap>& before,
                                        const std::optional<BlockMap>& after, std::int64_t oldEnd) {
    if (!before || !after) {
        return {false, !drive.whyCopiesMayStayElsewhere.empty() ? drive.whyCopiesMayStayElsewhere
                                                                : drive.whyWithoutBlockMap};
    }
    MapVerdict verdict = compareBlockMaps(*before, *after, oldEnd);
    if (!drive.whyCopiesMayStayElsewhere.empty()) {
        verdict.whyOldContentsMayRemain = drive.whyCopiesMayStayElsewhere;
    } else if (!verdict.whyOldContentsMayRemain.empty()) {
        if (const auto foreseen = whyOldContentsMayRemainBefore(drive, before); !foreseen.empty()) {
            verdict.whyOldContentsMayRemain = foreseen;
        }
    }
    return verdict;
}

} // namespace ferrowyn
