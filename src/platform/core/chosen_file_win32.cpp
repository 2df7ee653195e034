#include "platform/core/chosen_file.h"
#include "platform/core/file_error.h"
#include "platform/core/windows_handle.h"

namespace ferrowyn {

bool informationOf(HANDLE handle, FileIdentity& identity, BY_HANDLE_FILE_INFORMATION& details) {
    if (!GetFileInformationByHandle(handle, &details)) {
        return false;
    }
    // Some file systems report no serial number (Wine's drives that map a Unix folder report 0); the file index
    // then tells files apart on its own, which holds while the file stays on the one volume it was chosen on.
    identity = {details.dwVolumeSerialNumber,
                (static_cast<std::uint64_t>(details.nFileIndexHigh) << 32) | details.nFileIndexLow};
    return true;
}

ChosenFile chooseFile(const std::filesystem::path& folder, const std::filesystem::path& name) {
    const auto path = folder / name;
    const auto fail = [&] {
        throw FileError("Cannot read the details of %1", path, osReason(static_cast<int>(GetLastError())));
    };
    constexpr DWORD shareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    const Handle folderHandle(CreateFileW(folder.c_str(), FILE_READ_ATTRIBUTES, shareAll, nullptr, OPEN_EXISTING,
                                          FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    const Handle fileHandle(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, shareAll, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    ChosenFile chosen{folder, name, {}, {}, 0, {}};
    BY_HANDLE_FILE_INFORMATION details{};
    if (!folderHandle.valid() || !fileHandle.valid() ||
        !informationOf(folderHandle.get(), chosen.folderIdentity, details) ||
        !informationOf(fileHandle.get(), chosen.identity, details)) {
        fail();
    }
    chosen.length = (static_cast<std::int64_t>(details.nFileSizeHigh) << 32) | details.nFileSizeLow;
    // A FILETIME counts 100-nanosecond ticks from 1601-01-01; the Unix epoch is 11644473600 seconds later.
    const FILETIME written = details.ftLastWriteTime;
    const std::int64_t ticks = (static_cast<std::int64_t>(written.dwHighDateTime) << 32) | written.dwLowDateTime;
    const std::chrono::duration<std::int64_t, std::ratio<1, 10'000'000>> sinceEpoch(ticks - 116444736000000000LL);
    chosen.modified = std::chrono::system_clock::time_point(
        std::chrono::duration_cast<std::chrono::system_clock::duration>(sinceEpoch));
    return chosen;
}

} // namespace ferrowyn
