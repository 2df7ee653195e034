#include "platform/core/chosen_file.h"
#include "platform/core/file_error.h"
#include "platform/core/posix_descriptor.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>

namespace ferrowyn {

FileIdentity identityOf(const struct stat& info) {
    return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
}

ChosenFile chooseFile(const std::filesystem::path& folder, const std::filesystem::path& name) {
    const auto path = folder / name;
    // Both looks go through one open folder, so that they see the same folder.
    const Descriptor folderFd(::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    struct stat folderInfo {};
    struct stat info {};
    if (!folderFd.valid() || ::fstat(folderFd.get(), &folderInfo) != 0 ||
        ::fstatat(folderFd.get(), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
        throw FileError("Cannot read the details of %1", path, osReason(errno));
    }
    const auto sinceEpoch = std::chrono::seconds(info.st_mtim.tv_sec) + std::chrono::nanoseconds(info.st_mtim.tv_nsec);
    return {folder,
            name,
            identityOf(folderInfo),
            identityOf(info),
            static_cast<std::int64_t>(info.st_size),
            std::chrono::system_clock::time_point(
                std::chrono::duration_cast<std::chrono::system_clock::duration>(sinceEpoch))};
}

} // namespace ferrowyn
