#include "platform/core/block_map_win32.h"

#include <winioctl.h>

namespace ferrowyn {
namespace {

constexpr DWORD kExtentsPerAsk = 128;

} // namespace

std::optional<BlockMap> readBlockMap(HANDLE file, std::int64_t bytesPerCluster) {
    FILE_STANDARD_INFO standard{};
    if (bytesPerCluster <= 0 ||
        !GetFileInformationByHandleEx(file, FileStandardInfo, &standard, sizeof standard)) {
        return std::nullopt;
    }
    BlockMap map;
    std::vector<unsigned char> buffer(sizeof(RETRIEVAL_POINTERS_BUFFER) +
                                      kExtentsPerAsk * 2 * sizeof(LARGE_INTEGER));
    auto* pointers = reinterpret_cast<RETRIEVAL_POINTERS_BUFFER*>(buffer.data());
    STARTING_VCN_INPUT_BUFFER start{};
    std::int64_t vcn = 0; // the next cluster of the file the map must tell
    for (;;) {
        DWORD returned = 0;
        const bool done = DeviceIoControl(file, FSCTL_GET_RETRIEVAL_POINTERS, &start, sizeof start, pointers,
                                          static_cast<DWORD>(buffer.size()), &returned, nullptr);
        const DWORD error = done ? 0 : GetLastError();
        if (!done && error == ERROR_HANDLE_EOF) {
            break; // no clusters at all
        }
        if (!done && error != ERROR_MORE_DATA) {
            return std::nullopt;
        }
        // Believed only when it is whole: it starts where it was asked to, and each extent goes on from the last.
        if (pointers->StartingVcn.QuadPart != vcn) {
            return std::nullopt;
        }
        for (DWORD i = 0; i < pointers->ExtentCount; ++i) {
            const std::int64_t next = pointers->Extents[i].NextVcn.QuadPart;
            const std::int64_t lcn = pointers->Extents[i].Lcn.QuadPart;
            if (next <= vcn) {
                return std::nullopt;
            }
            if (lcn != -1) {
                map.push_back({vcn * bytesPerCluster, lcn * bytesPerCluster, (next - vcn) * bytesPerCluster, 0});
            }
            vcn = next;
        }
        if (done) {
            break;
        }
        start.StartingVcn.QuadPart = vcn;
    }
    if (map.empty() && vcn == 0 && standard.EndOfFile.QuadPart > 0) {
        return BlockMap{{0, 0, standard.EndOfFile.QuadPart, Extent::Inline}};
    }
    // ... and it covers the file's length.
    if (vcn * bytesPerCluster < standard.EndOfFile.QuadPart) {
        return std::nullopt;
    }
    return map;
}

std::optional<std::vector<ByteRange>> allocatedRanges(HANDLE file, std::int64_t end) {
    FILE_ALLOCATED_RANGE_BUFFER query{};
    query.Length.QuadPart = end;
    std::vector<FILE_ALLOCATED_RANGE_BUFFER> found(kExtentsPerAsk);
    std::vector<ByteRange> ranges;
    for (;;) {
        DWORD returned = 0;
        const bool done = DeviceIoControl(file, FSCTL_QUERY_ALLOCATED_RANGES, &query, sizeof query, found.data(),
                                          static_cast<DWORD>(found.size() * sizeof(FILE_ALLOCATED_RANGE_BUFFER)),
                                          &returned, nullptr);
        if (!done && GetLastError() != ERROR_MORE_DATA) {
            return std::nullopt;
        }
        const std::size_t count = returned / sizeof(FILE_ALLOCATED_RANGE_BUFFER);
        for (std::size_t i = 0; i < count; ++i) {
            ranges.push_back(
                {found[i].FileOffset.QuadPart, found[i].FileOffset.QuadPart + found[i].Length.QuadPart});
        }
        if (done || count == 0) {
            return ranges;
        }
        const std::int64_t next = ranges.back().end;
        query.FileOffset.QuadPart = next;
        query.Length.QuadPart = end - next;
    }
}

} // namespace ferrowyn
