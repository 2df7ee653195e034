#include "platform/core/win32/block_map_reading.h"

#include <winioctl.h>

namespace ferrowyn {
namespace {

constexpr DWORD kExtentsPerAsk = 128;

} // namespace

std::optional<BlockMap> readBlockMap(HANDLE file, std::int64_t bytesPerCluster) {
    FILE_STANDARD_INFO standard{};
    if (!GetFileInformationByHandleEx(file, FileStandardInfo, &standard, sizeof standard)) {
        return std::nullopt;
    }
    std::vector<unsigned char> buffer(sizeof(RETRIEVAL_POINTERS_BUFFER) +
                                      kExtentsPerAsk * 2 * sizeof(LARGE_INTEGER));
    auto* pointers = reinterpret_cast<RETRIEVAL_POINTERS_BUFFER*>(buffer.data());
    STARTING_VCN_INPUT_BUFFER start{};
    std::optional<std::int64_t> firstVcn;
    std::vector<ClusterRun> runs;
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
        firstVcn = firstVcn.value_or(pointers->StartingVcn.QuadPart);
        for (DWORD i = 0; i < pointers->ExtentCount; ++i) {
            runs.push_back({pointers->Extents[i].NextVcn.QuadPart, pointers->Extents[i].Lcn.QuadPart});
        }
        if (done || pointers->ExtentCount == 0) {
            break;
        }
        start.StartingVcn.QuadPart = runs.back().nextVcn;
    }
    return blockMapFromRuns(firstVcn.value_or(0), runs, bytesPerCluster, standard.EndOfFile.QuadPart);
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
