#include "platform/core/path_display.h"

namespace ferrowyn {

std::string displayText(const std::filesystem::path& path) {
    // A name is UTF-16, perhaps with halves of pairs alone; the backslash is Windows's separator.
    const std::wstring& wide = path.native();
    std::vector<PathUnit> units;
    units.reserve(wide.size());
    for (std::size_t at = 0; at < wide.size(); ++at) {
        char32_t unit = wide[at];
        const bool pair = unit >= 0xD800 && unit <= 0xDBFF && at + 1 < wide.size() && wide[at + 1] >= 0xDC00 &&
                          wide[at + 1] <= 0xDFFF;
        if (pair) {
            units.push_back({0x10000 + ((unit - 0xD800) << 10) + (wide[++at] - 0xDC00), PathUnit::Character});
        } else {
            const bool half = unit >= 0xD800 && unit <= 0xDFFF;
            units.push_back({unit, half ? PathUnit::LoneHalf : PathUnit::Character});
        }
    }
    return displayUnits(units, true);
}

} // namespace ferrowyn
