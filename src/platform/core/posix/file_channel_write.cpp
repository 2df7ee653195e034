#include "platform/core/failure_words.h"
#include "platform/core/file_error.h"
#include "platform/core/path_display.h"
#include "platform/core/posix/channel_state.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

// Writing the spaces, pushing them to the device, and overwriting what the file carries besides its contents.

namespace ferrowyn {
namespace {

// How much is written before the device is asked to start writing it out.
constexpr std::int64_t kWritebackStep = 8 * 1024 * 1024;

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

} // namespace

std::int64_t FileChannel::length() const {
    requireOpen(words::kCannotReadLength);
    struct stat info {};
    if (::fstat(m_handles->file.get(), &info) != 0) {
        throw FileError(words::kCannotReadLength, m_file.path(), osReason(errno));
    }
    return static_cast<std::int64_t>(info.st_size);
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

} // namespace ferrowyn
