#include "platform/core/folder_listing.h"
#include "platform/core/chosen_file.h"
#include "platform/core/failure_words.h"
#include "platform/core/file_error.h"
#include "platform/core/folder_path.h"
#include "platform/core/win32/file_access.h"

namespace ferrowyn {
namespace {

struct FindCloser {
    HANDLE handle;
    ~FindCloser() { FindClose(handle); }
};

} // namespace

FolderListing listFolder(const std::filesystem::path& folder) {
    WIN32_FIND_DATAW entry{};
    // Verbatim, so that each name found is the name as it is on the disk, trailing dots and spaces included.
    const HANDLE found = FindFirstFileExW(verbatimPath(folder / L"*").c_str(), FindExInfoBasic, &entry,
                                          FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (found == INVALID_HANDLE_VALUE) {
        // A drive's root has no "." entry: an empty one finds nothing at all, and is simply empty.
        if (const DWORD error = GetLastError(); error != ERROR_FILE_NOT_FOUND) {
            throw FileError(words::kCannotOpenFolder, folder, osReason(static_cast<int>(error)));
        }
        return {};
    }
    const FindCloser closer{found};
    FolderListing listing;
    do {
        const std::wstring_view name = entry.cFileName;
        const DWORD attributes = entry.dwFileAttributes;
        // Hidden and system files are left out, as Explorer leaves them out. Hidden folders (AppData) are shown;
        // folders that are both hidden and system belong to Windows itself.
        const DWORD hiddenOrSystem = attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
        // A Unix name on a Wine drive may hold what Windows reads as a separator or a drive: it is left out,
        // since no path can lead to it alone.
        if (!isOneName(std::filesystem::path(name))) {
            continue;
        }
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            if (hiddenOrSystem != (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) {
                listing.folders.add(name);
            }
        } else if ((attributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE)) == 0 &&
                   hiddenOrSystem == 0) {
            listing.files.add(name);
        }
    } while (FindNextFileW(found, &entry));
    if (const DWORD error = GetLastError(); error != ERROR_NO_MORE_FILES) {
        throw FileError(words::kCannotReadFolder, folder, osReason(static_cast<int>(error)));
    }
    return listing;
}

bool canListFolder(const std::filesystem::path& folder) {
    WIN32_FIND_DATAW entry{};
    const HANDLE found = FindFirstFileExW(verbatimPath(folder / L"*").c_str(), FindExInfoBasic, &entry,
                                          FindExSearchNameMatch, nullptr, 0);
    if (found == INVALID_HANDLE_VALUE) {
        return GetLastError() == ERROR_FILE_NOT_FOUND;
    }
    FindClose(found);
    return true;
}

std::filesystem::path reachedFolder(const std::filesystem::path& folder) {
    return normalFolderPath(folder);
}

} // namespace ferrowyn
