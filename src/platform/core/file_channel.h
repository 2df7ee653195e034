#pragma once

#include "platform/core/chosen_file.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace ferrowyn {

// Bytes [begin, end) of a file.
struct ByteRange {
    std::int64_t begin = 0;
    std::int64_t end = 0;
};

// One chosen file, open to be overwritten in place. The caller owns the channel; closing a channel that is not
// open does nothing. Every failure raises FileError. Lengths and offsets are 64-bit.
class FileChannel {
public:
    FileChannel();
    ~FileChannel();
    FileChannel(const FileChannel&) = delete;
    FileChannel& operator=(const FileChannel&) = delete;

    // Opens the chosen file, reached through its folder without following links, and looks at it without
    // changing anything. Nothing is ever created. Refused: a file that no longer exists, a folder or file that is
    // not the one chosen, a file whose length or time differ from what was shown, anything but a regular file, a
    // file nobody may write (whoever runs us) or marked unchangeable, a file that is not on a storage device, a
    // file another program holds locked, and a file whose folder would refuse its delete.
    void open(const ChosenFile& file);
    bool isOpen() const noexcept { return m_handles != nullptr; }

    // What the user is told before anything is written: how many other names share the file's contents, and
    // why overwriting it in place may leave its old contents on the device (empty when nothing says so).
    int otherNames() const;
    std::string whyOldContentsMayRemain() const;

    // Makes the open file writable and takes an exclusive lock on it for as long as it is open. Refused when
    // another program has it open for a lease, or holds a lock on it.
    void lockForWriting();

    // The length of the open file, read afresh from the OS at each call.
    std::int64_t length() const;

    // The parts of the first `end` bytes that hold data, in order; the holes of a sparse file are left out where
    // the file system tells them apart.
    std::vector<ByteRange> dataRanges(std::int64_t end) const;

    // Writes all of `data` at the 0-based `offset`; writing past the end makes the file longer.
    void writeAt(std::int64_t offset, std::span<const std::byte> data);
    // Writes as much of `data` at `offset` as the device has room for, and returns how much that was.
    std::size_t writeWhatFits(std::int64_t offset, std::span<const std::byte> data);

    // Pushes everything written so far to the storage device.
    void flush();

    // After the flush: why the first `oldEnd` bytes, the old contents, may still be on the device, read from
    // where the file's blocks lie now against where they lay when it was opened; empty when every old byte was
    // overwritten where it lay. Raises FileError when some of the old contents no longer belong to the file.
    std::string whyOldContentsMayRemainNow(std::int64_t oldEnd) const;

    // Gives the file a fresh name in its folder, checks that the name leads to it, closes it and deletes it by
    // that name, so that no other file can be deleted in its place. The channel is closed afterwards, also when
    // this fails; the message then says where the overwritten file is.
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
