#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>

namespace ferrowyn {

// One open file, written in place. The caller owns the channel; whoever opens it may hand it on, and closing a
// channel that is not open does nothing. Every failure raises FileError. Lengths and offsets are 64-bit.
class FileChannel {
public:
    FileChannel() = default;
    ~FileChannel();
    FileChannel(const FileChannel&) = delete;
    FileChannel& operator=(const FileChannel&) = delete;

    // Opens `path` for reading and writing in binary mode, creating it empty when it is missing. Only a regular
    // file is accepted: a symbolic link is not followed, and a folder, device, pipe or socket is refused before
    // anything is written. A file whose permissions let nobody write is refused as well, whoever runs us.
    void open(const std::filesystem::path& path);
    bool isOpen() const noexcept;
    const std::filesystem::path& path() const noexcept { return m_path; }

    // The length of the open file, read afresh from the OS at each call.
    std::int64_t length() const;

    // Writes all of `data` at the 0-based `offset`; writing past the end makes the file longer.
    void writeAt(std::int64_t offset, std::span<const std::byte> data);

    // Pushes everything written so far to the storage device.
    void flush();

    // Closes the file. The channel is closed afterwards even when the OS reports a failure.
    void close();

private:
    void requireOpen(const char* action) const;
    void startWritebackNowAndThen(std::int64_t bytesWritten);

    std::filesystem::path m_path;
    std::intptr_t m_handle = -1; // a file descriptor on POSIX, a HANDLE on Windows
    std::int64_t m_bytesSinceWriteback = 0;
};

// Deletes the file named `path`.
void deleteFile(const std::filesystem::path& path);

} // namespace ferrowyn
