#pragma once

#include <string>
#include <windows.h>

namespace ferrowyn {

// UTF-16 text from the Windows API as UTF-8; a lone surrogate becomes U+FFFD. Windows only.
inline std::string utf8Of(const std::wstring& wide) {
    if (wide.empty()) {
        return {};
    }
    const int wideSize = static_cast<int>(wide.size());
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideSize, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideSize, utf8.data(), size, nullptr, nullptr);
    return utf8;
}

} // namespace ferrowyn
