#include "platform/core/block_map_posix.h"
#include "platform/core/failure_words.h"
#include "platform/core/file_channel.h"
#include "platform/core/file_error.h"
#include "platform/core/file_system_posix.h"
#include "platform/core/path_display.h"
#include "platform/core/posix_files.h"

#include <algorithm>
#include <cerrno>
#include <optional>
#include <random>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace ferrowyn {

struct FileChannel::Handles {
    Descriptor folder;
    Descriptor file; // read-only until lockForWriting
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    int otherNames = 0;
    FileSystemFacts fileSystem;
    std::optional<BlockMap> mapBefore;
    std::int64_t bytesSinceWriteback = 0;
    int fullBecause = 0; // why the last write stopped short: ENOSPC, EDQUOT or EFBIG
};

namespace {

// How much is written before the device is asked to start writing it out.
constexpr std::int64_t kWritebackStep = 8 * 1024 * 1024;

std::string reasonForMissing(int error) {
    return error == ENOENT ? words::kGone : osReason(error);
}

std::string reasonForOpen(int error) {
    switch (error) {
    case ELOOP: // the name has become a link since it was looked at
        return words::kReplaced;
    case EWOULDBLOCK: // another program holds a lease on it
    case ETXTBSY:
        return words::kInUse;
    case EROFS:
        return words::kReadOnlyDrive;
    default:
        return reasonForMissing(error);
    }
}

// Why an entry is not something we overwrite, or an empty text when it is fine.
std::string refusalForKind(mode_t mode) {
    if (S_ISLNK(mode)) {
        return words::kLink;
    }
    if (S_ISDIR(mode)) {
        return words::kFolder;
    }
    return S_ISREG(mode) ? std::string() : words::kNotRegular;
}

std::chrono::system_clock::time_point modifiedAt(const struct statx& details) {
    const auto since =
        std::chrono::seconds(details.stx_mtime.tv_sec) + std::chrono::nanoseconds(details.stx_mtime.tv_nsec);
    return std::chrono::system_clock::time_point(
        std::chrono::duration_cast<std::chrono::system_clock::duration>(since));
}

// Why the chosen file cannot be overwritten now, as it was chosen: its identity, what was shown of it, and what
// would stop the writes.
std::string refusalForFile(const struct statx& details, const FileIdentity& identity, const ChosenFile& chosen) {
    if (const auto refusal = refusalForKind(details.stx_mode); !refusal.empty()) {
        return refusal;
    }
    if (identity != chosen.identity) {
        return words::kReplaced;
    }
    if (static_cast<std::int64_t>(details.stx_size) != chosen.length || modifiedAt(details) != chosen.modified) {
        return words::kChanged;
    }
    // The read-only permission binds everyone here, root included, as the read-only attribute does on Windows.
    if ((details.stx_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
        return words::kReadOnly;
    }
    if ((details.stx_attributes & STATX_ATTR_IMMUTABLE) != 0) {
        return words::kUnchangeable;
    }
    if ((details.stx_attributes & STATX_ATTR_APPEND) != 0) {
        return words::kAppendOnly;
    }
    return {};
}

// Why the folder would refuse to delete the file, found before anything is written rather than after.
std::string refusalForDelete(int folderFd, const struct statx& folder, const struct statx& file) {
    if ((folder.stx_attributes & STATX_ATTR_IMMUTABLE) != 0) {
        return words::kFolderUnchangeable;
    }
    if ((folder.stx_attributes & STATX_ATTR_APPEND) != 0) {
        return words::kFolderAppendOnly;
    }
    if (file.stx_mnt_id != folder.stx_mnt_id || file.stx_dev_major != folder.stx_dev_major ||
        file.stx_dev_minor != folder.stx_dev_minor) {
        return words::kMountPoint;
    }
    if (::faccessat(folderFd, "", W_OK | X_OK, AT_EMPTY_PATH | AT_EACCESS) != 0) {
        if (errno == EROFS) {
            return words::kReadOnlyDrive;
        }
        if (errno == EACCES || errno == EPERM) {
            return words::kFolderNotWritable;
        }
    }
    // In a sticky folder (/tmp) only the file's owner, the folder's owner or root may delete it.
    const uid_t us = ::geteuid();
    if ((folder.stx_mode & S_ISVTX) != 0 && us != 0 && us != file.stx_uid && us != folder.stx_uid) {
        return words::kFolderSticky;
    }
    return {};
}

// Whether another program holds a lock on the file: a whole-file flock, or a POSIX or open-file record lock.
bool lockedByAnother(int fd) {
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        return errno == EWOULDBLOCK;
    }
    ::flock(fd, LOCK_UN);
    struct flock whole {};
    whole.l_type = F_WRLCK;
    whole.l_whence = SEEK_SET;
    return ::fcntl(fd, F_OFD_GETLK, &whole) == 0 && whole.l_type != F_UNLCK;
}

// Takes both kinds of lock, so that programs that honour either leave the file alone while it is overwritten.
std::string lockOrRefusal(int fd) {
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        return errno == EWOULDBLOCK ? words::kLocked : osReason(errno);
    }
    struct flock whole {};
    whole.l_type = F_WRLCK;
    whole.l_whence = SEEK_SET;
    if (::fcntl(fd, F_OFD_SETLK, &whole) != 0) {
        return errno == EAGAIN || errno == EACCES ? words::kLocked : osReason(errno);
    }
    return {};
}

