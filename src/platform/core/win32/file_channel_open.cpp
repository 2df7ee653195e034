#include "platform/core/failure_words.h"
#include "platform/core/file_error.h"
#include "platform/core/path_display.h"
#include "platform/core/win32/channel_state.h"
#include "platform/core/win32/file_holders_reading.h"

#include <string>

// Opening the chosen file, and checking that it is the one chosen, as it was shown, and that nothing would stop
// its overwrite and its delete.

namespace ferrowyn {
namespace {

// Why a file with these attributes is not something we overwrite, or an empty text when it is.
std::string refusalFor(DWORD attributes) {
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        return words::kLink;
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return words::kFolder;
    }
    if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        return words::kReadOnly;
    }
    return {};
}

// A reparse point is a link only where its tag says so; others hold a program's own data (a cloud file not yet
// downloaded, a deduplicated file), which it reads through its own driver.
std::string refusalForReparsePoint(HANDLE file) {
    FILE_ATTRIBUTE_TAG_INFO tag{};
    if (GetFileInformationByHandleEx(file, FileAttributeTagInfo, &tag, sizeof tag) &&
        tag.ReparseTag != IO_REPARSE_TAG_SYMLINK && tag.ReparseTag != IO_REPARSE_TAG_MOUNT_POINT) {
        return words::kManagedByAnotherProgram;
    }
    return words::kLink;
}

std::string reasonFor(int error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return words::kGone;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return words::kLocked;
    case ERROR_WRITE_PROTECT:
        return words::kReadOnlyDrive;
    default:
        return osReason(error);
    }
}

// Why the file open as `handle` is not the one chosen, as it was shown, or an empty text when it is.
std::string refusalForOpenFile(HANDLE folder, const FileIdentity& folderIdentity, HANDLE handle,
                               const ChosenFile& file) {
    FileIdentity identity;
    FileTimes times;
    BY_HANDLE_FILE_INFORMATION details{};
    if (!readIdentity(handle, Entry::File, identity, details) || !readTimes(handle, times)) {
        return osReason(lastError());
    }
    if ((details.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        return refusalForReparsePoint(handle);
    }
    if (const auto refusal = refusalFor(details.dwFileAttributes); !refusal.empty()) {
        return refusal;
    }
    if (const auto refusal = refusalForName(handle, folder, file.name); !refusal.empty()) {
        return refusal;
    }
    if (identity.volume != folderIdentity.volume) {
        return words::kLeadsElsewhere;
    }
    // The creation time is looked at last: Wine gives the time of the last change there, so a file that was
    // written to meanwhile reads as changed, as it does on Windows.
    FileIdentity sameBirth = identity;
    sameBirth.born = file.identity.born;
    if (sameBirth != file.identity) {
        return words::kReplaced;
    }
    if (times.length != file.length || times.modified != file.modified || times.changed != file.changed) {
        return words::kChanged;
    }
    if (identity.born != file.identity.born) {
        return words::kReplaced;
    }
    return {};
}

} // namespace

FileChannel::FileChannel() = default;
FileChannel::~FileChannel() = default;

void FileChannel::open(const ChosenFile& file) {
    refuseWhatNeverOpens(file);
    const auto path = file.path();
    const auto refuse = [&](const std::string& reason) { throw FileError(words::kCannotOpen, path, reason); };

    // The folder is held open without sharing deletion, so that it cannot be renamed or removed meanwhile; the
    // fresh name before the delete is given relative to it.
    auto handles = std::make_unique<Handles>();
    handles->folder.reset(CreateFileW(
        verbatimPath(file.folder).c_str(), FILE_READ_ATTRIBUTES | FILE_TRAVERSE | FILE_ADD_FILE,
        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    FileIdentity folderIdentity;
    BY_HANDLE_FILE_INFORMATION details{};
    if (!handles->folder.valid() || !readIdentity(handles->folder.get(), Entry::Folder, folderIdentity, details)) {
        refuse(lastError() == ERROR_ACCESS_DENIED ? words::kFolderNotWritable : reasonFor(lastError()));
    }
    if (folderIdentity != file.folderIdentity) {
        refuse(folderIdentity.sameDrive(file.folderIdentity) ? words::kFolderReplaced : words::kDriveGone);
    }
    // Look before opening, so that a link or a read-only file is refused before anything is touched; the look at
    // the open handle below is the one that counts.
    const auto verbatim = verbatimPath(path);
    const DWORD attributes = GetFileAttributesW(verbatim.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        refuse(reasonFor(lastError()));
    }
    if (const auto refusal = refusalFor(attributes & ~FILE_ATTRIBUTE_REPARSE_POINT); !refusal.empty()) {
        refuse(refusal);
    }
    // Shared with nobody while it is open: this is the exclusive lock, and a file another program has open is
    // refused here. The reparse point itself is opened, never what it leads to. Opening for writing changes
    // nothing on Windows, so the file is writable from here on.
    handles->file.reset(CreateFileW(verbatim.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (const auto reason = handles->file.valid() ? std::string() : reasonFor(lastError()); !reason.empty()) {
        refuse(reason == words::kLocked ? words::lockedBy(holdersOf(path)) : reason);
    }
    const HANDLE handle = handles->file.get();
    if (GetFileType(handle) != FILE_TYPE_DISK) {
        refuse(words::kNotRegular);
    }
    if (const auto refusal = refusalForOpenFile(handles->folder.get(), folderIdentity, handle, file);
        !refusal.empty()) {
        refuse(refusal);
    }
    handles->opened = factsOf(handle, file);
    if (holesWouldFill(handle, handles->opened, file)) {
        refuse(words::kHolesWouldFill);
    }
    m_handles = std::move(handles);
    m_file = file;
}

const OpenedFile& FileChannel::opened() const {
    requireOpen(words::kCannotOpen);
    return m_handles->opened;
}

void FileChannel::openForWriting() {
    // Already open for writing and shared with nobody since it was opened, so nobody could change it meanwhile;
    // what the user was shown is checked again all the same.
    requireOpen(words::kCannotOpen);
    FileTimes times;
    if (!readTimes(m_handles->file.get(), times)) {
        throw FileError(words::kCannotOpen, m_file.path(), osReason(lastError()));
    }
    if (times.length != m_file.length || times.modified != m_file.modified || times.changed != m_file.changed) {
        throw FileError(words::kCannotOpen, m_file.path(), words::kChanged);
    }
}

void FileChannel::requireOpen(const char* action) const {
    if (!isOpen()) {
        throw FileError(action, m_file.path(), osReason(ERROR_INVALID_HANDLE));
    }
}

void FileChannel::close() {
    if (!isOpen()) {
        return;
    }
    const auto handles = std::move(m_handles);
    if (!CloseHandle(handles->file.release())) {
        throw FileError(words::kCannotClose, m_file.path(), osReason(lastError()));
    }
}

} // namespace ferrowyn
