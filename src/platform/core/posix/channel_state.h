#pragma once

#include "platform/core/file_channel.h"
#include "platform/core/posix/file_access.h"

#include <cstdint>
#include <sys/stat.h>

namespace ferrowyn {

// The channel's own state on Linux, shared by its four files: opening (file_channel_open.cpp), what is known of
// the file (file_channel_facts.cpp), writing (file_channel_write.cpp) and deleting (file_channel_delete.cpp).
struct FileChannel::Handles {
    Descriptor folder;
    Descriptor file; // read-only until openForWriting
    OpenedFile opened;
    std::int64_t bytesSinceWriteback = 0;
    int fullBecause = 0; // why the last write stopped short: ENOSPC, EDQUOT or EFBIG
};

// Everything known of the file open as `fd`, named `name` in the open folder `folderFd`, before anything is
// written; `details` are the open file's own.
OpenedFile factsOf(int folderFd, int fd, const std::filesystem::path& name, const struct statx& details);

} // namespace ferrowyn
