#include "platform/core/file_system_posix.h"
#include "platform/core/failure_words.h"
#include "platform/core/mount_table_posix.h"

#include <algorithm>
#include <cstdint>
#include <fcntl.h>
#include <linux/fs.h>
#include <linux/magic.h>
#include <string_view>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/vfs.h>

namespace ferrowyn {
namespace {

// Magic numbers that not every kernel header names.
constexpr std::uint32_t kEfivarfs = 0xde5e81e4;
constexpr std::uint32_t kConfigfs = 0x62656570;
constexpr std::uint32_t kSelinuxfs = 0xf97cff8c;
constexpr std::uint32_t kFusectl = 0x65735543;

// The kernel's own file systems: their files are views of its state and its settings.
constexpr std::uint32_t kPseudo[] = {
    PROC_SUPER_MAGIC,
    SYSFS_MAGIC,
    DEBUGFS_MAGIC,
    TRACEFS_MAGIC,
    SECURITYFS_MAGIC,
    CGROUP_SUPER_MAGIC,
    CGROUP2_SUPER_MAGIC,
    kConfigfs,
    DEVPTS_SUPER_MAGIC,
    kEfivarfs,
    BPF_FS_MAGIC,
    PSTOREFS_MAGIC,
    kSelinuxfs,
    SMACK_MAGIC,
    kFusectl,
    BINFMTFS_MAGIC,
    HUGETLBFS_MAGIC,
    NSFS_MAGIC,
    0x19800202 /* mqueue */,
};

// File systems that overwrite a file's blocks where they lie. fuseblk is a user-space driver of a local disk
// (NTFS or exFAT).
constexpr std::string_view kInPlace[] = {"ext2", "ext3",  "ext4",    "xfs", "vfat",  "msdos", "exfat",
                                         "ntfs", "ntfs3", "hfsplus", "jfs", "tmpfs", "ramfs", "fuseblk"};
// File systems that write every change to new blocks (copy-on-write or log-structured).
constexpr std::string_view kNewPlaces[] = {"btrfs", "zfs", "bcachefs", "nilfs2", "f2fs"};
// Network file systems: the server decides where the data goes and what it keeps.
constexpr std::string_view kNetwork[] = {
    "nfs",       "nfs4",         "cifs",           "smb3",        "smbfs",         "9p",
    "afs",       "ceph",         "glusterfs",      "davfs",       "fuse.sshfs",    "fuse.rclone",
    "fuse.s3fs", "fuse.gcsfuse", "fuse.glusterfs", "fuse.davfs2", "fuse.curlftpfs"};

template <std::size_t N> bool isOneOf(std::string_view type, const std::string_view (&list)[N]) {
    return std::find(std::begin(list), std::end(list), type) != std::end(list);
}

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

// A name for file systems the mount table does not show (no /proc): only those the checks below care about.
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

} // namespace

FileSystemFacts fileSystemOf(int fd) {
    FileSystemFacts facts;
    struct statfs info {};
    const bool known = ::fstatfs(fd, &info) == 0;
    const auto magic = static_cast<std::uint32_t>(info.f_type);
    facts.storesData = !known || std::find(std::begin(kPseudo), std::end(kPseudo), magic) == std::end(kPseudo);

    const Mount mount = mountOf(fd);
    facts.type = !mount.type.empty() ? mount.type : typeFromMagic(magic);
    int fileFlags = 0;
    if (::ioctl(fd, FS_IOC_GETFLAGS, &fileFlags) != 0) {
        fileFlags = 0;
    }
    if (facts.type == "overlay") {
        facts.whyCopiesMayStayElsewhere = words::kOverlay;
    } else if (isOneOf(facts.type, kNetwork)) {
        facts.whyCopiesMayStayElsewhere = words::onNetworkDrive(facts.type);
    } else if (facts.type.rfind("ext", 0) == 0 &&
               (hasOption(mount.options, "data=journal") || (fileFlags & FS_JOURNAL_DATA_FL) != 0)) {
        facts.whyCopiesMayStayElsewhere = words::kJournalled;
    }
    const std::string newPlaces = words::writesToNewPlaces(facts.type);
    if (isOneOf(facts.type, kNewPlaces) && (fileFlags & FS_NOCOW_FL) == 0) {
        facts.whyWritesGoElsewhere = newPlaces;
    }
    if (isOneOf(facts.type, kNewPlaces)) {
        facts.whyWithoutBlockMap = newPlaces;
    } else if (!isOneOf(facts.type, kInPlace)) {
        facts.whyWithoutBlockMap = words::cannotTell(facts.type);
    }
    return facts;
}

} // namespace ferrowyn
