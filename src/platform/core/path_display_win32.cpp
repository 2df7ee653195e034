#include "platform/core/path_display.h"

namespace ferrowyn {

std::string displayText(const std::filesystem::path& path) {
    // The backslash is Windows's separator and never part of a name: it stays as it is.
    const std::wstring& wide = path.native();
    std::string shown;
    shown.reserve(wide.size());
    for (std::size_t at = 0; at < wide.size(); ++at) {
        char32_t character = wide[at];
        const bool pair = character >= 0xD800 && character <= 0xDBFF && at + 1 < wide.size() &&
                          wide[at + 1] >= 0xDC00 && wide[at + 1] <= 0xDFFF;
        if (pair) {
            character = 0x10000 + ((character - 0xD800) << 10) + (wide[++at] - 0xDC00);
        }
        appendShown(shown, character);
    }
    return shown;
}

} // namespace ferrowyn
