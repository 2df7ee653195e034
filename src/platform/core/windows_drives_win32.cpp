#include "platform/core/failure_words.h"
#include "platform/core/file_error.h"
#include "platform/core/windows_drives.h"

#include <cwctype>
#include <windows.h>

namespace ferrowyn {

std::vector<WindowsDrive> windowsDrives() {
    std::vector<WindowsDrive> drives;
    const DWORD present = GetLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        if ((present & (1u << i)) == 0) {
            continue;
        }
        WindowsDrive drive{std::wstring{static_cast<wchar_t>(L'A' + i), L':', L'\\'}, {}};
        wchar_t label[MAX_PATH + 1] = {};
        // A drive without a medium has no label; asking must not bring up the system's "insert a disk" box.
        const UINT previousMode = SetErrorMode(SEM_FAILCRITICALERRORS);
        if (GetVolumeInformationW(drive.root.c_str(), label, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr,
                                  0)) {
            drive.label = label;
        }
        SetErrorMode(previousMode);
        drives.push_back(std::move(drive));
    }
    return drives;
}

std::wstring currentFolderOfDriveLetter(wchar_t letter) {
    const std::wstring root{static_cast<wchar_t>(std::towupper(letter)), L':', L'\\'};
    if (GetDriveTypeW(root.c_str()) == DRIVE_NO_ROOT_DIR) {
        throw FileError(words::kCannotReachDrive, root, words::kNoDrive);
    }
    // "X:" on its own names the drive's current folder.
    const std::wstring drive = root.substr(0, 2);
    wchar_t folder[MAX_PATH + 1] = {};
    const DWORD length = GetFullPathNameW(drive.c_str(), MAX_PATH + 1, folder, nullptr);
    if (length == 0 || length > MAX_PATH) {
        throw FileError(words::kCannotReachDrive, root, osReason(static_cast<int>(GetLastError())));
    }
    std::wstring current(folder, length);
    // The system keeps the current folder with a trailing backslash; a folder path has one only at the root.
    if (current.size() > 3 && current.back() == L'\\') {
        current.pop_back();
    }
    return current;
}

} // namespace ferrowyn
