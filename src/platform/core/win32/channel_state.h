#pragma once

#include "platform/core/file_channel.h"
#include "platform/core/win32/file_access.h"

namespace ferrowyn {

// The channel's own state on Windows, shared by its four files: opening (file_channel_open.cpp), what is known of
// the file (file_channel_facts.cpp), writing (file_channel_write.cpp) and deleting (file_channel_delete.cpp).
struct FileChannel::Handles {
    Handle folder;
    Handle file; // open for writing and shared with nobody from the start
    OpenedFile opened;
};

inline int lastError() {
    return static_cast<int>(GetLastError());
}

// Everything known of the file open as `file`, the chosen one, before anything is written.
OpenedFile factsOf(HANDLE file, const ChosenFile& chosen);

// Where neither a map nor the drive shows where a sparse file's holes are (Wine shows neither), every byte is
// written: true when its holes alone would fill the drive.
bool holesWouldFill(HANDLE file, const OpenedFile& opened, const ChosenFile& chosen);

} // namespace ferrowyn
