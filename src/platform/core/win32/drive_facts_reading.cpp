#include "platform/core/win32/drive_facts_reading.h"
#include "platform/core/path_display.h"

#include <vector>

namespace ferrowyn {

bool runsUnderWine() {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

DriveFacts driveFactsOf(HANDLE file, const std::filesystem::path& folder, DWORD attributes) {
    DriveFacts facts;
    // The volume the folder lies on, also one mounted in a folder of another drive.
    std::vector<wchar_t> volume(folder.native().size() + 2, L'\0');
    if (!GetVolumePathNameW(folder.c_str(), volume.data(), static_cast<DWORD>(volume.size()))) {
        const std::wstring root = folder.root_path().native();
        std::copy(root.begin(), root.end(), volume.begin());
    }
    wchar_t name[MAX_PATH + 1] = {};
    if (!GetVolumeInformationByHandleW(file, nullptr, 0, nullptr, nullptr, nullptr, name, MAX_PATH + 1)) {
        GetVolumeInformationW(volume.data(), nullptr, 0, nullptr, nullptr, nullptr, name, MAX_PATH + 1);
    }
    facts.fileSystem = displayText(std::wstring(name[0] != L'\0' ? name : L"unknown"));
    facts.remote = GetDriveTypeW(volume.data()) == DRIVE_REMOTE || folder.native().rfind(L"\\\\", 0) == 0;
    facts.nameOnly = runsUnderWine();
    facts.compressed = (attributes & FILE_ATTRIBUTE_COMPRESSED) != 0;
    facts.encrypted = (attributes & FILE_ATTRIBUTE_ENCRYPTED) != 0;
    DWORD sectorsPerCluster = 0;
    DWORD bytesPerSector = 0;
    DWORD free = 0;
    DWORD total = 0;
    if (GetDiskFreeSpaceW(volume.data(), &sectorsPerCluster, &bytesPerSector, &free, &total)) {
        facts.allocationUnit = static_cast<std::int64_t>(sectorsPerCluster) * bytesPerSector;
    }
    FILE_STANDARD_INFO standard{};
    if (GetFileInformationByHandleEx(file, FileStandardInfo, &standard, sizeof standard)) {
        facts.allocatedBytes = standard.AllocationSize.QuadPart;
    }
    return facts;
}

} // namespace ferrowyn
