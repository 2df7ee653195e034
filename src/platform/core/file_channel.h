#pragma once

#include "platform/core/attachment.h"
#include "platform/core/block_map.h"
#include "platform/core/chosen_file.h"
#include "platform/core/drive_facts.h"
#include "platform/core/file_holders.h"
#include "platform/core/storage.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace ferrowyn {

// What the channel learned of the chosen file when it opened it, before anything was written.
struct OpenedFile {
    int otherNames = 0;                                 // other names that share the file's contents (hard links)
    std::vector<std::filesystem::path> otherNamesFound; // those of them in the same folder
    DriveFacts drive;
    std::optional<BlockMap> mapBefore; // missing where the file system cannot tell
    StorageFacts storage;              // the drives under the file system
    std::vector<FileHolder> holders;   // the other programs that have it open, as far as they can be seen
};

// One chosen file, open to be overwritten in place. It gathers facts and does what it is told; what they mean
// for the user is the verdict's to say. The caller owns the channel; closing a channel that is not open does
// nothing. Every failure raises FileError. Lengths and offsets are 64-bit.
class FileChannel {
public:
    FileChannel();
    ~FileChannel();
    FileChannel(const FileChannel&) = delete;
    FileChannel& operator=(const FileChannel&) = delete;

    // Opens the chosen file for reading, reached through its folder without following links, and gathers what
    // is known of it. It writes nothing, though on Windows the file is held exclusively from here on. Nothing is
    // ever created. Refused: a file that no longer exists, a folder or file that is not the one chosen, a file
    // whose length or times differ from what was shown, anything but a regular file, a file nobody may write
    // (whoever runs us) or marked unchangeable, a file that is not on a storage device, a file another program
    // holds locked (naming the programs that hold it, where they can be seen), and a file whose folder would
    // refuse its delete.
    void open(const ChosenFile& file);
    bool isOpen() const noexcept { return m_handles != nullptr; }
    // Valid while the channel is open.
    const OpenedFile& opened() const;

    // Opens the very file already open (never by its name again) for writing, and takes an exclusive lock on it
    // for as long as it is open. Refused when its length or times are no longer those that were shown (another
    // program changed it while the user was asked), when another program has it open for a lease, or holds a
    // lock on it (naming those programs, where they can be seen).
    void openForWriting();

    // The length of the open file, read afresh from the OS at each call.
    std::int64_t length() const;

    // The parts of the first `end` bytes that hold old contents, in order: where the map before gives them a
    // place (written or not), else where the file system says there is data; the holes of a sparse file are
    // left out.
    std::vector<ByteRange> rangesToOverwrite(std::int64_t end) const;

    // Writes all of `data` at the 0-based `offset`; writing past the end makes the file longer.
    void writeAt(std::int64_t offset, std::span<const std::byte> data);
    // Writes as much of `data` at `offset` as the device has room for, and returns how much that was.
    std::size_t writeWhatFits(std::int64_t offset, std::span<const std::byte> data);

    // Pushes everything written so far to the storage device.
    void flush();

    // Where the file's blocks lie now, as the device has them; missing where the file system cannot tell.
    std::optional<BlockMap> blockMapNow() const;

    // Overwrites what the file carries besides its contents with spaces of the same length where it lies,
    // pushes that to the device, then removes it; returns each, with why it could not be done where it could not.
    std::vector<Attachment> overwriteAttachments();

    // Gives the file a fresh name in its folder, checks that the name leads to it, deletes it by that name while
    // it is still open, and checks that it was this file that lost its name. The channel is closed afterwards,
    // also when this fails; the message then says where the overwritten file is, or which file went instead.
    void closeAndDelete();

    // Closes the file without deleting it. The channel is closed afterwards even when the OS reports a failure.
    void close();

private:
    struct Handles;
    void requireOpen(const char* action) const;
    // Refuses what no system opens: a second file on an open channel, and a name that is not one name.
    void refuseWhatNeverOpens(const ChosenFile& file) const;

    std::unique_ptr<Handles> m_handles; // the OS's own
    ChosenFile m_file;
};

} // namespace ferrowyn
