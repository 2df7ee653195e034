#include "platform/core/failure_words.h"
#include "platform/core/file_error.h"
#include "platform/core/fresh_name.h"
#include "platform/core/path_display.h"
#include "platform/core/win32/channel_state.h"

#include <string>
#include <vector>
#include <winternl.h>

// Deleting the overwritten file under a fresh name, so that no other file can be deleted in its place unsaid.

namespace ferrowyn {
namespace {

// Renames the open file, through its own handle, to a fresh name in the folder held by `folder`: the name is
// given relative to the folder's handle, so that it lands there whatever the working folder is. The system's
// own call takes it as it is; Wine's SetFileInformationByHandle would make it a path from the working folder.
// Nothing is ever replaced. Empty, with `error` set, when it cannot be done.
std::wstring renameToFreshName(HANDLE file, HANDLE folder, const std::filesystem::path& name, int& error) {
    for (int attempt = 0; attempt < 64; ++attempt) {
        const std::wstring fresh = freshNameLike(name).native();
        std::vector<unsigned char> buffer(sizeof(FILE_RENAME_INFORMATION) + fresh.size() * sizeof(wchar_t));
        auto* rename = reinterpret_cast<FILE_RENAME_INFORMATION*>(buffer.data());
        rename->ReplaceIfExists = FALSE;
        rename->RootDirectory = folder;
        rename->FileNameLength = static_cast<ULONG>(fresh.size() * sizeof(wchar_t));
        std::copy(fresh.begin(), fresh.end(), rename->FileName);
        IO_STATUS_BLOCK status{};
        const NTSTATUS result =
            NtSetInformationFile(file, &status, rename, static_cast<ULONG>(buffer.size()), FileRenameInformation);
        if (result >= 0) {
            return fresh;
        }
        error = static_cast<int>(RtlNtStatusToDosError(result));
        if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS) {
            break;
        }
    }
    return {};
}

} // namespace

void FileChannel::closeAndDelete() {
    requireOpen(words::kCannotDelete);
    // The channel is closed on every road from here, as the handles go with this scope.
    const auto handles = std::move(m_handles);
    const auto path = m_file.path();
    // Renamed through its own handle to a fresh name first, so that the folder's last record of it is that name.
    int error = 0;
    const std::wstring fresh = renameToFreshName(handles->file.get(), handles->folder.get(), m_file.name, error);
    if (fresh.empty()) {
        throw FileError(words::kCannotDelete, path, osReason(error) + words::stillThereAs(m_file.name));
    }
    // Wine renames by the name the file was opened under: if another program put another file there meanwhile,
    // it is that file that now has the fresh name. It is given its name back, and nothing is deleted.
    if (!leadsTo(m_file.folder / fresh, handles->file.get())) {
        const bool back = MoveFileExW(verbatimPath(m_file.folder / fresh).c_str(), verbatimPath(path).c_str(), 0);
        throw FileError(words::kCannotDelete, path,
                        std::string(words::kSwappedMeanwhile) +
                            (back ? std::string("; the other file has its name back")
                                  : "; the other file is now named " + displayText(fresh)));
    }
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = TRUE;
    if (!SetFileInformationByHandle(handles->file.get(), FileDispositionInfo, &disposition, sizeof disposition)) {
        throw FileError(words::kCannotDelete, path, osReason(lastError()) + words::stillThereAs(fresh));
    }
    if (!CloseHandle(handles->file.release())) {
        throw FileError(words::kCannotClose, path, osReason(lastError()));
    }
}

} // namespace ferrowyn
