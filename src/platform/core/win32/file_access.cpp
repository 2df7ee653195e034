#include "platform/core/win32/file_access.h"
#include "platform/core/failure_words.h"
#include "platform/core/path_display.h"
#include "platform/core/win32/drive_facts_reading.h"

#include <vector>

namespace ferrowyn {

std::wstring verbatimPath(const std::filesystem::path& path) {
    const std::wstring& text = path.native();
    if (text.rfind(LR"(\\?\)", 0) == 0) {
        return text;
    }
    if (text.rfind(LR"(\\)", 0) == 0) {
        return LR"(\\?\UNC\)" + text.substr(2);
    }
    return LR"(\\?\)" + text;
}

FileTime fileTimeOf(std::int64_t ticks) {
    constexpr std::int64_t kTicksPerSecond = 10'000'000;
    constexpr std::int64_t kSecondsFrom1601To1970 = 11'644'473'600;
    return {ticks / kTicksPerSecond - kSecondsFrom1601To1970,
            static_cast<std::int32_t>(ticks % kTicksPerSecond) * 100};
}

FileTime fileTimeOf(const FILETIME& time) {
    return fileTimeOf(
        static_cast<std::int64_t>((static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime));
}

bool readTimes(HANDLE handle, FileTimes& times) {
    FILE_BASIC_INFO basic{};
    FILE_STANDARD_INFO standard{};
    if (!GetFileInformationByHandleEx(handle, FileBasicInfo, &basic, sizeof basic) ||
        !GetFileInformationByHandleEx(handle, FileStandardInfo, &standard, sizeof standard)) {
        return false;
    }
    times = {standard.EndOfFile.QuadPart, fileTimeOf(basic.LastWriteTime.QuadPart),
             fileTimeOf(basic.ChangeTime.QuadPart)};
    return true;
}

bool readIdentity(HANDLE handle, Entry entry, FileIdentity& identity, BY_HANDLE_FILE_INFORMATION& details) {
    if (!GetFileInformationByHandle(handle, &details)) {
        return false;
    }
    // The 128-bit id where the file system has one (ReFS needs it); FAT reuses file indexes, so a file's
    // creation time is part of it too. Not a folder's: Wine gives the time of its last change there, which any
    // file made in it moves. Wine's drives that map a Unix folder report no serial number: the rest still tells.
    identity = {details.dwVolumeSerialNumber,
                0,
                0,
                (static_cast<std::uint64_t>(details.nFileIndexHigh) << 32) | details.nFileIndexLow,
                0,
                entry == Entry::File ? fileTimeOf(details.ftCreationTime) : FileTime{},
                0};
    FILE_ID_INFO id{};
    if (GetFileInformationByHandleEx(handle, FileIdInfo, &id, sizeof id)) {
        identity.volume = id.VolumeSerialNumber;
        static_assert(sizeof id.FileId.Identifier == 16);
        __builtin_memcpy(&identity.file, id.FileId.Identifier, 8);
        __builtin_memcpy(&identity.fileHigh, id.FileId.Identifier + 8, 8);
    }
    return true;
}

std::wstring finalPathOf(HANDLE handle) {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetFinalPathNameByHandleW(handle, path.data(), static_cast<DWORD>(path.size()),
                                                       FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (length == 0) {
            return {};
        }
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(length + 1);
    }
}

bool leadsTo(const std::filesystem::path& path, HANDLE file) {
    const Handle entry(CreateFileW(verbatimPath(path).c_str(), FILE_READ_ATTRIBUTES,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                   FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    FileIdentity ours;
    FileIdentity theirs;
    BY_HANDLE_FILE_INFORMATION details{};
    return entry.valid() && readIdentity(file, Entry::File, ours, details) &&
           readIdentity(entry.get(), Entry::File, theirs, details) && ours.file == theirs.file &&
           ours.fileHigh == theirs.fileHigh && ours.volume == theirs.volume;
}

std::string refusalForName(HANDLE file, HANDLE folder, const std::filesystem::path& name) {
    std::wstring folderPath = finalPathOf(folder);
    const std::wstring filePath = finalPathOf(file);
    if (folderPath.empty() || filePath.empty()) {
        return words::kLeadsElsewhere;
    }
    if (!folderPath.ends_with(L'\\')) {
        folderPath += L'\\';
    }
    const std::wstring expected = folderPath + name.native();
    if (filePath == expected) {
        return {};
    }
    const bool sameFolder = filePath.size() > folderPath.size() && filePath.starts_with(folderPath) &&
                            filePath.find(L'\\', folderPath.size()) == std::wstring::npos;
    if (!runsUnderWine()) {
        // Windows itself shows a link as a reparse point, refused before; in the same folder the drive knows the
        // file by another case of its name, or by the long name of a short 8.3 one.
        return sameFolder ? words::knownByAnotherName(displayText(filePath.substr(folderPath.size())))
                          : words::kLeadsElsewhere;
    }
    // Wine drops a name's trailing dots and spaces from the paths it gives, and shows a Unix link as the file it
    // leads to: "notes.txt." reads as "notes.txt" whether it is a file of its own or a link to "notes.txt", and
    // only the file that "notes.txt" leads to tells.
    std::wstring trimmed = expected;
    trimmed.erase(trimmed.find_last_not_of(L". ") + 1);
    return filePath == trimmed && !leadsTo(trimmed, file) ? std::string() : words::kLeadsElsewhere;
}

} // namespace ferrowyn
