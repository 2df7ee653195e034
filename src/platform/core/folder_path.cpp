#include "platform/core/folder_path.h"
#include "platform/core/failure_words.h"
#include "platform/core/file_error.h"
#include "platform/core/folder_listing.h"

#include <algorithm>
#include <cwctype>

namespace ferrowyn {

std::filesystem::path normalFolderPath(const std::filesystem::path& path) {
    // This library's Windows paths do not know a network share's "\\server\share" as a root, and absolute()
    // would make it a folder of the current drive: a share's path is kept as it is given.
    const auto& text = path.native();
    constexpr bool windows = std::filesystem::path::preferred_separator == '\\';
    const auto separator = [](auto c) { return c == '\\' || c == '/'; };
    if (windows && text.size() > 2 && separator(text[0]) && separator(text[1])) {
        auto share = text;
        std::replace(share.begin(), share.end(), '/', '\\');
        while (share.size() > 2 && share.back() == '\\') {
            share.pop_back();
        }
        return share;
    }
    std::error_code error;
    std::filesystem::path folder = std::filesystem::absolute(path, error);
    if (error) {
        throw FileError(words::kCannotFindFolder, path, error.message());
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

bool isWithin(const std::filesystem::path& path, const std::filesystem::path& folder) {
    const auto trailing = [](const std::filesystem::path& p) { return p.has_filename() ? p : p.parent_path(); };
    const auto inner = trailing(path);
    const auto outer = trailing(folder);
    const auto sameName = [](const std::filesystem::path& a, const std::filesystem::path& b) {
        if constexpr (kWidePaths) {
            return std::equal(a.native().begin(), a.native().end(), b.native().begin(), b.native().end(),
                              [](wchar_t x, wchar_t y) { return std::towlower(x) == std::towlower(y); });
        }
        return a == b;
    };
    return std::mismatch(outer.begin(), outer.end(), inner.begin(), inner.end(), sameName).first == outer.end();
}

std::vector<std::filesystem::path> chainOfFolders(const std::filesystem::path& root,
                                                  const std::filesystem::path& folder) {
    std::filesystem::path step = root;
    std::vector<std::filesystem::path> chain{step};
    for (const auto& name : folder.lexically_relative(root)) {
        if (!name.empty() && name != ".") {
            step /= name;
            chain.push_back(step);
        }
    }
    return chain;
}

std::filesystem::path nearestListableFolder(const std::filesystem::path& folder) {
    for (std::filesystem::path nearest = folder;; nearest = nearest.parent_path()) {
        if (canListFolder(nearest)) {
            return nearest;
        }
        if (!nearest.has_relative_path()) {
            return {};
        }
    }
}

} // namespace ferrowyn
