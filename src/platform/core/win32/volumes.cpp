#include "platform/core/volumes.h"
#include "platform/core/failure_words.h"
#include "platform/core/file_error.h"
#include "platform/core/folder_path.h"
#include "platform/core/path_display.h"

#include <cwctype>
#include <windows.h>

namespace ferrowyn {

std::vector<Volume> storageVolumes() {
    std::vector<Volume> volumes;
    const DWORD present = GetLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        if ((present & (1u << i)) == 0) {
            continue;
        }
        const std::wstring root{static_cast<wchar_t>(L'A' + i), L':', L'\\'};
        wchar_t label[MAX_PATH + 1] = {};
        // A drive without a medium has no label; asking must not bring up the system's "insert a disk" box.
        const UINT previousMode = SetErrorMode(SEM_FAILCRITICALERRORS);
        if (!GetVolumeInformationW(root.c_str(), label, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr, 0)) {
            label[0] = L'\0';
        }
        SetErrorMode(previousMode);
        volumes.push_back({root, std::string{static_cast<char>('a' + i), ':'}, displayText(std::wstring(label))});
    }
    return volumes;
}

std::filesystem::path volumeRootOf(const std::filesystem::path& path) {
    // "C:\" for a drive, with the letter as the drive list writes it; "\\server\share\" for a network share.
    std::wstring root = path.root_path().native();
    if (root.size() >= 2 && root[1] == L':') {
        root[0] = static_cast<wchar_t>(std::towupper(root[0]));
    }
    return root;
}

std::filesystem::path currentFolderOfDrive(const std::filesystem::path& root) {
    const std::wstring drive = volumeRootOf(root).native().substr(0, 2);
    if (drive.size() < 2 || drive[1] != L':' || GetDriveTypeW((drive + L"\\").c_str()) == DRIVE_NO_ROOT_DIR) {
        throw FileError(words::kCannotReachDrive, root, words::kNoDrive);
    }
    // "X:" on its own names the drive's current folder, which may be longer than the old path limit.
    std::wstring folder(GetFullPathNameW(drive.c_str(), 0, nullptr, nullptr), L'\0');
    const DWORD length =
        GetFullPathNameW(drive.c_str(), static_cast<DWORD>(folder.size()), folder.data(), nullptr);
    if (length == 0 || length >= folder.size()) {
        throw FileError(words::kCannotReachDrive, root, osReason(static_cast<int>(GetLastError())));
    }
    folder.resize(length);
    return normalFolderPath(folder);
}

} // namespace ferrowyn
