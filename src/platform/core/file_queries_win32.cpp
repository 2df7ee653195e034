#include "platform/core/file_error.h"
#include "platform/core/file_queries.h"

#include <windows.h>

namespace ferrowyn {
namespace {

WIN32_FILE_ATTRIBUTE_DATA detailsOf(const std::filesystem::path& path) {
    WIN32_FILE_ATTRIBUTE_DATA details{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &details)) {
        throw FileError("Cannot read the details of %1", path, osReason(static_cast<int>(GetLastError())));
    }
    return details;
}

} // namespace

std::int64_t fileLength(const std::filesystem::path& path) {
    const auto details = detailsOf(path);
    return (static_cast<std::int64_t>(details.nFileSizeHigh) << 32) | details.nFileSizeLow;
}

std::chrono::system_clock::time_point fileModified(const std::filesystem::path& path) {
    const FILETIME written = detailsOf(path).ftLastWriteTime;
    // A FILETIME counts 100-nanosecond ticks from 1601-01-01; the Unix epoch is 11644473600 seconds later.
    const std::int64_t ticks = (static_cast<std::int64_t>(written.dwHighDateTime) << 32) | written.dwLowDateTime;
    const std::chrono::duration<std::int64_t, std::ratio<1, 10'000'000>> sinceEpoch(ticks - 116444736000000000LL);
    return std::chrono::system_clock::time_point(
        std::chrono::duration_cast<std::chrono::system_clock::duration>(sinceEpoch));
}

} // namespace ferrowyn
