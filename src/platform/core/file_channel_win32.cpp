#include "platform/core/block_map_win32.h"
#include "platform/core/drive_facts_win32.h"
#include "platform/core/failure_words.h"
#include "platform/core/file_channel.h"
#include "platform/core/file_error.h"
#include "platform/core/path_display.h"
#include "platform/core/stream_list.h"
#include "platform/core/windows_files.h"

#include <algorithm>
#include <optional>
#include <random>
#include <string>
#include <vector>
#include <winternl.h>

namespace ferrowyn {

struct FileChannel::Handles {
    Handle folder;
    Handle file; // open for writing and shared with nobody from the start
    OpenedFile opened;
};

namespace {

int lastError() {
    return static_cast<int>(GetLastError());
}

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

// A name nobody chose, as long as `name`, of letters and digits that every Windows file system takes.
std::wstring freshNameLike(const std::filesystem::path& name) {
    static constexpr wchar_t kLetters[] = L"abcdefghijklmnopqrstuvwxyz0123456789";
    static std::mt19937_64 random{std::random_device()()};
    std::wstring fresh(name.native().size(), L'x');
    for (wchar_t& letter : fresh) {
        letter = kLetters[random() % (std::size(kLetters) - 1)];
    }
    return fresh;
}

// Renames the open file, through its own handle, to a fresh name in the folder held by `folder`: the name is
// given relative to the folder's handle, so that it lands there whatever the working folder is. The system's
// own call takes it as it is; Wine's SetFileInformationByHandle would make it a path from the working folder.
// Nothing is ever replaced. Empty, with `error` set, when it cannot be done.
std::wstring renameToFreshName(HANDLE file, HANDLE folder, const std::filesystem::path& name, int& error) {
    for (int attempt = 0; attempt < 64; ++attempt) {
        const std::wstring fresh = freshNameLike(name);
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

// The identity of the entry `name` of `folder`, looked at without opening it for anything but its attributes
// (which no share mode refuses); nothing when it cannot be looked at.
std::optional<FileIdentity> identityOfEntry(const std::filesystem::path& folder,
                                            const std::filesystem::path& name) {
    const Handle entry(CreateFileW(verbatimPath(folder / name).c_str(), FILE_READ_ATTRIBUTES,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                   FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    FileIdentity identity;
    BY_HANDLE_FILE_INFORMATION details{};
    if (!entry.valid() || !readIdentity(entry.get(), Entry::File, identity, details)) {
        return std::nullopt;
    }
    return identity;
}

// The other names of the file (hard links) in the same folder, as the volume lists them. Wine lists none: it
// has the call, but not what it does.
std::vector<std::filesystem::path> otherNamesIn(const std::filesystem::path& folder,
                                                const std::filesystem::path& name) {
    std::vector<std::filesystem::path> found;
    if (runsUnderWine()) {
        return found;
    }
    std::wstring link(32768, L'\0');
    DWORD length = static_cast<DWORD>(link.size());
    const HANDLE search = FindFirstFileNameW(verbatimPath(folder / name).c_str(), 0, &length, link.data());
    if (search == INVALID_HANDLE_VALUE) {
        return found;
    }
    // The names come as paths on the volume, without its drive: "\\dir\\name".
    std::wstring within = L"\\" + folder.relative_path().native();
    while (within.size() > 1 && within.back() == L'\\') {
        within.pop_back();
    }
    do {
        const std::filesystem::path other(link.c_str());
        if (other.parent_path() == std::filesystem::path(within) && other.filename() != name) {
            found.push_back(other.filename());
        }
        length = static_cast<DWORD>(link.size());
    } while (FindNextFileNameW(search, &length, link.data()));
    FindClose(search);
    std::sort(found.begin(), found.end());
    return found;
}

// The named streams of the open file; none where the file system keeps none (FAT) or cannot list them.
std::vector<NamedStream> namedStreamsOf(HANDLE file) {
    std::vector<std::byte> list(64 * 1024);
    while (!GetFileInformationByHandleEx(file, FileStreamInfo, list.data(), static_cast<DWORD>(list.size()))) {
        if (lastError() != ERROR_MORE_DATA || list.size() >= (1u << 24)) {
            return {};
        }
        list.resize(list.size() * 2);
    }
    return parseStreamList(list);
}

} // namespace

FileChannel::FileChannel() = default;
FileChannel::~FileChannel() = default;

void FileChannel::open(const ChosenFile& file) {
    const auto path = file.path();
    if (isOpen()) {
        throw FileError(words::kCannotOpen, path, "the channel is already open on " + displayText(m_file.path()));
    }
    const auto refuse = [&](const std::string& reason) { throw FileError(words::kCannotOpen, path, reason); };
    if (!isOneName(file.name)) {
        refuse(words::kNotOneName);
    }

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
    FileIdentity identity;
    FileTimes times;
    if (!readIdentity(handle, Entry::File, identity, details) || !readTimes(handle, times)) {
        refuse(osReason(lastError()));
    }
    if ((details.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        refuse(refusalForReparsePoint(handle));
    }
    if (const auto refusal = refusalFor(details.dwFileAttributes); !refusal.empty()) {
        refuse(refusal);
    }
    if (const auto refusal = refusalForName(handle, handles->folder.get(), file.name); !refusal.empty()) {
        refuse(refusal);
    }
    if (identity.volume != folderIdentity.volume) {
        refuse(words::kLeadsElsewhere);
    }
    // The creation time is looked at last: Wine gives the time of the last change there, so a file that was
    // written to meanwhile reads as changed, as it does on Windows.
    FileIdentity sameBirth = identity;
    sameBirth.born = file.identity.born;
    if (sameBirth != file.identity) {
        refuse(words::kReplaced);
    }
    if (times.length != file.length || times.modified != file.modified || times.changed != file.changed) {
        refuse(words::kChanged);
    }
    if (identity.born != file.identity.born) {
        refuse(words::kReplaced);
    }
    OpenedFile& opened = handles->opened;
    opened.otherNames = static_cast<int>(details.nNumberOfLinks) - 1;
    if (opened.otherNames > 0) {
        opened.otherNamesFound = otherNamesIn(file.folder, file.name);
    }
    opened.drive = driveFactsOf(handle, file.folder, details.dwFileAttributes);
    opened.mapBefore = readBlockMap(handle, opened.drive.allocationUnit);
    opened.storage = storageUnder(handle);
    // Where neither a map nor the drive shows where a sparse file's holes are (Wine shows neither), every byte is
    // written: refused before the first write if the holes alone would fill the drive.
    ULARGE_INTEGER free{};
    if (!opened.mapBefore && !allocatedRanges(handle, times.length) && opened.drive.allocatedBytes >= 0 &&
        GetDiskFreeSpaceExW(file.folder.c_str(), &free, nullptr, nullptr) &&
        times.length - opened.drive.allocatedBytes > static_cast<std::int64_t>(free.QuadPart)) {
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

std::int64_t FileChannel::length() const {
    requireOpen(words::kCannotReadLength);
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(m_handles->file.get(), &size)) {
        throw FileError(words::kCannotReadLength, m_file.path(), osReason(lastError()));
    }
    return size.QuadPart;
}

std::vector<ByteRange> FileChannel::rangesToOverwrite(std::int64_t end) const {
    requireOpen(words::kCannotReadLength);
    if (m_handles->opened.mapBefore) {
        return rangesWithAPlace(*m_handles->opened.mapBefore, end);
    }
    const auto allocated = allocatedRanges(m_handles->file.get(), end);
    return allocated ? *allocated : std::vector<ByteRange>{{0, end}};
}

std::size_t FileChannel::writeWhatFits(std::int64_t offset, std::span<const std::byte> data) {
    requireOpen(words::kCannotWrite);
    std::size_t done = 0;
    while (done < data.size()) {
        const auto at = static_cast<std::uint64_t>(offset) + done;
        OVERLAPPED position{};
        position.Offset = static_cast<DWORD>(at & 0xFFFFFFFFu);
        position.OffsetHigh = static_cast<DWORD>(at >> 32);
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(data.size() - done, 1u << 30));
        DWORD written = 0;
        const bool wrote = WriteFile(m_handles->file.get(), data.data() + done, chunk, &written, &position);
        const int error = wrote ? 0 : lastError();
        // A write that makes no progress without an error would loop for ever: the disk is full, or the file
        // as long as its file system allows.
        if ((wrote && written == 0) || error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL ||
            error == ERROR_FILE_TOO_LARGE) {
            break;
        }
        if (!wrote) {
            throw FileError(std::string(words::kCannotWrite) + " at byte " + std::to_string(at), m_file.path(),
                            osReason(error));
        }
        done += written;
    }
    return done;
}

void FileChannel::writeAt(std::int64_t offset, std::span<const std::byte> data) {
    if (const std::size_t done = writeWhatFits(offset, data); done < data.size()) {
        throw FileError(std::string(words::kCannotWrite) + " at byte " +
                            std::to_string(offset + static_cast<std::int64_t>(done)),
                        m_file.path(), osReason(ERROR_DISK_FULL));
    }
}

void FileChannel::flush() {
    requireOpen(words::kCannotFlush);
    if (!FlushFileBuffers(m_handles->file.get())) {
        throw FileError(words::kCannotFlush, m_file.path(), osReason(lastError()));
    }
}

std::optional<BlockMap> FileChannel::blockMapNow() const {
    requireOpen(words::kCannotObliterate);
    return readBlockMap(m_handles->file.get(), m_handles->opened.drive.allocationUnit);
}

std::vector<Attachment> FileChannel::overwriteAttachments() {
    requireOpen(words::kCannotWrite);
    std::vector<Attachment> attachments;
    FileIdentity identity;
    BY_HANDLE_FILE_INFORMATION details{};
    readIdentity(m_handles->file.get(), Entry::File, identity, details);
    const std::int64_t unit = m_handles->opened.drive.allocationUnit;
    for (const NamedStream& stream : namedStreamsOf(m_handles->file.get())) {
        const std::wstring name(stream.name.begin(), stream.name.end());
        Attachment& attachment = attachments.emplace_back(Attachment{displayText(name), stream.size, {}, {}, {}});
        // Each stream is a file of its own to open; it must belong to this very file.
        const Handle open(CreateFileW((verbatimPath(m_file.path()) + name).c_str(), GENERIC_READ | GENERIC_WRITE,
                                      0, nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
        FileIdentity streamIdentity;
        BY_HANDLE_FILE_INFORMATION streamDetails{};
        if (!open.valid() || !readIdentity(open.get(), Entry::File, streamIdentity, streamDetails)) {
            attachment.failure = osReason(lastError());
            continue;
        }
        if (streamIdentity.file != identity.file || streamIdentity.fileHigh != identity.fileHigh) {
            attachment.failure = words::kLeadsElsewhere;
            continue;
        }
        attachment.before = readBlockMap(open.get(), unit);
        const std::string spaces(64 * 1024, ' ');
        for (std::int64_t at = 0; at < stream.size && attachment.failure.empty();) {
            OVERLAPPED position{};
            position.Offset = static_cast<DWORD>(static_cast<std::uint64_t>(at) & 0xFFFFFFFFu);
            position.OffsetHigh = static_cast<DWORD>(static_cast<std::uint64_t>(at) >> 32);
            DWORD written = 0;
            const auto piece = static_cast<DWORD>(std::min<std::int64_t>(stream.size - at, spaces.size()));
            if (!WriteFile(open.get(), spaces.data(), piece, &written, &position) || written == 0) {
                attachment.failure = osReason(lastError());
            }
            at += written;
        }
        if (attachment.failure.empty() && !FlushFileBuffers(open.get())) {
            attachment.failure = osReason(lastError());
        }
        attachment.after = readBlockMap(open.get(), unit);
    }
    return attachments;
}

void FileChannel::closeAndDelete() {
    requireOpen(words::kCannotDelete);
    // The channel is closed on every road from here, as the handles go with this scope.
    const auto handles = std::move(m_handles);
    const auto path = m_file.path();
    const auto stillThere = [&](const std::filesystem::path& name) {
        return "; its contents were overwritten, but the file is still there as " + displayText(name);
    };
    // Renamed through its own handle to a fresh name first, so that the folder's last record of it is that name.
    int error = 0;
    const std::wstring fresh = renameToFreshName(handles->file.get(), handles->folder.get(), m_file.name, error);
    if (fresh.empty()) {
        throw FileError(words::kCannotDelete, path, osReason(error) + stillThere(m_file.name));
    }
    // Wine renames by the name the file was opened under: if another program put another file there meanwhile,
    // it is that file that now has the fresh name. It is given its name back, and nothing is deleted.
    FileIdentity identity;
    BY_HANDLE_FILE_INFORMATION details{};
    const auto renamed = identityOfEntry(m_file.folder, fresh);
    if (!readIdentity(handles->file.get(), Entry::File, identity, details) || !renamed ||
        renamed->file != identity.file || renamed->fileHigh != identity.fileHigh ||
        renamed->volume != identity.volume) {
        const bool back = MoveFileExW(verbatimPath(m_file.folder / fresh).c_str(), verbatimPath(path).c_str(), 0);
        throw FileError(words::kCannotDelete, path,
                        std::string(words::kSwappedMeanwhile) +
                            (back ? std::string("; the other file has its name back")
                                  : "; the other file is now named " + displayText(fresh)));
    }
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = TRUE;
    if (!SetFileInformationByHandle(handles->file.get(), FileDispositionInfo, &disposition, sizeof disposition)) {
        throw FileError(words::kCannotDelete, path, osReason(lastError()) + stillThere(fresh));
    }
    if (!CloseHandle(handles->file.release())) {
        throw FileError(words::kCannotClose, path, osReason(lastError()));
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
