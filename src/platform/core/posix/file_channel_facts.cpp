#include "platform/core/failure_words.h"
#include "platform/core/file_error.h"
#include "platform/core/posix/block_map_reading.h"
#include "platform/core/posix/channel_state.h"
#include "platform/core/posix/drive_facts_reading.h"
#include "platform/core/posix/file_holders_reading.h"
#include "platform/core/posix/storage_reading.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <sys/sysmacros.h>
#include <unistd.h>

// What is known of the open file: its other names, its drive, where its bytes lie, the storage under it, who
// else has it.

namespace ferrowyn {
namespace {

// The other names of the open file `file` in the same folder: entries that lead to the same inode.
std::vector<std::filesystem::path> otherNamesIn(int folderFd, const std::filesystem::path& name,
                                                const struct statx& file) {
    std::vector<std::filesystem::path> found;
    const int listing = ::openat(folderFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* dir = listing >= 0 ? ::fdopendir(listing) : nullptr;
    if (dir == nullptr) {
        if (listing >= 0) {
            ::close(listing);
        }
        return found;
    }
    while (const dirent* entry = ::readdir(dir)) {
        struct stat other {};
        if (entry->d_ino == file.stx_ino && name != entry->d_name &&
            ::fstatat(folderFd, entry->d_name, &other, AT_SYMLINK_NOFOLLOW) == 0 && other.st_ino == file.stx_ino &&
            major(other.st_dev) == file.stx_dev_major && minor(other.st_dev) == file.stx_dev_minor) {
            found.emplace_back(entry->d_name);
        }
    }
    ::closedir(dir);
    std::sort(found.begin(), found.end());
    return found;
}

} // namespace

OpenedFile factsOf(int folderFd, int fd, const std::filesystem::path& name, const struct statx& details) {
    OpenedFile opened;
    opened.otherNames = static_cast<int>(details.stx_nlink) - 1;
    if (opened.otherNames > 0) {
        opened.otherNamesFound = otherNamesIn(folderFd, name, details);
    }
    opened.drive = driveFactsOf(fd);
    opened.mapBefore = readBlockMap(fd, true);
    opened.storage = storageUnder(fd);
    opened.holders = holdersOf(fd);
    return opened;
}

std::vector<ByteRange> FileChannel::rangesToOverwrite(std::int64_t end) const {
    requireOpen(words::kCannotReadLength);
    if (m_handles->opened.mapBefore) {
        return rangesWithAPlace(*m_handles->opened.mapBefore, end);
    }
    // SEEK_DATA calls unwritten extents holes too; it serves only where no map tells them apart.
    const int fd = m_handles->file.get();
    std::vector<ByteRange> ranges;
    for (off_t at = 0; at < end;) {
        const off_t data = ::lseek(fd, at, SEEK_DATA);
        if (data < 0 && errno == ENXIO) {
            break; // nothing but a hole from here on
        }
        const off_t hole = data < 0 ? -1 : ::lseek(fd, data, SEEK_HOLE);
        if (hole < 0) {
            return {{0, end}}; // cannot tell: all of it
        }
        if (data >= end) {
            break;
        }
        ranges.push_back({data, std::min<std::int64_t>(hole, end)});
        at = hole;
    }
    return ranges;
}

std::optional<BlockMap> FileChannel::blockMapNow() const {
    requireOpen(words::kCannotObliterate);
    // Read as the device has it: the flush has pushed the spaces there; without it they would show as not placed.
    return readBlockMap(m_handles->file.get(), false);
}

} // namespace ferrowyn
