#include "platform/core/file_channel.h"
#include "platform/core/file_error.h"

#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace ferrowyn {
namespace {

constexpr const char* kOpenAction = "Cannot open %1 for writing";

// How much is written before the device is asked to start writing it out.
constexpr std::int64_t kWritebackStep = 8 * 1024 * 1024;

// Why a path that exists is not something we overwrite, or an empty text when it is a regular file.
std::string refusalFor(const struct stat& info) {
    if (S_ISLNK(info.st_mode)) {
        return "it is a symbolic link";
    }
    if (S_ISDIR(info.st_mode)) {
        return "it is a folder";
    }
    if (!S_ISREG(info.st_mode)) {
        return "it is not a regular file";
    }
    // The read-only permission binds everyone here, root included, as the read-only attribute does on Windows.
    if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
        return "the file is read-only";
    }
    return {};
}

int descriptorOf(std::intptr_t handle) {
    return static_cast<int>(handle);
}

} // namespace

FileChannel::~FileChannel() {
    if (isOpen()) {
        ::close(descriptorOf(m_handle));
    }
}

bool FileChannel::isOpen() const noexcept {
    return m_handle >= 0;
}

void FileChannel::open(const std::filesystem::path& path) {
    if (isOpen()) {
        throw FileError(kOpenAction, path, "the channel is already open on " + m_path.string());
    }
    // Look before opening, so that a device or a pipe is never even opened; the check after opening below is
    // the one that counts, since the path may change in between.
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0) {
        if (const auto refusal = refusalFor(info); !refusal.empty()) {
            throw FileError(kOpenAction, path, refusal);
        }
    }

    int fd = -1;
    do {
        fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        const int error = errno;
        if (error == ELOOP && ::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
            throw FileError(kOpenAction, path, "it is a symbolic link");
        }
        throw FileError(kOpenAction, path, osReason(error));
    }

    std::string refusal;
    if (::fstat(fd, &info) != 0) {
        refusal = osReason(errno);
    } else {
        refusal = refusalFor(info);
    }
    if (refusal.empty()) {
        const int flags = ::fcntl(fd, F_GETFL);
        if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
            refusal = osReason(errno);
        }
    }
    if (!refusal.empty()) {
        ::close(fd);
        throw FileError(kOpenAction, path, refusal);
    }
    m_handle = fd;
    m_bytesSinceWriteback = 0;
    m_path = path;
}

void FileChannel::requireOpen(const char* action) const {
    if (!isOpen()) {
        throw FileError(action, m_path, osReason(EBADF));
    }
}

std::int64_t FileChannel::length() const {
    requireOpen("Cannot read the length of %1");
    struct stat info {};
    if (::fstat(descriptorOf(m_handle), &info) != 0) {
        throw FileError("Cannot read the length of %1", m_path, osReason(errno));
    }
    return static_cast<std::int64_t>(info.st_size);
}

void FileChannel::writeAt(std::int64_t offset, std::span<const std::byte> data) {
    requireOpen("Cannot write to %1");
    const std::byte* next = data.data();
    std::size_t left = data.size();
    while (left > 0) {
        const ssize_t written = ::pwrite(descriptorOf(m_handle), next, left, static_cast<off_t>(offset));
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            // A write that makes no progress without an error would loop for ever; call it a full device.
            const int error = written < 0 ? errno : ENOSPC;
            throw FileError("Cannot write to %1 at byte " + std::to_string(offset), m_path, osReason(error));
        }
        next += written;
        left -= static_cast<std::size_t>(written);
        offset += written;
    }
    startWritebackNowAndThen(static_cast<std::int64_t>(data.size()));
}

void FileChannel::startWritebackNowAndThen(std::int64_t bytesWritten) {
    m_bytesSinceWriteback += bytesWritten;
    if (m_bytesSinceWriteback < kWritebackStep) {
        return;
    }
    m_bytesSinceWriteback = 0;
    // Let the device write what is cached while we go on writing, instead of leaving it all to the one flush at
    // the end. This only starts the writing and waits for nothing; it is not a flush, and any error it meets is
    // reported by the flush.
    ::sync_file_range(descriptorOf(m_handle), 0, 0, SYNC_FILE_RANGE_WRITE);
}

void FileChannel::flush() {
    requireOpen("Cannot flush %1 to the storage device");
    int result = 0;
    do {
        result = ::fsync(descriptorOf(m_handle));
    } while (result != 0 && errno == EINTR);
    if (result != 0) {
        throw FileError("Cannot flush %1 to the storage device", m_path, osReason(errno));
    }
}

void FileChannel::close() {
    if (!isOpen()) {
        return;
    }
    const int fd = descriptorOf(m_handle);
    m_handle = -1;
    // On Linux the descriptor is released even when close() reports EINTR, so it is never retried.
    if (::close(fd) != 0 && errno != EINTR) {
        throw FileError("Cannot close %1", m_path, osReason(errno));
    }
}

void deleteFile(const std::filesystem::path& path) {
    if (::unlink(path.c_str()) != 0) {
        throw FileError("Cannot delete %1", path, osReason(errno));
    }
}

} // namespace ferrowyn
