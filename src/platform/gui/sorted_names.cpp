#include "platform/gui/sorted_names.h"
#include "platform/gui/path_text.h"

#include <algorithm>

namespace ferrowyn {

QStringList sortedNames(const std::vector<std::filesystem::path>& names) {
    QStringList shown;
    shown.reserve(static_cast<qsizetype>(names.size()));
    for (const auto& name : names) {
        shown.append(toQString(name));
    }
    std::sort(shown.begin(), shown.end(), [](const QString& a, const QString& b) {
        const int order = a.compare(b, Qt::CaseInsensitive);
        return order != 0 ? order < 0 : a < b;
    });
    return shown;
}

} // namespace ferrowyn
