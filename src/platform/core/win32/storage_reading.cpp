#include "platform/core/win32/storage_reading.h"
#include "platform/core/win32/file_access.h"

#include <cstddef>
#include <windows.h>
#include <winioctl.h>

// Whether a volume is encrypted with BitLocker Windows tells only administrators (through WMI), so nothing is
// said of it here: the facts never claim an encryption layer on Windows.

namespace ferrowyn {
namespace {

// The places storageFromDescriptors reads the answers at.
static_assert(offsetof(STORAGE_DEVICE_DESCRIPTOR, VendorIdOffset) == 12);
static_assert(offsetof(STORAGE_DEVICE_DESCRIPTOR, ProductIdOffset) == 16);
static_assert(offsetof(STORAGE_DEVICE_DESCRIPTOR, BusType) == 28 && sizeof(STORAGE_BUS_TYPE) == 4);
static_assert(offsetof(DEVICE_SEEK_PENALTY_DESCRIPTOR, IncursSeekPenalty) == 8);
static_assert(offsetof(DEVICE_TRIM_DESCRIPTOR, TrimEnabled) == 8);

// The bytes of the drive's answer about `property`; empty when it gives none.
std::vector<std::uint8_t> askDrive(HANDLE volume, STORAGE_PROPERTY_ID property) {
    STORAGE_PROPERTY_QUERY query{};
    query.PropertyId = property;
    query.QueryType = PropertyStandardQuery;
    std::vector<std::uint8_t> answer(1024); // room for the device descriptor's texts
    DWORD returned = 0;
    if (!DeviceIoControl(volume, IOCTL_STORAGE_QUERY_PROPERTY, &query, sizeof query, answer.data(),
                         static_cast<DWORD>(answer.size()), &returned, nullptr)) {
        return {};
    }
    answer.resize(returned);
    return answer;
}

// The name the volume under the file opens by ("\\?\Volume{...}", or "\\.\C:" where it has no such name), or
// empty for a network share, which has no drive of ours.
std::wstring volumeOf(HANDLE file) {
    std::wstring path(GetFinalPathNameByHandleW(file, nullptr, 0, VOLUME_NAME_DOS), L'\0');
    const DWORD length =
        GetFinalPathNameByHandleW(file, path.data(), static_cast<DWORD>(path.size()), VOLUME_NAME_DOS);
    if (length == 0 || length >= path.size() || path.rfind(L"\\\\?\\UNC\\", 0) == 0) {
        return {};
    }
    path.resize(length);
    if (path.rfind(L"\\\\?\\", 0) == 0) {
        path.erase(0, 4);
    }
    wchar_t root[MAX_PATH + 1] = {};
    wchar_t volume[MAX_PATH + 1] = {};
    if (!GetVolumePathNameW(path.c_str(), root, MAX_PATH + 1)) {
        return {};
    }
    if (GetVolumeNameForVolumeMountPointW(root, volume, MAX_PATH + 1)) {
        std::wstring name = volume;
        name.pop_back(); // the trailing backslash would name the volume's root folder instead
        return name;
    }
    const std::wstring drive = root;
    return drive.size() == 3 && drive[1] == L':' ? L"\\\\.\\" + drive.substr(0, 2) : std::wstring();
}

// NTFS tells the drive of freed blocks unless the system was told not to (fsutil's DisableDeleteNotify).
bool systemSendsTrim(HANDLE file) {
    wchar_t type[MAX_PATH + 1] = {};
    DWORD disabled = 1;
    DWORD size = sizeof disabled;
    return GetVolumeInformationByHandleW(file, nullptr, 0, nullptr, nullptr, nullptr, type, MAX_PATH + 1) &&
           std::wstring(type) == L"NTFS" &&
           RegGetValueW(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Control\\FileSystem",
                        L"DisableDeleteNotification", RRF_RT_REG_DWORD, nullptr, &disabled,
                        &size) == ERROR_SUCCESS &&
           disabled == 0;
}

} // namespace

StorageFacts storageUnder(HANDLE fileHandle) {
    const std::wstring volumeName = volumeOf(fileHandle);
    if (volumeName.empty()) {
        return {};
    }
    // No access asked: the drive's properties need none, and so no administrator rights.
    const Handle volume(CreateFileW(volumeName.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, 0, nullptr));
    if (!volume.valid()) {
        return {};
    }
    return storageFromDescriptors(askDrive(volume.get(), StorageDeviceProperty),
                                  askDrive(volume.get(), StorageDeviceSeekPenaltyProperty),
                                  askDrive(volume.get(), StorageDeviceTrimProperty), systemSendsTrim(fileHandle));
}

} // namespace ferrowyn
