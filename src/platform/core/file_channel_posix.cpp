#include "platform/core/block_map_posix.h"
#include "platform/core/drive_facts_posix.h"
#include "platform/core/failure_words.h"
#include "platform/core/file_channel.h"
#include "platform/core/file_error.h"
#include "platform/core/path_display.h"
#include "platform/core/posix_files.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <optional>
#include <random>
#include <string>
#include <sys/file.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/xattr.h>

namespace ferrowyn {

struct FileChannel::Handles {
    Descriptor folder;
    Descriptor file; // read-only until openForWriting
    OpenedFile opened;
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

// Renames `from` in the folder to `to` unless `to` is taken; nothing is ever replaced. False with errno set.
bool renameWithoutReplacing(int folderFd, const std::filesystem::path& from, const std::filesystem::path& to) {
    if (::renameat2(folderFd, from.c_str(), folderFd, to.c_str(), RENAME_NOREPLACE) == 0) {
        return true;
    }
    if (errno != EINVAL) {
        return false;
    }
    // The file system does not take the flag (FUSE): a name that is free now is as good, since it is random.
    struct stat taken {};
    if (::fstatat(folderFd, to.c_str(), &taken, AT_SYMLINK_NOFOLLOW) == 0) {
        errno = EEXIST;
        return false;
    }
    return errno == ENOENT && ::renameat(folderFd, from.c_str(), folderFd, to.c_str()) == 0;
}

// Renames `name` in the folder to a fresh name that nothing else has, and returns it; empty with errno set.
std::filesystem::path renameToFreshName(int folderFd, const std::filesystem::path& name) {
    for (int attempt = 0; attempt < 64; ++attempt) {
        const auto fresh = freshNameLike(name);
        if (renameWithoutReplacing(folderFd, name, fresh)) {
            return fresh;
        }
        if (errno != EEXIST) {
            break;
        }
    }
    return {};
}

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

// The user's own extended attributes of the open file, by name.
std::vector<std::string> userAttributes(int fd) {
    std::vector<char> names(4096);
    ssize_t size = 0;
    while ((size = ::flistxattr(fd, names.data(), names.size())) < 0 && errno == ERANGE) {
        names.resize(names.size() * 2);
    }
    std::vector<std::string> found;
    for (ssize_t at = 0; at < size;) {
        const std::string attribute(names.data() + at);
        at += static_cast<ssize_t>(attribute.size()) + 1;
        if (attribute.rfind("user.", 0) == 0) {
            found.push_back(attribute);
        }
    }
    return found;
}

// The kernel's report of what happened to the names of a folder, from the moment the watch is set. The delete
// goes by name, and no call deletes a name only if it still leads to a given file: between the last look and
// the delete, another program may move its own file onto the name. The report tells afterwards.
class NameWatch {
public:
    explicit NameWatch(int folderFd) : m_watch(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
        const auto folder = "/proc/self/fd/" + std::to_string(folderFd);
        if (m_watch.valid() && ::inotify_add_watch(m_watch.get(), folder.c_str(),
                                                   IN_CREATE | IN_MOVED_TO | IN_DELETE | IN_ONLYDIR) < 0) {
            m_watch.reset();
        }
    }
    // Reads what the report holds so far: our own move onto the fresh name. The kernel merges a report with the
    // one before it while that is unread, so another move onto the same name would otherwise not show.
    void skip() const { arrivalsUntilDeleted({}); }
    // After the delete of `name`: whether another file came under it since skip() (or the report was lost), so
    // that the delete took that file. Nothing where the folder cannot be watched.
    std::optional<bool> anotherCameUnder(const std::filesystem::path& name) const {
        if (!m_watch.valid()) {
            return std::nullopt;
        }
        const auto arrivals = arrivalsUntilDeleted(name);
        return !arrivals || *arrivals > 0;
    }

private:
    // How often a file came under `name` before its delete shows; nothing when the delete does not show.
    std::optional<int> arrivalsUntilDeleted(const std::filesystem::path& name) const {
        alignas(inotify_event) char events[16384];
        int arrivals = 0;
        for (ssize_t size = 0; m_watch.valid() && (size = ::read(m_watch.get(), events, sizeof events)) > 0;) {
            for (ssize_t at = 0; at < size;) {
                const auto* event = reinterpret_cast<const inotify_event*>(events + at);
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
                if ((event->mask & IN_Q_OVERFLOW) != 0) {
                    return std::nullopt;
                }
                if (event->len == 0 || name.empty() || name != event->name) {
                    continue;
                }
                if ((event->mask & IN_DELETE) != 0) {
                    return arrivals;
                }
                ++arrivals;
            }
        }
        return std::nullopt;
    }

private:
    Descriptor m_watch;
};

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
    if (!storesData(handles->file.get())) {
        refuse(words::kNotStored);
    }
    if (const auto refusal = refusalForDelete(folderFd, folder, details); !refusal.empty()) {
        refuse(refusal);
    }
    if (lockedByAnother(handles->file.get())) {
        refuse(words::lockedBy(holdersWith(handles->file.get(), &FileHolder::locks)));
    }
    OpenedFile& opened = handles->opened;
    opened.otherNames = static_cast<int>(details.stx_nlink) - 1;
    if (opened.otherNames > 0) {
        opened.otherNamesFound = otherNamesIn(folderFd, file.name, details);
    }
    opened.drive = driveFactsOf(handles->file.get());
    opened.mapBefore = readBlockMap(handles->file.get(), true);
    opened.storage = storageUnder(handles->file.get());
    opened.holders = holdersOf(handles->file.get());
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

std::int64_t FileChannel::length() const {
    requireOpen(words::kCannotReadLength);
    struct stat info {};
    if (::fstat(m_handles->file.get(), &info) != 0) {
        throw FileError(words::kCannotReadLength, m_file.path(), osReason(errno));
    }
    return static_cast<std::int64_t>(info.st_size);
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

std::optional<BlockMap> FileChannel::blockMapNow() const {
    requireOpen(words::kCannotObliterate);
    // Read as the device has it: the flush has pushed the spaces there; without it they would show as not placed.
    return readBlockMap(m_handles->file.get(), false);
}

std::vector<Attachment> FileChannel::overwriteAttachments() {
    requireOpen(words::kCannotWrite);
    const int fd = m_handles->file.get();
    const std::vector<std::string> names = userAttributes(fd);
    std::vector<Attachment> attachments;
    for (const std::string& name : names) {
        Attachment& attachment = attachments.emplace_back(Attachment{displayText(name), 0, {}, {}, {}});
        const ssize_t length = ::fgetxattr(fd, name.c_str(), nullptr, 0);
        const std::string spaces(length > 0 ? static_cast<std::size_t>(length) : 0, ' ');
        if (length < 0 || ::fsetxattr(fd, name.c_str(), spaces.data(), spaces.size(), XATTR_REPLACE) != 0) {
            attachment.failure = osReason(errno);
        }
        attachment.length = std::max<std::int64_t>(length, 0);
    }
    if (attachments.empty()) {
        return attachments;
    }
    // The spaces reach the device where the values lay before the names go, so that the records the file system
    // frees hold spaces.
    flush();
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (attachments[i].failure.empty() && ::fremovexattr(fd, names[i].c_str()) != 0) {
            attachments[i].failure = osReason(errno);
        }
    }
    flush();
    return attachments;
}

void FileChannel::closeAndDelete() {
    requireOpen(words::kCannotDelete);
    const auto handles = std::move(m_handles);
    const auto path = m_file.path();
    const int folderFd = handles->folder.get();
    const int fd = handles->file.get();
    const auto stillThere = [&](const std::filesystem::path& name) {
        return "; its contents were overwritten, but the file is still there as " + displayText(name);
    };
    // The name is moved aside to a fresh one before the delete, so that a program renaming in the folder at this
    // moment cannot make us delete another file; the folder's last record of the file is then that fresh name.
    const NameWatch watch(folderFd);
    const auto fresh = renameToFreshName(folderFd, m_file.name);
    if (fresh.empty()) {
        throw FileError(words::kCannotDelete, path, osReason(errno) + stillThere(m_file.name));
    }
    watch.skip();
    // From the check to the delete nothing else is done, and the file stays open, so that no round trip to a
    // user-space driver widens the moment in which another program could move a file onto the fresh name.
    struct stat entry {};
    struct stat open {};
    const bool checked = ::fstatat(folderFd, fresh.c_str(), &entry, AT_SYMLINK_NOFOLLOW) == 0 &&
                         ::fstat(fd, &open) == 0 && entry.st_dev == open.st_dev && entry.st_ino == open.st_ino;
    if (!checked || ::unlinkat(folderFd, fresh.c_str(), 0) != 0) {
        const int error = errno;
        if (checked) {
            throw FileError(words::kCannotDelete, path, osReason(error) + stillThere(fresh));
        }
        // The fresh name led to another file at that instant: it gets the chosen name, which it took ours from,
        // and ours is left wherever the other program put it.
        std::string where = std::string(words::kRenamedMeanwhile) +
                            "; its contents were overwritten, but the file is still there under another name";
        if (!renameWithoutReplacing(folderFd, fresh, m_file.name)) {
            where += ", and the other file that took the name it was given is now named " + displayText(fresh);
        }
        throw FileError(words::kCannotDelete, path, where);
    }
    // Where the folder cannot be watched, ours must at least have lost a name.
    struct stat now {};
    const auto intruded = watch.anotherCameUnder(fresh);
    if (intruded.value_or(::fstat(fd, &now) != 0 || now.st_nlink >= open.st_nlink)) {
        throw FileError(words::kCannotDelete, path,
                        std::string(words::kRenamedMeanwhile) + ": another file it moved onto the name " +
                            displayText(fresh) +
                            " at that moment was deleted in its place; its contents were "
                            "overwritten");
    }
    // On Linux the descriptor is released even when close() reports EINTR, so it is never retried.
    if (::close(handles->file.release()) != 0 && errno != EINTR) {
        throw FileError(words::kCannotClose, path, osReason(errno));
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
