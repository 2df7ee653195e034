#include "platform/core/chosen_file.h"
#include "platform/core/failure_words.h"
#include "platform/core/file_error.h"
#include "platform/core/win32/file_access.h"

namespace ferrowyn {

bool isOneName(const std::filesystem::path& name) {
    const std::wstring& text = name.native();
    return !text.empty() && text != L"." && text != L".." && text.find_first_of(L"\\/:") == std::wstring::npos;
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
    if (const auto refusal = refusalForName(fileHandle.get(), folderHandle.get(), name); !refusal.empty()) {
        fail(refusal);
    }
    chosen.length = times.length;
    chosen.modified = times.modified;
    chosen.changed = times.changed;
    return chosen;
}

} // namespace ferrowyn
