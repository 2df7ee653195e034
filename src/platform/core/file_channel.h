#pragma once

#include "platform/core/chosen_file.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace ferrowyn {

// One chosen file, open for writing in place. The caller owns the channel; closing a channel that is not open
// does nothing. Every failure raises FileError. Lengths and offsets are 64-bit.
class FileChannel {
public:
    FileChannel();
    ~FileChannel();
    FileChannel(const FileChannel&) = delete;
    FileChannel& operator=(const FileChannel&) = delete;

    // Opens the chosen file for reading and writing, reached through its folder without following links, and
    // takes an exclusive lock on it for as long as it is open. Nothing is ever created. Refused before anything
    // is written: a file that no longer exists, a folder or file that is not the one chosen, anything but a
    // regular file, a file nobody may write (whoever runs us), a file that is not on a storage device, and a
    // file that another program holds locked.
    void open(const ChosenFile& file);
    bool isOpen() const noexcept { return m_handles != nullptr; }

    // Why overwriting this file in place may leave its old contents on the device (a file system that writes
    // changes to new places, a compressed file), or an empty text when the overwrite reaches them.
    std::string whyOldContentsMayRemain() const;

    // The length of the open file, read afresh from the OS at each call.
    std::int64_t length() const;

    // Writes all of `data` at the 0-based `offset`; writing past the end makes the file longer.
    void writeAt(std::int64_t offset, std::span<const std::byte> data);

    // Pushes everything written so far to the storage device.
    void flush();

    // Closes the file, then deletes it through the folder it was opened in, if the name there still leads to it.
    // The channel is closed afterwards, also when this fails.
    void closeAndDelete();

    // Closes the file without deleting it. The channel is closed afterwards even when the OS reports a failure.
    void close();

private:
    struct Handles;
    void requireOpen(const char* action) const;

    std::unique_ptr<Handles> m_handles; // the OS's own
    ChosenFile m_file;
};

} // namespace ferrowyn
