#include "platform/core/failure_words.h"
#include "platform/core/file_error.h"
#include "platform/core/win32/block_map_reading.h"
#include "platform/core/win32/channel_state.h"
#include "platform/core/win32/drive_facts_reading.h"
#include "platform/core/win32/file_holders_reading.h"
#include "platform/core/win32/storage_reading.h"

#include <algorithm>

// What is known of the open file: its other names, its drive, where its bytes lie, the storage under it, who
// else has it.

namespace ferrowyn {
namespace {

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

} // namespace

OpenedFile factsOf(HANDLE file, const ChosenFile& chosen) {
    BY_HANDLE_FILE_INFORMATION details{};
    GetFileInformationByHandle(file, &details);
    OpenedFile opened;
    opened.otherNames = static_cast<int>(details.nNumberOfLinks) - 1;
    if (opened.otherNames > 0) {
        opened.otherNamesFound = otherNamesIn(chosen.folder, chosen.name);
    }
    opened.drive = driveFactsOf(file, chosen.folder, details.dwFileAttributes);
    opened.mapBefore = readBlockMap(file, opened.drive.allocationUnit);
    opened.storage = storageUnder(file);
    return opened;
}

bool holesWouldFill(HANDLE file, const OpenedFile& opened, const ChosenFile& chosen) {
    ULARGE_INTEGER free{};
    return !opened.mapBefore && !allocatedRanges(file, chosen.length) && opened.drive.allocatedBytes >= 0 &&
           GetDiskFreeSpaceExW(chosen.folder.c_str(), &free, nullptr, nullptr) &&
           chosen.length - opened.drive.allocatedBytes > static_cast<std::int64_t>(free.QuadPart);
}

std::vector<ByteRange> FileChannel::rangesToOverwrite(std::int64_t end) const {
    requireOpen(words::kCannotReadLength);
    if (m_handles->opened.mapBefore) {
        return rangesWithAPlace(*m_handles->opened.mapBefore, end);
    }
    const auto allocated = allocatedRanges(m_handles->file.get(), end);
    return allocated ? *allocated : std::vector<ByteRange>{{0, end}};
}

std::optional<BlockMap> FileChannel::blockMapNow() const {
    requireOpen(words::kCannotObliterate);
    return readBlockMap(m_handles->file.get(), m_handles->opened.drive.allocationUnit);
}

} // namespace ferrowyn
