#include "platform/core/posix/user_space_drivers.h"

#include <algorithm>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <string_view>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace ferrowyn {
namespace {

// The drivers Debian ships, by the name their process has (cut to 15 characters, as the kernel keeps it) or the
// subtype they mount with, and what they serve.
constexpr std::pair<std::string_view, std::string_view> kDrivers[] = {
    {"ntfs-3g", "ntfs"},     {"lowntfs-3g", "ntfs"},   {"mount.exfat-fus", "exfat"},
    {"exfat-fuse", "exfat"}, {"mount.exfat", "exfat"}, {"fusefat", "vfat"},
};

std::string servedBy(std::string_view driver) {
    for (const auto& [name, type] : kDrivers) {
        if (name == driver) {
            return std::string(type);
        }
    }
    return {};
}

std::string readAll(const std::filesystem::path& path, std::size_t most = 1 << 16) {
    std::ifstream in(path, std::ios::binary);
    std::string text(most, '\0');
    in.read(text.data(), static_cast<std::streamsize>(most));
    text.resize(static_cast<std::size_t>(in.gcount()));
    return text;
}

// udev's record of a block device, which names the file system it found on it.
std::string typeFromUdev(dev_t device) {
    const auto record =
        readAll("/run/udev/data/b" + std::to_string(major(device)) + ":" + std::to_string(minor(device)));
    const std::string key = "E:ID_FS_TYPE=";
    const auto at = record.find(key);
    return at == std::string::npos ? std::string()
                                   : record.substr(at + key.size(), record.find('\n', at) - at - key.size());
}

// The driver's process serves the mount whose mount point is among its arguments; anyone may read those.
std::string typeFromDriverProcess(const std::filesystem::path& mountPoint) {
    std::error_code error;
    for (const auto& process : std::filesystem::directory_iterator("/proc", error)) {
        const std::string pid = process.path().filename().string();
        if (!std::all_of(pid.begin(), pid.end(), [](char c) { return c >= '0' && c <= '9'; })) {
            continue;
        }
        std::string comm = readAll(process.path() / "comm", 64);
        comm.erase(comm.find_last_not_of('\n') + 1);
        const std::string type = servedBy(comm);
        if (type.empty()) {
            continue;
        }
        const std::string arguments = readAll(process.path() / "cmdline");
        std::size_t from = 0;
        for (std::size_t end = arguments.find('\0'); end != std::string::npos;
             from = end + 1, end = arguments.find('\0', from)) {
            std::error_code other;
            const auto argument = std::filesystem::path(arguments.substr(from, end - from));
            if (argument.is_absolute() && std::filesystem::equivalent(argument, mountPoint, other)) {
                return type;
            }
        }
    }
    return {};
}

} // namespace

std::string fileSystemBySignature(const std::string& head) {
    const auto has = [&](std::size_t at, std::string_view text) {
        return head.compare(at, text.size(), text) == 0;
    };
    if (head.size() < 512) {
        return {};
    }
    if (has(3, "NTFS    ")) {
        return "ntfs";
    }
    if (has(3, "EXFAT   ")) {
        return "exfat";
    }
    return has(54, "FAT12   ") || has(54, "FAT16   ") || has(82, "FAT32   ") ? "vfat" : std::string();
}

// Whether the mount shows the folder it names as its source as it is (bindfs): the file at the same place there
// is the very same file, with the same inode, length and times.
bool showsItsSourceAsItIs(const Mount& mount, int fd, const std::filesystem::path& within) {
    const std::filesystem::path source = mount.source;
    struct stat shown {};
    struct stat there {};
    return source.is_absolute() && !within.empty() && ::fstat(fd, &shown) == 0 &&
           ::lstat((source / within).c_str(), &there) == 0 && S_ISREG(there.st_mode) &&
           there.st_ino == shown.st_ino && there.st_size == shown.st_size &&
           there.st_mtim.tv_sec == shown.st_mtim.tv_sec && there.st_mtim.tv_nsec == shown.st_mtim.tv_nsec &&
           there.st_ctim.tv_sec == shown.st_ctim.tv_sec && there.st_ctim.tv_nsec == shown.st_ctim.tv_nsec;
}

ServedFileSystem fileSystemServedBy(const Mount& mount, int fd, const std::filesystem::path& within) {
    // ntfs-3g shows NTFS's own attributes on every file.
    if (::fgetxattr(fd, "system.ntfs_attrib", nullptr, 0) >= 0) {
        return {"ntfs", {}};
    }
    if (showsItsSourceAsItIs(mount, fd, within)) {
        return {{}, mount.source};
    }
    struct stat details {};
    ::fstat(fd, &details);
    const dev_t device = details.st_dev;
    std::string type;
    if (const auto dot = mount.type.find('.'); dot != std::string::npos) {
        type = servedBy(mount.type.substr(dot + 1));
    }
    if (type.empty() && mount.type == "fuseblk") {
        type = typeFromUdev(device);
        if (type.empty()) {
            // Readable by root and the disk group only, on most systems.
            type = fileSystemBySignature(readAll(mount.source, 4096));
        }
    }
    if (type.empty()) {
        type = typeFromDriverProcess(mount.mountPoint);
    }
    return {type, {}};
}

} // namespace ferrowyn
