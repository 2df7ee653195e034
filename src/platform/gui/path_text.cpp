#include "platform/gui/path_text.h"
#include "platform/core/file_error.h"
#include "platform/core/path_display.h"

namespace ferrowyn {

QString shownText(const std::filesystem::path& path) {
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
