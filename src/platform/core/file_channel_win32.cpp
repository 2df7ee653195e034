#include "platform/core/block_map_win32.h"
#include "platform/core/failure_words.h"
#include "platform/core/file_channel.h"
#include "platform/core/file_error.h"
#include "platform/core/path_display.h"
#include "platform/core/windows_files.h"

#include <algorithm>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace ferrowyn {

struct FileChannel::Handles {
    Handle folder;
    Handle file;
    int otherNames = 0;
    bool sparse = false;
    DriveKind drive;
    std::int64_t bytesPerCluster = 0;
    std::optional<BlockMap> mapBefore;
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

// What the file's volume and attributes say of an overwrite in place.
DriveKind driveKindOf(HANDLE file, const std::filesystem::path& folder, DWORD attributes) {
    DriveKind facts;
    wchar_t name[MAX_PATH + 1] = {};
    const std::wstring root = folder.root_path().native();
    if (!GetVolumeInformationByHandleW(file, nullptr, 0, nullptr, nullptr, nullptr, name, MAX_PATH + 1)) {
        GetVolumeInformationW(root.c_str(), nullptr, 0, nullptr, nullptr, nullptr, name, MAX_PATH + 1);
    }
    const std::wstring type = name;
    const std::string named = displayText(type.empty() ? std::wstring(L"unknown") : type);
    if (GetDriveTypeW(root.c_str()) == DRIVE_REMOTE || folder.native().rfind(L"\\\\", 0) == 0) {
        facts.whyCopiesMayStayElsewhere = words::onNetworkDrive(named);
    } else if ((attributes & FILE_ATTRIBUTE_COMPRESSED) != 0) {
        facts.whyCopiesMayStayElsewhere = words::kCompressed;
    } else if ((attributes & FILE_ATTRIBUTE_ENCRYPTED) != 0) {
        facts.whyCopiesMayStayElsewhere = words::kEncrypted;
    }
    if (type == L"ReFS") {
        facts.whyWritesGoElsewhere = words::writesToNewPlaces(named);
        facts.whyWithoutBlockMap = facts.whyWritesGoElsewhere;
    } else if (type != L"NTFS" && type != L"FAT" && type != L"FAT32" && type != L"exFAT") {
        facts.whyWithoutBlockMap = words::cannotTell(named);
    }
    return facts;
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

// Renames the open file, through its own handle, to a fresh name in its folder; nothing is ever replaced.
std::wstring renameToFreshName(HANDLE file, const std::filesystem::path& name, int& error) {
    for (int attempt = 0; attempt < 64; ++attempt) {
        const std::wstring fresh = freshNameLike(name);
        std::vector<unsigned char> buffer(sizeof(FILE_RENAME_INFO) + fresh.size() * sizeof(wchar_t));
        auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
        rename->ReplaceIfExists = FALSE;
        rename->RootDirectory = nullptr;
        rename->FileNameLength = static_cast<DWORD>(fresh.size() * sizeof(wchar_t));
        std::copy(fresh.begin(), fresh.end(), rename->FileName);
        if (SetFileInformationByHandle(file, FileRenameInfo, rename, static_cast<DWORD>(buffer.size()))) {
            return fresh;
        }
        error = lastError();
        if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS) {
            break;
        }
    }
    return {};
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

    // The folder is held open without sharing deletion, so that it cannot be renamed or removed meanwhile.
    auto handles = std::make_unique<Handles>();
    handles->folder.reset(CreateFileW(verbatimPath(file.folder).c_str(), FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    FileIdentity identity;
    BY_HANDLE_FILE_INFORMATION details{};
    if (!handles->folder.valid() || !readIdentity(handles->folder.get(), Entry::Folder, identity, details)) {
        refuse(reasonFor(lastError()));
    }
    if (identity != file.folderIdentity) {
        refuse(identity.sameDrive(file.folderIdentity) ? words::kFolderReplaced : words::kDriveGone);
    }
    // Look before opening, so that a link or a read-only file is refused before anything is touched; the look at
    // the open handle below is the one that counts.
    const auto verbatim = verbatimPath(path);
    const DWORD attributes = GetFileAttributesW(verbatim.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        refuse(reasonFor(lastError()));
    }
    if (const auto refusal = refusalFor(attributes); !refusal.empty()) {
        refuse(refusal);
    }
    // Shared with nobody while it is open: this is the exclusive lock, and a file another program has open is
    // refused here. The reparse point itself is opened, never what it leads to. Opening for writing changes
    // nothing on Windows, so the file is writable from here on.
    handles->file.reset(CreateFileW(verbatim.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!handles->file.valid()) {
        refuse(reasonFor(lastError()));
    }
    if (GetFileType(handles->file.get()) != FILE_TYPE_DISK) {
        refuse(words::kNotRegular);
    }
    if (!readIdentity(handles->file.get(), Entry::File, identity, details)) {
        refuse(osReason(lastError()));
    }
    if (const auto refusal = refusalFor(details.dwFileAttributes); !refusal.empty()) {
        refuse(refusal);
    }
    if (!isNamed(handles->file.get(), file.folder, file.name)) {
        refuse(words::kLeadsElsewhere);
    }
    // The creation time is looked at last: Wine gives the time of the last change there, so a file that was
    // written to meanwhile reads as changed, as it does on Windows.
    FileIdentity sameBirth = identity;
    sameBirth.born = file.identity.born;
    if (sameBirth != file.identity) {
        refuse(words::kReplaced);
    }
    const std::int64_t length = (static_cast<std::int64_t>(details.nFileSizeHigh) << 32) | details.nFileSizeLow;
    if (length != file.length || timeOf(details.ftLastWriteTime) != file.modified) {
        refuse(words::kChanged);
    }
    if (identity.born != file.identity.born) {
        refuse(words::kReplaced);
    }
    handles->otherNames = static_cast<int>(details.nNumberOfLinks) - 1;
    handles->sparse = (details.dwFileAttributes & FILE_ATTRIBUTE_SPARSE_FILE) != 0;
    handles->drive = driveKindOf(handles->file.get(), file.folder, details.dwFileAttributes);
    DWORD sectorsPerCluster = 0;
    DWORD bytesPerSector = 0;
    DWORD free = 0;
    DWORD total = 0;
    if (GetDiskFreeSpaceW(file.folder.root_path().c_str(), &sectorsPerCluster, &bytesPerSector, &free, &total)) {
        handles->bytesPerCluster = static_cast<std::int64_t>(sectorsPerCluster) * bytesPerSector;
    }
    handles->mapBefore = readBlockMap(handles->file.get(), handles->bytesPerCluster);
    m_handles = std::move(handles);
    m_file = file;
}

int FileChannel::otherNames() const {
    return isOpen() ? m_handles->otherNames : 0;
}

std::string FileChannel::whyOldContentsMayRemain() const {
    return isOpen() ? whyOldContentsMayRemainBefore(m_handles->drive, m_handles->mapBefore) : std::string();
}

void FileChannel::lockForWriting() {
    // Already open for writing and shared with nobody.
    requireOpen(words::kCannotOpen);
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

std::vector<ByteRange> FileChannel::dataRanges(std::int64_t end) const {
    requireOpen(words::kCannotReadLength);
    if (!m_handles->sparse) {
        return {{0, end}};
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
        // A write that makes no progress without an error would loop for ever: the disk is full.
        if ((wrote && written == 0) || error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL) {
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

std::string FileChannel::whyOldContentsMayRemainNow(std::int64_t oldEnd) const {
    requireOpen(words::kCannotObliterate);
    const auto mapAfter =
        m_handles->mapBefore ? readBlockMap(m_handles->file.get(), m_handles->bytesPerCluster) : std::nullopt;
    const MapVerdict verdict =
        whyOldContentsMayRemainAfter(m_handles->drive, m_handles->mapBefore, mapAfter, oldEnd);
    if (verdict.cutShort) {
        throw FileError(words::kCannotObliterate, m_file.path(), words::kCutShort);
    }
    return verdict.whyOldContentsMayRemain;
}

void FileChannel::closeAndDelete() {
    requireOpen(words::kCannotDelete);
    // The channel is closed on every road from here, as the handles go with this scope.
    const auto handles = std::move(m_handles);
    const auto path = m_file.path();
    const auto stillThere = [&](const std::filesystem::path& name) {
        return "; its contents were overwritten, but the file is still there as " + displayText(name);
    };
    // Renamed through its own handle to a fresh name first, so that the folder's last record of it is that name;
    // the delete goes through the same handle, so it is this file that goes, whatever its old name leads to.
    int error = 0;
    const std::wstring fresh = renameToFreshName(handles->file.get(), m_file.name, error);
    if (fresh.empty()) {
        throw FileError(words::kCannotDelete, path, osReason(error) + stillThere(m_file.name));
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
