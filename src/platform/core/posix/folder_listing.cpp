#include "platform/core/folder_listing.h"
#include "platform/core/failure_words.h"
#include "platform/core/file_error.h"
#include "platform/core/folder_path.h"

#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <string_view>
#include <sys/stat.h>

namespace ferrowyn {
namespace {

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};
using DirHandle = std::unique_ptr<DIR, DirCloser>;

DirHandle openForListing(const std::filesystem::path& folder) {
    DirHandle dir(::opendir(folder.c_str()));
    if (!dir) {
        throw FileError(words::kCannotOpenFolder, folder, osReason(errno));
    }
    return dir;
}

// The entry's type, from the directory itself when the file system reports it (no stat per entry: a folder of
// 100,000 files lists quickly), else from lstat.
unsigned char typeOf(int folderFd, const dirent& entry) {
    if (entry.d_type != DT_UNKNOWN) {
        return entry.d_type;
    }
    struct stat info {};
    if (::fstatat(folderFd, entry.d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) {
        return DT_UNKNOWN;
    }
    if (S_ISREG(info.st_mode)) {
        return DT_REG;
    }
    if (S_ISDIR(info.st_mode)) {
        return DT_DIR;
    }
    return S_ISLNK(info.st_mode) ? DT_LNK : DT_UNKNOWN;
}

bool linksToFolder(int folderFd, const char* name) {
    struct stat info {};
    return ::fstatat(folderFd, name, &info, 0) == 0 && S_ISDIR(info.st_mode);
}

bool isFolder(int folderFd, const dirent& entry, unsigned char type) {
    return type == DT_DIR || (type == DT_LNK && linksToFolder(folderFd, entry.d_name));
}

} // namespace

FolderListing listFolder(const std::filesystem::path& folder) {
    const DirHandle dir = openForListing(folder);
    const int folderFd = ::dirfd(dir.get());
    FolderListing listing;
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(dir.get());
        if (entry == nullptr) {
            if (errno != 0) {
                throw FileError(words::kCannotReadFolder, folder, osReason(errno));
            }
            return listing;
        }
        // Hidden files start with a dot and are left out; hidden folders (~/.ssh) are shown, but not "." and "..".
        const std::string_view name = entry->d_name;
        const unsigned char type = typeOf(folderFd, *entry);
        if (type == DT_REG && name.front() != '.') {
            listing.files.add(name);
        } else if (name != "." && name != ".." && isFolder(folderFd, *entry, type)) {
            listing.folders.add(name);
        }
    }
}

bool canListFolder(const std::filesystem::path& folder) {
    return DirHandle(::opendir(folder.c_str())) != nullptr;
}

std::filesystem::path reachedFolder(const std::filesystem::path& folder) {
    const std::unique_ptr<char, decltype(&std::free)> reached(::realpath(folder.c_str(), nullptr), &std::free);
    if (!reached) {
        throw FileError(words::kCannotFindFolder, folder, osReason(errno));
    }
    return reached.get();
}

} // namespace ferrowyn
