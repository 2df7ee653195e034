#include "platform/core/posix/block_map_reading.h"

#include <array>
#include <linux/fiemap.h>
#include <linux/fs.h>
#include <sys/ioctl.h>

namespace ferrowyn {
namespace {

constexpr std::size_t kExtentsPerAsk = 128;

unsigned flagsOf(std::uint32_t fiemapFlags) {
    unsigned flags = 0;
    if ((fiemapFlags & FIEMAP_EXTENT_SHARED) != 0) {
        flags |= Extent::Shared;
    }
    if ((fiemapFlags & (FIEMAP_EXTENT_DATA_INLINE | FIEMAP_EXTENT_DATA_TAIL | FIEMAP_EXTENT_NOT_ALIGNED)) != 0) {
        flags |= Extent::Inline;
    }
    if ((fiemapFlags & FIEMAP_EXTENT_ENCODED) != 0) {
        flags |= Extent::Encoded;
    }
    if ((fiemapFlags & FIEMAP_EXTENT_UNWRITTEN) != 0) {
        flags |= Extent::Unwritten;
    }
    return flags;
}

} // namespace

std::optional<BlockMap> readBlockMap(int fd, bool flushFirst) {
    BlockMap map;
    // The request is a header followed by room for the extents the kernel fills in.
    alignas(struct fiemap)
        std::array<unsigned char, sizeof(struct fiemap) + kExtentsPerAsk * sizeof(struct fiemap_extent)>
            buffer{};
    auto* request = reinterpret_cast<struct fiemap*>(buffer.data());
    std::uint64_t next = 0;
    for (;;) {
        buffer.fill(0);
        request->fm_start = next;
        request->fm_length = FIEMAP_MAX_OFFSET - next;
        request->fm_flags = flushFirst ? FIEMAP_FLAG_SYNC : 0;
        request->fm_extent_count = kExtentsPerAsk;
        if (::ioctl(fd, FS_IOC_FIEMAP, request) != 0) {
            return std::nullopt;
        }
        const std::uint32_t count = request->fm_mapped_extents;
        for (std::uint32_t i = 0; i < count; ++i) {
            const struct fiemap_extent& extent = request->fm_extents[i];
            // A place not yet chosen (delayed allocation) or not known tells us nothing about where bytes lie.
            if ((extent.fe_flags & (FIEMAP_EXTENT_UNKNOWN | FIEMAP_EXTENT_DELALLOC)) != 0) {
                return std::nullopt;
            }
            map.push_back({static_cast<std::int64_t>(extent.fe_logical),
                           static_cast<std::int64_t>(extent.fe_physical),
                           static_cast<std::int64_t>(extent.fe_length), flagsOf(extent.fe_flags)});
            if ((extent.fe_flags & FIEMAP_EXTENT_LAST) != 0) {
                return map;
            }
        }
        if (count < kExtentsPerAsk) {
            return map;
        }
        next = request->fm_extents[count - 1].fe_logical + request->fm_extents[count - 1].fe_length;
    }
}

} // namespace ferrowyn
