#include "platform/core/chosen_file.h"
#include "platform/core/failure_words.h"
#include "platform/core/file_error.h"
#include "platform/core/windows_files.h"

#include <vector>

namespace ferrowyn {
namespace {

bool endsWithIgnoringCase(const std::wstring& text, const std::wstring& end) {
    return text.size() >= end.size() &&
           CompareStringOrdinal(text.data() + (text.size() - end.size()), static_cast<int>(end.size()), end.data(),
                                static_cast<int>(end.size()), TRUE) == CSTR_EQUAL;
}

} // namespace

bool isOneName(const std::filesystem::path& name) {
    const std::wstring& text = name.native();
    return !text.empty() && text != L"." && text != L".." && text.find_first_of(L"\\/:") == std::wstring::npos;
}

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

bool isNamed(HANDLE handle, const std::filesystem::path& folder, const std::filesystem::path& name) {
    // The file's own path on its volume, without the drive: "\dir\name".
    std::vector<unsigned char> buffer(sizeof(FILE_NAME_INFO) + 32768 * sizeof(wchar_t));
    auto* info = reinterpret_cast<FILE_NAME_INFO*>(buffer.data());
    if (!GetFileInformationByHandleEx(handle, FileNameInfo, info, static_cast<DWORD>(buffer.size()))) {
        return false;
    }
    // Wine reports "trail." as "trail" here although it opened "trail." itself; the file's identity tells the
    // two apart, so the name is compared without its trailing dots and spaces.
    const auto trimmed = [](std::wstring path) {
        path.erase(path.find_last_not_of(L". ") + 1);
        return path;
    };
    std::wstring expected = folder.relative_path().native();
    while (!expected.empty() && expected.back() == L'\\') {
        expected.pop_back();
    }
    expected = (expected.empty() ? L"" : L"\\" + expected) + L"\\" + name.native();
    return endsWithIgnoringCase(trimmed(std::wstring(info->FileName, info->FileNameLength / sizeof(wchar_t))),
                                trimmed(expected));
}

ChosenFile chooseFile(const std::filesystem::path& folder, const std::filesystem::path& name) {
    const auto path = folder / name;
    const auto fail = [&](const std::string& reason) { throw FileError(words::kCannotReadDetails, path, reason); };
    if (!isOneName(name)) {
        fail(words::kNotOneName);
    }
    constexpr DWORD shareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    const Handle folderHandle(CreateFileW(verbatimPath(folder).c_str(), FILE_READ_ATTRIBUTES, shareAll, nullptr,
                                          OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    const Handle fileHandle(CreateFileW(verbatimPath(path).c_str(), FILE_READ_ATTRIBUTES, shareAll, nullptr,
                                        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                                        nullptr));
    ChosenFile chosen{folder, name, {}, {}, 0, {}, {}};
    BY_HANDLE_FILE_INFORMATION details{};
    FileTimes times;
    if (!folderHandle.valid() || !fileHandle.valid() ||
        !readIdentity(folderHandle.get(), Entry::Folder, chosen.folderIdentity, details) ||
        !readIdentity(fileHandle.get(), Entry::File, chosen.identity, details) ||
        !readTimes(fileHandle.get(), times)) {
        fail(osReason(static_cast<int>(GetLastError())));
    }
    if (!isNamed(fileHandle.get(), folder, name)) {
        fail(words::kLeadsElsewhere);
    }
    chosen.length = times.length;
    chosen.modified = times.modified;
    chosen.changed = times.changed;
    return chosen;
}

} // namespace ferrowyn
