#include "platform/core/file_error.h"
#include "platform/core/file_queries.h"

#include <cerrno>
#include <sys/stat.h>

namespace ferrowyn {
namespace {

struct stat statOf(const std::filesystem::path& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        throw FileError("Cannot read the details of %1", path, osReason(errno));
    }
    return info;
}

} // namespace

std::int64_t fileLength(const std::filesystem::path& path) {
    return static_cast<std::int64_t>(statOf(path).st_size);
}

std::chrono::system_clock::time_point fileModified(const std::filesystem::path& path) {
    const auto modified = statOf(path).st_mtim;
    const auto sinceEpoch = std::chrono::seconds(modified.tv_sec) + std::chrono::nanoseconds(modified.tv_nsec);
    return std::chrono::system_clock::time_point(
        std::chrono::duration_cast<std::chrono::system_clock::duration>(sinceEpoch));
}

} // namespace ferrowyn
