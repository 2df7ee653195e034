#include "platform/core/os_reason.h"
#include "platform/core/win32/windows_text.h"

#include <windows.h>

namespace ferrowyn {

std::string osReason(int errorNumber) {
    wchar_t* text = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, static_cast<DWORD>(errorNumber), MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                       reinterpret_cast<LPWSTR>(&text), 0, nullptr);
    if (length == 0 || text == nullptr) {
        return "error " + std::to_string(errorNumber);
    }
    std::wstring wide(text, length);
    LocalFree(text);
    // The system's texts end with a full stop and a line break, which a message shows better without.
    while (!wide.empty() &&
           (wide.back() == L'\n' || wide.back() == L'\r' || wide.back() == L' ' || wide.back() == L'.')) {
        wide.pop_back();
    }
    return utf8Of(wide);
}

} // namespace ferrowyn
