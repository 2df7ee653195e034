#include "platform/core/path_display.h"

namespace ferrowyn {

std::string displayText(const std::filesystem::path& path) {
    // A name is UTF-16, perhaps with halves of pairs alone; the backslash is Windows's separator.
    const std::wstring& wide = path.native();
    const auto units = utf16Units({reinterpret_cast<const char16_t*>(wide.data()), wide.size()});
    return displayUnits(units, true);
}

} // namespace ferrowyn
