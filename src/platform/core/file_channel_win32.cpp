#include "platform/core/file_channel.h"
#include "platform/core/file_error.h"
#include "platform/core/windows_handle.h"

#include <algorithm>
#include <string>

namespace ferrowyn {

struct FileChannel::Handles {
    Handle folder;
    Handle file;
    std::string oldContentsMayRemain;
};

namespace {

constexpr const char* kOpenAction = "Cannot open %1 for writing";
constexpr const char* kReplaced = "it was replaced since it was selected";

int lastError() {
    return static_cast<int>(GetLastError());
}

// Why a file with these attributes is not something we overwrite, or an empty text when it is.
std::string refusalFor(DWORD attributes) {
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        return "it is a symbolic link";
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return "it is a folder";
    }
    if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        return "the file is read-only";
    }
    return {};
}

std::string reasonFor(int error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return "it no longer exists";
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return "it is locked by another program";
    default:
        return osReason(error);
    }
}

// Where an overwrite in place may not reach the old contents: ReFS writes changes to new places, and NTFS keeps
// compressed, sparse and encrypted files in forms of its own.
std::string oldContentsMayRemain(HANDLE file, DWORD attributes) {
    wchar_t fileSystem[MAX_PATH + 1] = {};
    if (GetVolumeInformationByHandleW(file, nullptr, 0, nullptr, nullptr, nullptr, fileSystem, MAX_PATH + 1) &&
        std::wstring(fileSystem) == L"ReFS") {
        return "its file system (ReFS) writes every change to a new place";
    }
    if ((attributes & FILE_ATTRIBUTE_COMPRESSED) != 0) {
        return "the file is compressed";
    }
    if ((attributes & FILE_ATTRIBUTE_SPARSE_FILE) != 0) {
        return "the file is sparse";
    }
    if ((attributes & FILE_ATTRIBUTE_ENCRYPTED) != 0) {
        return "the file is encrypted";
    }
    return {};
}

} // namespace

FileChannel::FileChannel() = default;
FileChannel::~FileChannel() = default;

void FileChannel::open(const ChosenFile& file) {
    const auto path = file.path();
    if (isOpen()) {
        throw FileError(kOpenAction, path, "the channel is already open");
    }
    const auto refuse = [&](const std::string& reason) { throw FileError(kOpenAction, path, reason); };

    // The folder is held open without sharing deletion, so that it cannot be renamed or removed meanwhile.
    auto handles = std::make_unique<Handles>();
    handles->folder.reset(CreateFileW(file.folder.c_str(), FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    FileIdentity identity;
    BY_HANDLE_FILE_INFORMATION details{};
    if (!handles->folder.valid() || !informationOf(handles->folder.get(), identity, details)) {
        refuse(reasonFor(lastError()));
    }
    if (identity != file.folderIdentity) {
        refuse(kReplaced);
    }
    // Look before opening, so that a link or a read-only file is refused before anything is touched; the look at
    // the open handle below is the one that counts.
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        refuse(reasonFor(lastError()));
    }
    if (const auto refusal = refusalFor(attributes); !refusal.empty()) {
        refuse(refusal);
    }
    // Shared with nobody while it is open: this is the exclusive lock, and a file another program has open is
    // refused here. The reparse point itself is opened, never what it leads to.
    handles->file.reset(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!handles->file.valid()) {
        refuse(reasonFor(lastError()));
    }
    if (GetFileType(handles->file.get()) != FILE_TYPE_DISK) {
        refuse("it is not a regular file");
    }
    if (!informationOf(handles->file.get(), identity, details)) {
        refuse(osReason(lastError()));
    }
    if (const auto refusal = refusalFor(details.dwFileAttributes); !refusal.empty()) {
        refuse(refusal);
    }
    if (identity != file.identity) {
        refuse(kReplaced);
    }
    handles->oldContentsMayRemain = oldContentsMayRemain(handles->file.get(), details.dwFileAttributes);
    m_handles = std::move(handles);
    m_file = file;
}

std::string FileChannel::whyOldContentsMayRemain() const {
    return isOpen() ? m_handles->oldContentsMayRemain : std::string();
}

void FileChannel::requireOpen(const char* action) const {
    if (!isOpen()) {
        throw FileError(action, m_file.path(), osReason(ERROR_INVALID_HANDLE));
    }
}

std::int64_t FileChannel::length() const {
    requireOpen("Cannot read the length of %1");
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(m_handles->file.get(), &size)) {
        throw FileError("Cannot read the length of %1", m_file.path(), osReason(lastError()));
    }
    return size.QuadPart;
}

void FileChannel::writeAt(std::int64_t offset, std::span<const std::byte> data) {
    requireOpen("Cannot write to %1");
    const std::byte* next = data.data();
    std::size_t left = data.size();
    while (left > 0) {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(static_cast<std::uint64_t>(offset) & 0xFFFFFFFFu);
        at.OffsetHigh = static_cast<DWORD>(static_cast<std::uint64_t>(offset) >> 32);
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(left, 1u << 30));
        DWORD written = 0;
        const bool done = WriteFile(m_handles->file.get(), next, chunk, &written, &at);
        if (!done || written == 0) {
            // A write that makes no progress without an error would loop for ever; call it a full disk.
            const int error = done ? ERROR_DISK_FULL : lastError();
            throw FileError("Cannot write to %1 at byte " + std::to_string(offset), m_file.path(),
                            osReason(error));
        }
        next += written;
        left -= written;
        offset += written;
    }
}

void FileChannel::flush() {
    requireOpen("Cannot flush %1 to the storage device");
    if (!FlushFileBuffers(m_handles->file.get())) {
        throw FileError("Cannot flush %1 to the storage device", m_file.path(), osReason(lastError()));
    }
}

void FileChannel::closeAndDelete() {
    requireOpen("Cannot delete %1");
    // Deleted through the open handle, so it is this file that goes, whatever its name leads to by now: marked
    // for deletion, it is removed as the handle closes.
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = TRUE;
    if (!SetFileInformationByHandle(m_handles->file.get(), FileDispositionInfo, &disposition,
                                    sizeof disposition)) {
        throw FileError("Cannot delete %1", m_file.path(), osReason(lastError()));
    }
    close();
}

void FileChannel::close() {
    if (!isOpen()) {
        return;
    }
    const auto handles = std::move(m_handles);
    if (!CloseHandle(handles->file.release())) {
        throw FileError("Cannot close %1", m_file.path(), osReason(lastError()));
    }
}

} // namespace ferrowyn
