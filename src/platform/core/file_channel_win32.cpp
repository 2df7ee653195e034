#include "platform/core/file_channel.h"
#include "platform/core/file_error.h"

#include <algorithm>
#include <string>
#include <windows.h>

namespace ferrowyn {
namespace {

constexpr const char* kOpenAction = "Cannot open %1 for writing";

HANDLE handleOf(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
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

int lastError() {
    return static_cast<int>(GetLastError());
}

} // namespace

FileChannel::~FileChannel() {
    if (isOpen()) {
        CloseHandle(handleOf(m_handle));
    }
}

bool FileChannel::isOpen() const noexcept {
    return m_handle != reinterpret_cast<std::intptr_t>(INVALID_HANDLE_VALUE);
}

void FileChannel::open(const std::filesystem::path& path) {
    if (isOpen()) {
        throw FileError(kOpenAction, path, "the channel is already open");
    }
    // Look before opening, so that a link or a read-only file is refused before anything is touched; the check
    // of the open handle below is the one that counts, since the path may change in between.
    if (const DWORD attributes = GetFileAttributesW(path.c_str()); attributes != INVALID_FILE_ATTRIBUTES) {
        if (const auto refusal = refusalFor(attributes); !refusal.empty()) {
            throw FileError(kOpenAction, path, refusal);
        }
    }
    // Opening the reparse point itself, never what it leads to.
    const HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                      OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        throw FileError(kOpenAction, path, osReason(lastError()));
    }
    std::string refusal;
    FILE_ATTRIBUTE_TAG_INFO info{};
    if (GetFileType(handle) != FILE_TYPE_DISK) {
        refusal = "it is not a regular file";
    } else if (!GetFileInformationByHandleEx(handle, FileAttributeTagInfo, &info, sizeof(info))) {
        refusal = osReason(lastError());
    } else {
        refusal = refusalFor(info.FileAttributes);
    }
    if (!refusal.empty()) {
        CloseHandle(handle);
        throw FileError(kOpenAction, path, refusal);
    }
    m_handle = reinterpret_cast<std::intptr_t>(handle);
    m_path = path;
}

void FileChannel::requireOpen(const char* action) const {
    if (!isOpen()) {
        throw FileError(action, m_path, osReason(ERROR_INVALID_HANDLE));
    }
}

std::int64_t FileChannel::length() const {
    requireOpen("Cannot read the length of %1");
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(handleOf(m_handle), &size)) {
        throw FileError("Cannot read the length of %1", m_path, osReason(lastError()));
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
        const bool done = WriteFile(handleOf(m_handle), next, chunk, &written, &at);
        if (!done || written == 0) {
            // A write that makes no progress without an error would loop for ever; call it a full disk.
            const int error = done ? ERROR_DISK_FULL : lastError();
            throw FileError("Cannot write to %1 at byte " + std::to_string(offset), m_path, osReason(error));
        }
        next += written;
        left -= written;
        offset += written;
    }
}

void FileChannel::flush() {
    requireOpen("Cannot flush %1 to the storage device");
    if (!FlushFileBuffers(handleOf(m_handle))) {
        throw FileError("Cannot flush %1 to the storage device", m_path, osReason(lastError()));
    }
}

void FileChannel::close() {
    if (!isOpen()) {
        return;
    }
    const HANDLE handle = handleOf(m_handle);
    m_handle = reinterpret_cast<std::intptr_t>(INVALID_HANDLE_VALUE);
    if (!CloseHandle(handle)) {
        throw FileError("Cannot close %1", m_path, osReason(lastError()));
    }
}

void deleteFile(const std::filesystem::path& path) {
    if (!DeleteFileW(path.c_str())) {
        throw FileError("Cannot delete %1", path, osReason(lastError()));
    }
}

} // namespace ferrowyn
