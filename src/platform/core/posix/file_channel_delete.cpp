#include "platform/core/failure_words.h"
#include "platform/core/file_error.h"
#include "platform/core/fresh_name.h"
#include "platform/core/path_display.h"
#include "platform/core/posix/channel_state.h"

#include <cerrno>
#include <optional>
#include <string>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

// Deleting the overwritten file under a fresh name, so that no other file can be deleted in its place unsaid.

namespace ferrowyn {
namespace {

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

void FileChannel::closeAndDelete() {
    requireOpen(words::kCannotDelete);
    const auto handles = std::move(m_handles);
    const auto path = m_file.path();
    const int folderFd = handles->folder.get();
    const int fd = handles->file.get();
    // The name is moved aside to a fresh one before the delete, so that a program renaming in the folder at this
    // moment cannot make us delete another file; the folder's last record of the file is then that fresh name.
    const NameWatch watch(folderFd);
    const auto fresh = renameToFreshName(folderFd, m_file.name);
    if (fresh.empty()) {
        throw FileError(words::kCannotDelete, path, osReason(errno) + words::stillThereAs(m_file.name));
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
            throw FileError(words::kCannotDelete, path, osReason(error) + words::stillThereAs(fresh));
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

} // namespace ferrowyn
