#include "platform/core/file_error.h"
#include "platform/core/folder_listing.h"

#include <windows.h>

namespace ferrowyn {
namespace {

struct FindCloser {
    HANDLE handle;
    ~FindCloser() { FindClose(handle); }
};

bool matches(const WIN32_FIND_DATAW& entry, EntryKind kind) {
    const DWORD attributes = entry.dwFileAttributes;
    if (kind == EntryKind::Folder) {
        return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    }
    return (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE)) == 0;
}

} // namespace

std::vector<std::filesystem::path> listFolder(const std::filesystem::path& folder, EntryKind kind) {
    WIN32_FIND_DATAW entry{};
    const HANDLE found = FindFirstFileExW((folder / L"*").c_str(), FindExInfoBasic, &entry, FindExSearchNameMatch,
                                          nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (found == INVALID_HANDLE_VALUE) {
        throw FileError("Cannot open the folder %1", folder, osReason(static_cast<int>(GetLastError())));
    }
    const FindCloser closer{found};
    std::vector<std::filesystem::path> names;
    do {
        const std::wstring name = entry.cFileName;
        // Hidden and system files are left out, as Explorer leaves them out. Hidden folders (AppData) are shown;
        // folders that are both hidden and system belong to Windows itself.
        const DWORD hiddenOrSystem = entry.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
        const bool hidden = kind == EntryKind::RegularFile
                                ? hiddenOrSystem != 0
                                : hiddenOrSystem == (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
        if (name != L"." && name != L".." && !hidden && matches(entry, kind)) {
            names.emplace_back(name);
        }
    } while (FindNextFileW(found, &entry));
    if (const DWORD error = GetLastError(); error != ERROR_NO_MORE_FILES) {
        throw FileError("Cannot read the folder %1", folder, osReason(static_cast<int>(error)));
    }
    return names;
}

bool canListFolder(const std::filesystem::path& folder) {
    WIN32_FIND_DATAW entry{};
    const HANDLE found =
        FindFirstFileExW((folder / L"*").c_str(), FindExInfoBasic, &entry, FindExSearchNameMatch, nullptr, 0);
    if (found == INVALID_HANDLE_VALUE) {
        return false;
    }
    FindClose(found);
    return true;
}

} // namespace ferrowyn
