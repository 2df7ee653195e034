#include "platform/gui/path_text.h"
#include "platform/core/file_error.h"
#include "platform/core/path_display.h"

namespace ferrowyn {

QString shownText(const std::filesystem::path& path) {
    return QString::fromStdString(displayText(path));
}

QString breakable(const QString& text) {
    // A zero-width space lets a line break where it stands; a name never shows one of its own (it is escaped).
    constexpr int kLongestRun = 16;
    QString result;
    result.reserve(text.size() + text.size() / kLongestRun);
    int run = 0;
    for (const QChar c : text) {
        result += c;
        run = c.isSpace() ? 0 : run + 1;
        if (run >= kLongestRun && !c.isHighSurrogate()) {
            result += QChar(0x200B);
            run = 0;
        }
    }
    return result;
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
