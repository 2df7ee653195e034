#include "platform/core/posix/drive_facts_reading.h"
#include "platform/core/posix/kernel_file_systems.h"
#include "platform/core/posix/mount_table.h"
#include "platform/core/posix/overlay_layers.h"
#include "platform/core/posix/user_space_drivers.h"

#include <algorithm>
#include <cstdint>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <linux/fs.h>
#include <linux/magic.h>
#include <optional>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/sysmacros.h>
#include <sys/vfs.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace ferrowyn {
namespace {

// NTFS's own attributes of a file, as ntfs-3g shows them.
constexpr std::uint32_t kNtfsCompressed = 0x800;
constexpr std::uint32_t kNtfsEncrypted = 0x4000;

bool hasOption(const std::string& options, std::string_view option) {
    const std::string padded = "," + options + ",";
    return padded.find("," + std::string(option) + ",") != std::string::npos;
}

// The mount that holds the open file, from the kernel's table.
Mount mountOf(int fd) {
    struct statx details {};
    if (::statx(fd, "", AT_EMPTY_PATH, STATX_MNT_ID, &details) == 0 && (details.stx_mask & STATX_MNT_ID) != 0) {
        return mountWithId(details.stx_mnt_id);
    }
    return {};
}

// A name for file systems the mount table does not show (no /proc): only those the verdict cares about.
std::string typeFromMagic(std::uint32_t magic) {
    switch (magic) {
    case EXT4_SUPER_MAGIC:
        return "ext4";
    case XFS_SUPER_MAGIC:
        return "xfs";
    case TMPFS_MAGIC:
        return "tmpfs";
    case BTRFS_SUPER_MAGIC:
        return "btrfs";
    case OVERLAYFS_SUPER_MAGIC:
        return "overlay";
    case NFS_SUPER_MAGIC:
        return "nfs";
    default:
        return "unknown";
    }
}

// Whether ext3 or ext4 keeps the data in its journal: asked at the mount, or made the default in the superblock,
// which the mount table does not show but the kernel's own account of the options applied does.
bool journalsData(const Mount& mount, dev_t device) {
    if (hasOption(mount.options, "data=journal")) {
        return true;
    }
    std::error_code error;
    const auto name =
        std::filesystem::read_symlink(
            "/sys/dev/block/" + std::to_string(major(device)) + ":" + std::to_string(minor(device)), error)
            .filename();
    std::ifstream applied("/proc/fs/ext4" / name / "options");
    for (std::string option; std::getline(applied, option);) {
        if (option == "data=journal") {
            return true;
        }
    }
    return false;
}

// The file's path inside the mount that holds it, as the kernel knows the open file.
std::filesystem::path pathWithin(int fd, const Mount& mount) {
    std::error_code error;
    const auto path = std::filesystem::read_symlink("/proc/self/fd/" + std::to_string(fd), error);
    const auto within = path.lexically_relative(mount.mountPoint);
    return error || within.empty() || *within.begin() == ".." ? std::filesystem::path() : within;
}

// What the file system that holds `fd` (a file or a folder) is and how it is mounted.
DriveFacts volumeFacts(int fd, const Mount& mount) {
    DriveFacts facts;
    struct statfs info {};
    const bool known = ::fstatfs(fd, &info) == 0;
    facts.fileSystem = !mount.type.empty() ? mount.type : typeFromMagic(known ? info.f_type : 0);
    struct stat details {};
    if (facts.fileSystem.rfind("ext", 0) == 0 && ::fstat(fd, &details) == 0) {
        facts.journalsData = journalsData(mount, details.st_dev);
    }
    struct statvfs volume {};
    if (::fstatvfs(fd, &volume) == 0) {
        facts.allocationUnit = static_cast<std::int64_t>(volume.f_frsize != 0 ? volume.f_frsize : volume.f_bsize);
    }
    return facts;
}

// The facts of the file system behind `folder` (an overlay's upper layer, the folder a driver shows), or
// nothing when it cannot be opened.
std::optional<DriveFacts> factsBehind(const std::filesystem::path& folder) {
    const int fd = ::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return std::nullopt;
    }
    DriveFacts facts = volumeFacts(fd, mountOf(fd));
    ::close(fd);
    return facts;
}

// An overlay is judged on its upper layer, where every change lands; a copy in a lower layer stays.
DriveFacts overlayFacts(int fd, const Mount& mount) {
    const auto layers = overlayLayersOf(mount);
    const auto upper = layers ? factsBehind(layers->upper) : std::nullopt;
    DriveFacts facts = upper.value_or(DriveFacts{"overlay"});
    facts.overlayLowerCopy = !upper || lowerLayerHolds(*layers, pathWithin(fd, mount));
    return facts;
}

// A user-space driver: the file system it serves, where that can be told.
DriveFacts userSpaceFacts(int fd, const Mount& mount) {
    const ServedFileSystem served = fileSystemServedBy(mount, fd, pathWithin(fd, mount));
    // A driver that shows another folder passes every write on to the same place in that folder.
    auto facts = served.boundFolder.empty() ? std::nullopt : factsBehind(served.boundFolder);
    if (!facts) {
        facts = volumeFacts(fd, mount);
        facts->fileSystem = !served.type.empty() ? served.type : mount.type;
    }
    facts->userSpaceDriver = true;
    return *facts;
}

// What the file itself is marked with, and what it takes on the device.
void addFileFacts(int fd, DriveFacts& facts) {
    int flags = 0;
    if (::ioctl(fd, FS_IOC_GETFLAGS, &flags) != 0) {
        flags = 0;
    }
    facts.journalsData =
        facts.journalsData || (facts.fileSystem.rfind("ext", 0) == 0 && (flags & FS_JOURNAL_DATA_FL) != 0);
    facts.noCopyOnWrite = (flags & FS_NOCOW_FL) != 0;
    facts.compressed = (flags & FS_COMPR_FL) != 0;
    std::uint32_t ntfs = 0;
    if (facts.userSpaceDriver && ::fgetxattr(fd, "system.ntfs_attrib", &ntfs, sizeof ntfs) == sizeof ntfs) {
        facts.compressed = facts.compressed || (ntfs & kNtfsCompressed) != 0;
        facts.encrypted = (ntfs & kNtfsEncrypted) != 0;
    }
    struct stat details {};
    if (::fstat(fd, &details) == 0 && S_ISREG(details.st_mode)) {
        facts.allocatedBytes = static_cast<std::int64_t>(details.st_blocks) * 512;
    }
}

} // namespace

DriveFacts driveFactsOf(int fd) {
    const Mount mount = mountOf(fd);
    DriveFacts facts = mount.type == "overlay"                                       ? overlayFacts(fd, mount)
                       : mount.type == "fuseblk" || mount.type.rfind("fuse", 0) == 0 ? userSpaceFacts(fd, mount)
                                                                                     : volumeFacts(fd, mount);
    addFileFacts(fd, facts);
    return facts;
}

bool storesData(int fd) {
    struct statfs info {};
    if (::fstatfs(fd, &info) != 0) {
        return true;
    }
    const auto magic = static_cast<std::uint32_t>(info.f_type);
    return std::none_of(std::begin(kKernelFileSystems), std::end(kKernelFileSystems),
                        [magic](const KernelFileSystem& kernel) { return kernel.magic == magic; });
}

} // namespace ferrowyn
