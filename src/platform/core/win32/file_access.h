#pragma once

#include "platform/core/chosen_file.h"

#include <filesystem>
#include <string>
#include <utility>
#include <windows.h>

namespace ferrowyn {

// A handle that is closed when it goes out of scope. Windows only.
class Handle {
public:
    Handle() = default;
    explicit Handle(HANDLE handle) : m_handle(handle) {}
    ~Handle() { reset(); }
    Handle(Handle&& other) noexcept : m_handle(std::exchange(other.m_handle, INVALID_HANDLE_VALUE)) {}
    Handle& operator=(Handle&& other) noexcept {
        reset(std::exchange(other.m_handle, INVALID_HANDLE_VALUE));
        return *this;
    }

    bool valid() const { return m_handle != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return m_handle; }
    HANDLE release() { return std::exchange(m_handle, INVALID_HANDLE_VALUE); }
    void reset(HANDLE handle = INVALID_HANDLE_VALUE) {
        if (valid()) {
            CloseHandle(m_handle);
        }
        m_handle = handle;
    }

private:
    HANDLE m_handle = INVALID_HANDLE_VALUE;
};

// A path as Windows takes it without rewriting it: "\\?\C:\dir\name", so that a name ending in a dot or a
// space, or longer than the old limit, is exactly that name.
std::wstring verbatimPath(const std::filesystem::path& path);

// The identity and details of an open file or folder; false with GetLastError() set when they cannot be read.
enum class Entry { File, Folder };
bool readIdentity(HANDLE handle, Entry entry, FileIdentity& identity, BY_HANDLE_FILE_INFORMATION& details);

// True when `path` leads to the open `file` itself (the same file on the same volume), looked at for its
// attributes only, which no share mode refuses.
bool leadsTo(const std::filesystem::path& path, HANDLE file);

// Why the open file `file` is not the entry `name` of the open folder `folder` itself, exactly as named (case
// and trailing dots included), or an empty text when it is: Windows may have reached another file (a link it
// followed, a name it rewrote, a short 8.3 name), or one on another volume. Both paths are the file system's own,
// so a folder reached through a junction compares as itself.
std::string refusalForName(HANDLE file, HANDLE folder, const std::filesystem::path& name);

// A time as Windows counts it, in 100-nanosecond ticks since 1601. Both the choice and the overwrite read a
// file's times through this one function, so that the same time always compares equal.
FileTime fileTimeOf(std::int64_t ticks);
FileTime fileTimeOf(const FILETIME& time);

// The file's length, last write and last change, from its handle; false with GetLastError() set.
struct FileTimes {
    std::int64_t length = 0;
    FileTime modified;
    FileTime changed;
};
bool readTimes(HANDLE handle, FileTimes& times);

} // namespace ferrowyn
