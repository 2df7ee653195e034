#include "platform/core/failure_words.h"
#include "platform/core/file_error.h"
#include "platform/core/path_display.h"
#include "platform/core/stream_list.h"
#include "platform/core/win32/block_map_reading.h"
#include "platform/core/win32/channel_state.h"

#include <algorithm>
#include <string>
#include <vector>

// Writing the spaces, pushing them to the device, and overwriting what the file carries besides its contents.

namespace ferrowyn {
namespace {

// The named streams of the open file; none where the file system keeps none (FAT) or cannot list them.
std::vector<NamedStream> namedStreamsOf(HANDLE file) {
    std::vector<std::byte> list(64 * 1024);
    while (!GetFileInformationByHandleEx(file, FileStreamInfo, list.data(), static_cast<DWORD>(list.size()))) {
        if (lastError() != ERROR_MORE_DATA || list.size() >= (1u << 24)) {
            return {};
        }
        list.resize(list.size() * 2);
    }
    return parseStreamList(list);
}

} // namespace

std::int64_t FileChannel::length() const {
    requireOpen(words::kCannotReadLength);
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(m_handles->file.get(), &size)) {
        throw FileError(words::kCannotReadLength, m_file.path(), osReason(lastError()));
    }
    return size.QuadPart;
}

std::size_t FileChannel::writeWhatFits(std::int64_t offset, std::span<const std::byte> data) {
    requireOpen(words::kCannotWrite);
    std::size_t done = 0;
    while (done < data.size()) {
        const auto at = static_cast<std::uint64_t>(offset) + done;
        OVERLAPPED position{};
        position.Offset = static_cast<DWORD>(at & 0xFFFFFFFFu);
        position.OffsetHigh = static_cast<DWORD>(at >> 32);
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(data.size() - done, 1u << 30));
        DWORD written = 0;
        const bool wrote = WriteFile(m_handles->file.get(), data.data() + done, chunk, &written, &position);
        const int error = wrote ? 0 : lastError();
        // A write that makes no progress without an error would loop for ever: the disk is full, or the file
        // as long as its file system allows.
        if ((wrote && written == 0) || error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL ||
            error == ERROR_FILE_TOO_LARGE) {
            break;
        }
        if (!wrote) {
            throw FileError(std::string(words::kCannotWrite) + " at byte " + std::to_string(at), m_file.path(),
                            osReason(error));
        }
        done += written;
    }
    return done;
}

void FileChannel::writeAt(std::int64_t offset, std::span<const std::byte> data) {
    if (const std::size_t done = writeWhatFits(offset, data); done < data.size()) {
        throw FileError(std::string(words::kCannotWrite) + " at byte " +
                            std::to_string(offset + static_cast<std::int64_t>(done)),
                        m_file.path(), osReason(ERROR_DISK_FULL));
    }
}

void FileChannel::flush() {
    requireOpen(words::kCannotFlush);
    if (!FlushFileBuffers(m_handles->file.get())) {
        throw FileError(words::kCannotFlush, m_file.path(), osReason(lastError()));
    }
}

std::vector<Attachment> FileChannel::overwriteAttachments() {
    requireOpen(words::kCannotWrite);
    std::vector<Attachment> attachments;
    FileIdentity identity;
    BY_HANDLE_FILE_INFORMATION details{};
    readIdentity(m_handles->file.get(), Entry::File, identity, details);
    const std::int64_t unit = m_handles->opened.drive.allocationUnit;
    for (const NamedStream& stream : namedStreamsOf(m_handles->file.get())) {
        const std::wstring name(stream.name.begin(), stream.name.end());
        Attachment& attachment = attachments.emplace_back(Attachment{displayText(name), stream.size, {}, {}, {}});
        // Each stream is a file of its own to open; it must belong to this very file.
        const Handle open(CreateFileW((verbatimPath(m_file.path()) + name).c_str(), GENERIC_READ | GENERIC_WRITE,
                                      0, nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
        FileIdentity streamIdentity;
        BY_HANDLE_FILE_INFORMATION streamDetails{};
        if (!open.valid() || !readIdentity(open.get(), Entry::File, streamIdentity, streamDetails)) {
            attachment.failure = osReason(lastError());
            continue;
        }
        if (streamIdentity.file != identity.file || streamIdentity.fileHigh != identity.fileHigh) {
            attachment.failure = words::kLeadsElsewhere;
            continue;
        }
        attachment.before = readBlockMap(open.get(), unit);
        const std::string spaces(64 * 1024, ' ');
        for (std::int64_t at = 0; at < stream.size && attachment.failure.empty();) {
            OVERLAPPED position{};
            position.Offset = static_cast<DWORD>(static_cast<std::uint64_t>(at) & 0xFFFFFFFFu);
            position.OffsetHigh = static_cast<DWORD>(static_cast<std::uint64_t>(at) >> 32);
            DWORD written = 0;
            const auto piece = static_cast<DWORD>(std::min<std::int64_t>(stream.size - at, spaces.size()));
            if (!WriteFile(open.get(), spaces.data(), piece, &written, &position) || written == 0) {
                attachment.failure = osReason(lastError());
            }
            at += written;
        }
        if (attachment.failure.empty() && !FlushFileBuffers(open.get())) {
            attachment.failure = osReason(lastError());
        }
        attachment.after = readBlockMap(open.get(), unit);
    }
    return attachments;
}

} // namespace ferrowyn
