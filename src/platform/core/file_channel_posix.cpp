#include "platform/core/file_channel.h"
#include "platform/core/file_error.h"
#include "platform/core/file_system_posix.h"
#include "platform/core/posix_descriptor.h"

#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>

namespace ferrowyn {

struct FileChannel::Handles {
    Descriptor folder;
    Descriptor file;
    FileSystemKind fileSystem;
    std::int64_t bytesSinceWriteback = 0;
};

namespace {

constexpr const char* kOpenAction = "Cannot open %1 for writing";
constexpr const char* kReplaced = "it was replaced since it was selected";
constexpr const char* kLocked = "it is locked by another program";

// How much is written before the device is asked to start writing it out.
constexpr std::int64_t kWritebackStep = 8 * 1024 * 1024;

// Why an entry is not the chosen file or not something we overwrite, or an empty text when it is fine.
std::string refusalFor(const struct stat& info, const FileIdentity& chosen) {
    if (S_ISLNK(info.st_mode)) {
        return "it is a symbolic link";
    }
    if (S_ISDIR(info.st_mode)) {
        return "it is a folder";
    }
    if (!S_ISREG(info.st_mode)) {
        return "it is not a regular file";
    }
    if (identityOf(info) != chosen) {
        return kReplaced;
    }
    // The read-only permission binds everyone here, root included, as the read-only attribute does on Windows.
    if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
        return "the file is read-only";
    }
    return {};
}

std::string reasonForMissing(int error) {
    return error == ENOENT ? "it no longer exists" : osReason(error);
}

// Takes both kinds of lock another program may hold: a whole-file flock, and a POSIX or open-file record lock.
std::string lockOrRefusal(int fd) {
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        return errno == EWOULDBLOCK ? kLocked : osReason(errno);
    }
    struct flock whole {};
    whole.l_type = F_WRLCK;
    whole.l_whence = SEEK_SET;
    if (::fcntl(fd, F_OFD_SETLK, &whole) != 0) {
        return errno == EAGAIN || errno == EACCES ? kLocked : osReason(errno);
    }
    return {};
}

} // namespace

FileChannel::FileChannel() = default;
FileChannel::~FileChannel() = default;

void FileChannel::open(const ChosenFile& file) {
    const auto path = file.path();
    if (isOpen()) {
        throw FileError(kOpenAction, path, "the channel is already open on " + m_file.path().string());
    }
    const auto refuse = [&](const std::string& reason) { throw FileError(kOpenAction, path, reason); };

    auto handles = std::make_unique<Handles>();
    handles->folder.reset(::open(file.folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    struct stat info {};
    if (!handles->folder.valid() || ::fstat(handles->folder.get(), &info) != 0) {
        refuse(reasonForMissing(errno));
    }
    if (identityOf(info) != file.folderIdentity) {
        refuse(kReplaced);
    }
    const int folderFd = handles->folder.get();
    // Look before opening, so that a device or a pipe is never even opened; the look at the open file below is
    // the one that counts, since the entry may change in between.
    if (::fstatat(folderFd, file.name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
        refuse(reasonForMissing(errno));
    }
    if (const auto refusal = refusalFor(info, file.identity); !refusal.empty()) {
        refuse(refusal);
    }
    int fd = -1;
    do {
        fd = ::openat(folderFd, file.name.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        refuse(errno == ELOOP ? std::string(kReplaced) : reasonForMissing(errno));
    }
    handles->file.reset(fd);
    if (::fstat(fd, &info) != 0) {
        refuse(osReason(errno));
    }
    if (const auto refusal = refusalFor(info, file.identity); !refusal.empty()) {
        refuse(refusal);
    }
    handles->fileSystem = fileSystemOf(fd);
    if (!handles->fileSystem.storesData) {
        refuse("it is not a file on a storage device");
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        refuse(osReason(errno));
    }
    if (const auto refusal = lockOrRefusal(fd); !refusal.empty()) {
        refuse(refusal);
    }
    m_handles = std::move(handles);
    m_file = file;
}

std::string FileChannel::whyOldContentsMayRemain() const {
    if (!isOpen() || m_handles->fileSystem.copyOnWrite.empty()) {
        return {};
    }
    return "its file system (" + m_handles->fileSystem.copyOnWrite + ") writes every change to a new place";
}

void FileChannel::requireOpen(const char* action) const {
    if (!isOpen()) {
        throw FileError(action, m_file.path(), osReason(EBADF));
    }
}

std::int64_t FileChannel::length() const {
    requireOpen("Cannot read the length of %1");
    struct stat info {};
    if (::fstat(m_handles->file.get(), &info) != 0) {
        throw FileError("Cannot read the length of %1", m_file.path(), osReason(errno));
    }
    return static_cast<std::int64_t>(info.st_size);
}

void FileChannel::writeAt(std::int64_t offset, std::span<const std::byte> data) {
    requireOpen("Cannot write to %1");
    const int fd = m_handles->file.get();
    const std::byte* next = data.data();
    std::size_t left = data.size();
    while (left > 0) {
        const ssize_t written = ::pwrite(fd, next, left, static_cast<off_t>(offset));
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            // A write that makes no progress without an error would loop for ever; call it a full device.
            const int error = written < 0 ? errno : ENOSPC;
            throw FileError("Cannot write to %1 at byte " + std::to_string(offset), m_file.path(), osReason(error));
        }
        next += written;
        left -= static_cast<std::size_t>(written);
        offset += written;
    }
    // Let the device write what is cached while we go on writing, instead of leaving it all to the one flush at
    // the end. This only starts the writing and waits for nothing; any error it meets is reported by the flush.
    m_handles->bytesSinceWriteback += static_cast<std::int64_t>(data.size());
    if (m_handles->bytesSinceWriteback >= kWritebackStep) {
        m_handles->bytesSinceWriteback = 0;
        ::sync_file_range(fd, 0, 0, SYNC_FILE_RANGE_WRITE);
    }
}

void FileChannel::flush() {
    requireOpen("Cannot flush %1 to the storage device");
    int result = 0;
    do {
        result = ::fsync(m_handles->file.get());
    } while (result != 0 && errno == EINTR);
    if (result != 0) {
        throw FileError("Cannot flush %1 to the storage device", m_file.path(), osReason(errno));
    }
}

void FileChannel::closeAndDelete() {
    requireOpen("Cannot delete %1");
    const auto handles = std::move(m_handles);
    // On Linux the descriptor is released even when close() reports EINTR, so it is never retried.
    if (::close(handles->file.release()) != 0 && errno != EINTR) {
        throw FileError("Cannot close %1", m_file.path(), osReason(errno));
    }
    const int folderFd = handles->folder.get();
    struct stat info {};
    if (::fstatat(folderFd, m_file.name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
        throw FileError("Cannot delete %1", m_file.path(), reasonForMissing(errno));
    }
    if (identityOf(info) != m_file.identity) {
        throw FileError("Cannot delete %1", m_file.path(), kReplaced);
    }
    if (::unlinkat(folderFd, m_file.name.c_str(), 0) != 0) {
        throw FileError("Cannot delete %1", m_file.path(), osReason(errno));
    }
}

void FileChannel::close() {
    if (!isOpen()) {
        return;
    }
    const auto handles = std::move(m_handles);
    if (::close(handles->file.release()) != 0 && errno != EINTR) {
        throw FileError("Cannot close %1", m_file.path(), osReason(errno));
    }
}

} // namespace ferrowyn
