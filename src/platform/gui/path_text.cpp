#include "platform/gui/path_text.h"
#include "platform/core/file_error.h"
#include "platform/core/path_display.h"

#include <algorithm>
#include <type_traits>

namespace ferrowyn {

QString shownText(const std::filesystem::path& path) {
    // Most names are ASCII, which every form writes alike: their units are copied as they are.
    const auto& native = path.native();
    using Unit = std::make_unsigned_t<std::filesystem::path::value_type>;
    if (!native.empty() &&
        std::all_of(native.begin(), native.end(), [](auto unit) { return static_cast<Unit>(unit) < 0x80; })) {
        QString text(static_cast<qsizetype>(native.size()), Qt::Uninitialized);
        std::transform(native.begin(), native.end(), reinterpret_cast<char16_t*>(text.data()),
                       [](auto unit) { return static_cast<char16_t>(unit); });
        return text;
    }
    return QString::fromStdString(displayText(path));
}

std::filesystem::path normalFolderPath(const std::filesystem::path& path) {
    std::error_code error;
    std::filesystem::path folder = std::filesystem::absolute(path, error);
    if (error) {
        throw FileError("Cannot find the folder %1", path, error.message());
    }
    folder = folder.lexically_normal().make_preferred();
    // "/tmp/" keeps an empty last element; a root keeps its separator.
    if (folder.has_relative_path() && !folder.has_filename()) {
        folder = folder.parent_path();
    }
    return folder;
}

std::filesystem::path workingFolder() {
    std::error_code gone;
    auto folder = std::filesystem::current_path(gone);
    return gone ? std::filesystem::path() : normalFolderPath(folder);
}

} // namespace ferrowyn