// A name nobody chose, as long as `name` (so that it takes the same room in the folder), of letters and digits
// that FAT, NTFS and ext4 all take.
std::filesystem::path freshNameLike(const std::filesystem::path& name) {
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    static std::mt19937_64 random{std::random_device()()};
    std::string fresh(name.native().size(), 'x');
    for (char& letter : fresh) {
        letter = kLetters[random() % (sizeof kLetters - 1)];
    }
    return fresh;
}

// Renames `name` in the folder to a fresh name that nothing else has, and returns it; nothing is ever replaced.
std::filesystem::path renameToFreshName(int folderFd, const std::filesystem::path& name, int& error) {
    for (int attempt = 0; attempt < 64; ++attempt) {
        const auto fresh = freshNameLike(name);
        if (::renameat2(folderFd, name.c_str(), folderFd, fresh.c_str(), RENAME_NOREPLACE) == 0) {
            return fresh;
        }
        if (errno == EINVAL) {
            // The file system does not take the flag: a name that is free now is as good, since it is random.
            struct stat taken {};
            if (::fstatat(folderFd, fresh.c_str(), &taken, AT_SYMLINK_NOFOLLOW) != 0 && errno == ENOENT &&
                ::renameat(folderFd, name.c_str(), folderFd, fresh.c_str()) == 0) {
                return fresh;
            }
        }
        if (errno != EEXIST && errno != EINVAL) {
            break;
        }
    }
    error = errno;
    return {};
}

} // namespace

FileChannel::FileChannel() = default;
FileChannel::~FileChannel() = default;

void FileChannel::open(const ChosenFile& file) {
    const auto path = file.path();
    if (isOpen()) {
        throw FileError(words::kCannotOpen, path, "the channel is already open on " + displayText(m_file.path()));
    }
    const auto refuse = [&](const std::string& reason) { throw FileError(words::kCannotOpen, path, reason); };
    if (!isOneName(file.name)) {
        refuse(words::kNotOneName);
    }

    auto handles = std::make_unique<Handles>();
    handles->folder = openFolder(file.folder);
    FileIdentity identity;
    struct statx folder {};
    if (!handles->folder.valid() || !readIdentity(handles->folder.get(), identity, folder)) {
        refuse(reasonForMissing(errno));
    }
    if (identity != file.folderIdentity) {
        refuse(identity.sameDrive(file.folderIdentity) ? words::kFolderReplaced : words::kDriveGone);
    }
    const int folderFd = handles->folder.get();
    // Look before opening, so that a device or a pipe is never even opened; the look at the open file below is
    // the one that counts, since the entry may change in between.
    struct stat entry {};
    if (::fstatat(folderFd, file.name.c_str(), &entry, AT_SYMLINK_NOFOLLOW) != 0) {
        refuse(reasonForMissing(errno));
    }
    if (const auto refusal = refusalForKind(entry.st_mode); !refusal.empty()) {
        refuse(refusal);
    }
    handles->file = openEntryForReading(folderFd, file.name);
    struct statx details {};
    if (!handles->file.valid()) {
        refuse(reasonForOpen(errno));
    }
    if (!readIdentity(handles->file.get(), identity, details)) {
        refuse(osReason(errno));
    }
    if (auto refusal = refusalForFile(details, identity, file); !refusal.empty()) {
        refuse(refusal);
    }
    handles->fileSystem = fileSystemOf(handles->file.get());
    if (!handles->fileSystem.storesData) {
        refuse(words::kNotStored);
    }
    if (const auto refusal = refusalForDelete(folderFd, folder, details); !refusal.empty()) {
        refuse(refusal);
    }
    if (lockedByAnother(handles->file.get())) {
        refuse(words::kLocked);
    }
    handles->device = identity.volume;
    handles->inode = identity.file;
    handles->otherNames = static_cast<int>(details.stx_nlink) - 1;
    handles->mapBefore = readBlockMap(handles->file.get(), true);
    m_handles = std::move(handles);
    m_file = file;
}

