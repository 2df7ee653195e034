#include "platform/core/posix/file_access.h"

#include <cerrno>
#include <linux/fs.h>
#include <optional>
#include <sys/ioctl.h>
#include <sys/vfs.h>
#include <sys/xattr.h>

namespace ferrowyn {
namespace {

// The mount's id that is never given to another mount (Linux 6.8); older kernels answer with the reusable one.
constexpr unsigned kStatxUniqueMountId = 0x4000U;
constexpr unsigned kWanted = STATX_BASIC_STATS | STATX_BTIME | STATX_MNT_ID | kStatxUniqueMountId;

// ntfs-3g keeps NTFS's own creation time in an attribute of its own: 100-nanosecond ticks since 1601.
std::optional<FileTime> ntfsCreationTime(int fd) {
    std::uint64_t ticks = 0;
    if (fd < 0 || ::fgetxattr(fd, "system.ntfs_crtime", &ticks, sizeof ticks) != sizeof ticks) {
        return std::nullopt;
    }
    constexpr std::int64_t kTicksPerSecond = 10'000'000;
    constexpr std::int64_t kSecondsFrom1601To1970 = 11'644'473'600;
    const auto whole = static_cast<std::int64_t>(ticks / kTicksPerSecond);
    return FileTime{whole - kSecondsFrom1601To1970, static_cast<std::int32_t>(ticks % kTicksPerSecond) * 100};
}

// `fd` is the open entry, or -1 where it was only looked at by name.
FileIdentity identityFrom(const struct statx& details, std::uint64_t fileSystem, std::uint64_t generation,
                          int fd) {
    FileIdentity identity{
        .volume = (static_cast<std::uint64_t>(details.stx_dev_major) << 32) | details.stx_dev_minor,
        .mount = (details.stx_mask & (STATX_MNT_ID | kStatxUniqueMountId)) != 0 ? details.stx_mnt_id : 0,
        .fileSystem = fileSystem,
        .file = details.stx_ino,
        .fileHigh = 0,
        .born = {},
        .generation = generation,
    };
    if ((details.stx_mask & STATX_BTIME) != 0) {
        identity.born = fileTimeOf(details.stx_btime);
    } else if (generation == 0 && S_ISREG(details.stx_mode)) {
        // A user-space driver (NTFS, exFAT, FAT through FUSE) may give the freed inode number to the next file,
        // with neither a birth time nor a generation to tell them apart. Not a folder's: any file made in it
        // would change its status.
        identity.born = ntfsCreationTime(fd).value_or(fileTimeOf(details.stx_ctime));
    }
    return identity;
}

} // namespace

FileTime fileTimeOf(const struct statx_timestamp& time) {
    return {time.tv_sec, static_cast<std::int32_t>(time.tv_nsec)};
}

Descriptor openFolder(const std::filesystem::path& folder) {
    Descriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd.valid() && errno == EACCES) {
        fd.reset(::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    }
    return fd;
}

Descriptor openEntryForReading(int folderFd, const std::filesystem::path& name) {
    int fd = -1;
    do {
        fd = ::openat(folderFd, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    return Descriptor(fd);
}

bool readIdentityOfEntry(int folderFd, const std::filesystem::path& name, std::uint64_t fileSystem,
                         FileIdentity& identity, struct statx& details) {
    details = {};
    if (::statx(folderFd, name.c_str(), AT_SYMLINK_NOFOLLOW, kWanted, &details) != 0) {
        return false;
    }
    identity = identityFrom(details, fileSystem, 0, -1);
    return true;
}

bool readIdentity(int fd, FileIdentity& identity, struct statx& details) {
    details = {};
    struct statfs fileSystem {};
    if (::statx(fd, "", AT_EMPTY_PATH, kWanted, &details) != 0 || ::fstatfs(fd, &fileSystem) != 0) {
        return false;
    }
    std::uint64_t fsid = 0;
    static_assert(sizeof fileSystem.f_fsid == sizeof fsid);
    __builtin_memcpy(&fsid, &fileSystem.f_fsid, sizeof fsid);
    // A place-only descriptor cannot be asked for the generation; a folder is always opened the same way, so
    // both sides of a comparison agree on it.
    long generation = 0;
    if (::ioctl(fd, FS_IOC_GETVERSION, &generation) != 0) {
        generation = 0;
    }
    identity = identityFrom(details, fsid, static_cast<std::uint32_t>(generation), fd);
    return true;
}

} // namespace ferrowyn
