#include "platform/core/failure_words.h"
#include "platform/core/file_error.h"
#include "platform/core/path_display.h"
#include "platform/core/posix/channel_state.h"
#include "platform/core/posix/drive_facts_reading.h"
#include "platform/core/posix/file_holders_reading.h"

#include <cerrno>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>

// Opening the chosen file, and checking that it is the one chosen, as it was shown, and that nothing would stop
// its overwrite and its delete.

namespace ferrowyn {
namespace {

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

// Whether the file is no longer as it was shown: its length, its time, or its status (which changes with any
// change of its length, and which no program can set back).
bool changedSince(const struct statx& details, const ChosenFile& chosen, bool statusToo) {
    return static_cast<std::int64_t>(details.stx_size) != chosen.length ||
           fileTimeOf(details.stx_mtime) != chosen.modified ||
           (statusToo && fileTimeOf(details.stx_ctime) != chosen.changed);
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
    return changedSince(details, chosen, true) ? words::kChanged : std::string();
}

// Why the folder would refuse to delete the file, found before anything is written rather than after.
std::string refusalForDelete(int folderFd, const struct statx& folder, const struct statx& file) {
    if ((folder.stx_attributes & STATX_ATTR_IMMUTABLE) != 0) {
        return words::kFolderUnchangeable;
    }
    if ((folder.stx_attributes & STATX_ATTR_APPEND) != 0) {
        return words::kFolderAppendOnly;
    }
    // The mount tells; the device only where the mount is not known: an overlay's files report the device of
    // the layer they lie in, which need not be its folder's.
    constexpr unsigned kMountIds = STATX_MNT_ID | 0x4000U; // the reusable one, or the unique one (Linux 6.8)
    const bool mountsKnown =
        (file.stx_mask & kMountIds) != 0 && (file.stx_mask & kMountIds) == (folder.stx_mask & kMountIds);
    if (mountsKnown ? file.stx_mnt_id != folder.stx_mnt_id
                    : file.stx_dev_major != folder.stx_dev_major || file.stx_dev_minor != folder.stx_dev_minor) {
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

// The programs that have the open file `fd` and hold a lock (`hold` is FileHolder::locks) or a lease on it.
std::vector<FileHolder> holdersWith(int fd, bool FileHolder::*hold) {
    auto holders = holdersOf(fd);
    std::erase_if(holders, [&](const FileHolder& holder) { return !(holder.*hold); });
    return holders;
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

} // namespace

FileChannel::FileChannel() = default;
FileChannel::~FileChannel() = default;

void FileChannel::open(const ChosenFile& file) {
    refuseWhatNeverOpens(file);
    const auto path = file.path();
    const auto refuse = [&](const std::string& reason) { throw FileError(words::kCannotOpen, path, reason); };

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
    if (!storesData(handles->file.get())) {
        refuse(words::kNotStored);
    }
    if (const auto refusal = refusalForDelete(folderFd, folder, details); !refusal.empty()) {
        refuse(refusal);
    }
    if (lockedByAnother(handles->file.get())) {
        refuse(words::lockedBy(holdersWith(handles->file.get(), &FileHolder::locks)));
    }
    handles->opened = factsOf(folderFd, handles->file.get(), file.name, details);
    m_handles = std::move(handles);
    m_file = file;
}

const OpenedFile& FileChannel::opened() const {
    requireOpen(words::kCannotOpen);
    return m_handles->opened;
}

void FileChannel::openForWriting() {
    requireOpen(words::kCannotOpen);
    const auto refuse = [&](const std::string& reason) {
        throw FileError(words::kCannotOpen, m_file.path(), reason);
    };
    // What the user was shown must still hold now, after the questions: another program may have changed the
    // file meanwhile.
    struct statx details {};
    FileIdentity identity;
    if (!readIdentity(m_handles->file.get(), identity, details)) {
        refuse(osReason(errno));
    }
    if (changedSince(details, m_file, true)) {
        refuse(words::kChanged);
    }
    // The very file open for reading, reached through the kernel's own link to it, never through its name: the
    // name may lead elsewhere by now. Without /proc, by its name, as long as it leads to the same inode.
    const auto flags = O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    int fd = -1;
    do {
        fd = ::open(("/proc/self/fd/" + std::to_string(m_handles->file.get())).c_str(), flags & ~O_NOFOLLOW);
    } while (fd < 0 && errno == EINTR);
    const bool byName = fd < 0 && errno == ENOENT;
    while (byName && (fd = ::openat(m_handles->folder.get(), m_file.name.c_str(), flags)) < 0 && errno == EINTR) {
    }
    Descriptor writable(fd);
    if (!writable.valid() && errno == EWOULDBLOCK) {
        refuse(words::inUseBy(holdersWith(m_handles->file.get(), &FileHolder::leases)));
    }
    if (!writable.valid()) {
        refuse(reasonForOpen(errno));
    }
    // Opened for writing, a file in an overlay is copied up to its upper layer, which may give it another device
    // and inode, but never another length or time.
    struct statx now {};
    FileIdentity writableIdentity;
    if (!readIdentity(fd, writableIdentity, now)) {
        refuse(osReason(errno));
    }
    if (byName && writableIdentity != identity) {
        refuse(words::kReplaced);
    }
    if (changedSince(now, m_file, false)) {
        refuse(words::kChanged);
    }
    const int status = ::fcntl(fd, F_GETFL);
    if (status < 0 || ::fcntl(fd, F_SETFL, status & ~O_NONBLOCK) != 0) {
        refuse(osReason(errno));
    }
    if (const auto refusal = lockOrRefusal(fd); !refusal.empty()) {
        refuse(refusal == words::kLocked ? words::lockedBy(holdersWith(fd, &FileHolder::locks)) : refusal);
    }
    m_handles->file = std::move(writable);
}

void FileChannel::requireOpen(const char* action) const {
    if (!isOpen()) {
        throw FileError(action, m_file.path(), osReason(EBADF));
    }
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