int FileChannel::otherNames() const {
    return isOpen() ? m_handles->otherNames : 0;
}

std::string FileChannel::whyOldContentsMayRemain() const {
    return isOpen() ? whyOldContentsMayRemainBefore(m_handles->fileSystem, m_handles->mapBefore) : std::string();
}

void FileChannel::lockForWriting() {
    requireOpen(words::kCannotOpen);
    const auto refuse = [&](const std::string& reason) {
        throw FileError(words::kCannotOpen, m_file.path(), reason);
    };
    int fd = -1;
    do {
        fd = ::openat(m_handles->folder.get(), m_file.name.c_str(),
                      O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    Descriptor writable(fd);
    struct stat info {};
    if (!writable.valid()) {
        refuse(reasonForOpen(errno));
    }
    // The file open for reading keeps its inode from being reused, so the same device and inode are the same file.
    if (::fstat(fd, &info) != 0 || static_cast<std::uint64_t>(info.st_ino) != m_handles->inode ||
        ::makedev(static_cast<unsigned>(m_handles->device >> 32), static_cast<unsigned>(m_handles->device)) !=
            info.st_dev) {
        refuse(words::kReplaced);
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        refuse(osReason(errno));
    }
    if (const auto refusal = lockOrRefusal(fd); !refusal.empty()) {
        refuse(refusal);
    }
    m_handles->file = std::move(writable);
}

void FileChannel::requireOpen(const char* action) const {
    if (!isOpen()) {
        throw FileError(action, m_file.path(), osReason(EBADF));
    }
}

std::int64_t FileChannel::length() const {
    requireOpen(words::kCannotReadLength);
    struct stat info {};
    if (::fstat(m_handles->file.get(), &info) != 0) {
        throw FileError(words::kCannotReadLength, m_file.path(), osReason(errno));
    }
    return static_cast<std::int64_t>(info.st_size);
}

std::vector<ByteRange> FileChannel::dataRanges(std::int64_t end) const {
    requireOpen(words::kCannotReadLength);
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

std::size_t FileChannel::writeWhatFits(std::int64_t offset, std::span<const std::byte> data) {
    requireOpen(words::kCannotWrite);
    const int fd = m_handles->file.get();
    std::size_t done = 0;
    while (done < data.size()) {
        const auto at = offset + static_cast<std::int64_t>(done);
        const ssize_t written = ::pwrite(fd, data.data() + done, data.size() - done, at);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        // A write that makes no progress without an error would loop for ever: the device is full.
        if (written == 0 || (written < 0 && (errno == ENOSPC || errno == EDQUOT || errno == EFBIG))) {
            m_handles->fullBecause = written == 0 ? ENOSPC : errno;
            break;
        }
        if (written < 0) {
            throw FileError(std::string(words::kCannotWrite) + " at byte " + std::to_string(at), m_file.path(),
                            osReason(errno));
        }
        done += static_cast<std::size_t>(written);
    }
    // Let the device write what is cached while we go on writing, instead of leaving it all to the one flush at
    // the end. This only starts the writing and waits for nothing; any error it meets is reported by the flush.
    m_handles->bytesSinceWriteback += static_cast<std::int64_t>(done);
    if (m_handles->bytesSinceWriteback >= kWritebackStep) {
        m_handles->bytesSinceWriteback = 0;
        ::sync_file_range(fd, 0, 0, SYNC_FILE_RANGE_WRITE);
    }
    return done;
}

void FileChannel::writeAt(std::int64_t offset, std::span<const std::byte> data) {
    if (const std::size_t done = writeWhatFits(offset, data); done < data.size()) {
        throw FileError(std::string(words::kCannotWrite) + " at byte " +
                            std::to_string(offset + static_cast<std::int64_t>(done)),
                        m_file.path(), osReason(m_handles->fullBecause));
    }
}

void FileChannel::flush() {
    requireOpen(words::kCannotFlush);
    int result = 0;
    do {
        result = ::fsync(m_handles->file.get());
    } while (result != 0 && errno == EINTR);
    if (result != 0) {
        throw FileError(words::kCannotFlush, m_file.path(), osReason(errno));
    }
}

std::string FileChannel::whyOldContentsMayRemainNow(std::int64_t oldEnd) const {
    requireOpen(words::kCannotObliterate);
    // Read as the device has it: the flush has pushed the spaces there; without it they would show as not placed.
    const auto mapAfter = m_handles->mapBefore ? readBlockMap(m_handles->file.get(), false) : std::nullopt;
    const MapVerdict verdict =
        whyOldContentsMayRemainAfter(m_handles->fileSystem, m_handles->mapBefore, mapAfter, oldEnd);
    if (verdict.cutShort) {
        throw FileError(words::kCannotObliterate, m_file.path(), words::kCutShort);
    }
    return verdict.whyOldContentsMayRemain;
}

void FileChannel::closeAndDelete() {
    requireOpen(words::kCannotDelete);
    const auto handles = std::move(m_handles);
    const auto path = m_file.path();
    const int folderFd = handles->folder.get();
    const auto stillThere = [&](const std::filesystem::path& name) {
        return "; its contents were overwritten, but the file is still there as " + displayText(name);
    };
    // The name is moved aside to a fresh one before the delete, so that a program renaming in the folder at this
    // moment cannot make us delete another file; the folder's last record of the file is then that fresh name.
    int error = 0;
    const auto fresh = renameToFreshName(folderFd, m_file.name, error);
    if (fresh.empty()) {
        throw FileError(words::kCannotDelete, path, osReason(error) + stillThere(m_file.name));
    }
    struct stat entry {};
    struct stat open {};
    if (::fstatat(folderFd, fresh.c_str(), &entry, AT_SYMLINK_NOFOLLOW) != 0 ||
        ::fstat(handles->file.get(), &open) != 0 || entry.st_dev != open.st_dev || entry.st_ino != open.st_ino) {
        // The name led to another file at that instant: it gets its name back, and ours is left where it is.
        ::renameat2(folderFd, fresh.c_str(), folderFd, m_file.name.c_str(), RENAME_NOREPLACE);
        throw FileError(words::kCannotDelete, path,
                        std::string(words::kRenamedMeanwhile) + "; its contents were overwritten, but the file is "
                                                                "still there under another name");
    }
    // On Linux the descriptor is released even when close() reports EINTR, so it is never retried.
    if (::close(handles->file.release()) != 0 && errno != EINTR) {
        throw FileError(words::kCannotClose, path, osReason(errno) + stillThere(fresh));
    }
    if (::unlinkat(folderFd, fresh.c_str(), 0) != 0) {
        throw FileError(words::kCannotDelete, path, osReason(errno) + stillThere(fresh));
    }
    // The delete reaches the device too, not only the cache.
    ::fsync(folderFd);
}

void FileChannel::close() {
    if (!isOpen()) {
        return;
    }
    const auto handles = std::move(m_handles);
    if (::close(handles->file.release()) != 0 && errno != EINTR) {
        throw FileError(words::kCannotClose, m_file.path(), osReason(errno));
    }
}

} // namespace ferrowyn
