#pragma once

#include "platform/core/chosen_file.h"

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

// The identity and details of an open file or folder; false with GetLastError() set when they cannot be read.
bool informationOf(HANDLE handle, FileIdentity& identity, BY_HANDLE_FILE_INFORMATION& details);

} // namespace ferrowyn
