#include "platform/core/file_system_posix.h"

#include <cstdint>
#include <linux/magic.h>
#include <sys/vfs.h>

namespace ferrowyn {
namespace {

// Magic numbers that not every kernel header names.
constexpr std::uint32_t kZfs = 0x2fc12fc1;
constexpr std::uint32_t kBcachefs = 0xca451a4e;
constexpr std::uint32_t kF2fs = 0xf2f52010;
constexpr std::uint32_t kEfivarfs = 0xde5e81e4;
constexpr std::uint32_t kConfigfs = 0x62656570;
constexpr std::uint32_t kSelinuxfs = 0xf97cff8c;
constexpr std::uint32_t kFusectl = 0x65735543;

// The kernel's own file systems: their files are views of its state and its settings.
constexpr std::uint32_t kPseudo[] = {
    PROC_SUPER_MAGIC,    SYSFS_MAGIC,       DEBUGFS_MAGIC,    TRACEFS_MAGIC,      SECURITYFS_MAGIC,
    CGROUP_SUPER_MAGIC,  CGROUP2_SUPER_MAGIC, kConfigfs,      DEVPTS_SUPER_MAGIC, kEfivarfs,
    BPF_FS_MAGIC,        PSTOREFS_MAGIC,    kSelinuxfs,       SMACK_MAGIC,        kFusectl,
    BINFMTFS_MAGIC,      HUGETLBFS_MAGIC,   NSFS_MAGIC,       0x19800202 /* mqueue */,
};

struct CopyOnWrite {
    std::uint32_t magic;
    const char* name;
};
// File systems that write every change to new blocks (copy-on-write or log-structured).
constexpr CopyOnWrite kCopyOnWrite[] = {
    {BTRFS_SUPER_MAGIC, "btrfs"}, {kZfs, "zfs"}, {kBcachefs, "bcachefs"}, {NILFS_SUPER_MAGIC, "nilfs2"},
    {kF2fs, "f2fs"},
};

} // namespace

FileSystemKind fileSystemOf(int fd) {
    struct statfs info {};
    if (::fstatfs(fd, &info) != 0) {
        return {};
    }
    const auto magic = static_cast<std::uint32_t>(info.f_type);
    FileSystemKind kind;
    for (const std::uint32_t pseudo : kPseudo) {
        kind.storesData = kind.storesData && magic != pseudo;
    }
    for (const auto& cow : kCopyOnWrite) {
        if (magic == cow.magic) {
            kind.copyOnWrite = cow.name;
        }
    }
    return kind;
}

} // namespace ferrowyn
