#pragma once

#include <string>
#include <vector>

namespace ferrowyn {

// The drives of a Windows machine, for the drive list. Windows only.
struct WindowsDrive {
    std::wstring root;  // "C:\"
    std::wstring label; // the volume's label; empty when it has none or the drive is not ready
};

std::vector<WindowsDrive> windowsDrives();

// The current folder of the drive with this letter ("C:\Users\ann"). Raises FileError when the drive is missing
// or not ready.
std::wstring currentFolderOfDriveLetter(wchar_t letter);

} // namespace ferrowyn
