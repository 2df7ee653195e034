#include "platform/core/path_display.h"
#include "platform/core/windows_text.h"

#include <windows.h>

namespace ferrowyn {

std::string utf8Of(const std::wstring& wide) {
    if (wide.empty()) {
        return {};
    }
    const int wideSize = static_cast<int>(wide.size());
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideSize, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideSize, utf8.data(), size, nullptr, nullptr);
    return utf8;
}

std::string displayText(const std::filesystem::path& path) {
    return utf8Of(path.native());
}

} // namespace ferrowyn
