#include "platform/gui/sorted_names.h"
#include "platform/gui/path_text.h"

#include <algorithm>

namespace ferrowyn {

std::vector<ShownName> sortedForShowing(const std::vector<std::filesystem::path>& names) {
    std::vector<ShownName> shown;
    shown.reserve(names.size());
    for (const auto& name : names) {
        shown.push_back({shownText(name), name});
    }
    std::sort(shown.begin(), shown.end(), [](const ShownName& a, const ShownName& b) {
        const int order = a.text.compare(b.text, Qt::CaseInsensitive);
        if (order != 0) {
            return order < 0;
        }
        return a.text != b.text ? a.text < b.text : a.name < b.name;
    });
    return shown;
}

} // namespace ferrowyn
