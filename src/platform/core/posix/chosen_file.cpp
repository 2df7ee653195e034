#include "platform/core/chosen_file.h"
#include "platform/core/failure_words.h"
#include "platform/core/file_error.h"
#include "platform/core/posix/file_access.h"

#include <cerrno>

namespace ferrowyn {

bool isOneName(const std::filesystem::path& name) {
    const std::string& text = name.native();
    return !text.empty() && text != "." && text != ".." && text.find('/') == std::string::npos;
}

ChosenFile chooseFile(const std::filesystem::path& folder, const std::filesystem::path& name) {
    const auto path = folder / name;
    const auto fail = [&](const std::string& reason) { throw FileError(words::kCannotReadDetails, path, reason); };
    if (!isOneName(name)) {
        fail(words::kNotOneName);
    }
    // Every look goes through one open folder, so that they all see the same folder.
    const Descriptor folderFd = openFolder(folder);
    ChosenFile chosen{folder, name, {}, {}, 0, {}, {}};
    struct statx details {};
    if (!folderFd.valid() || !readIdentity(folderFd.get(), chosen.folderIdentity, details)) {
        fail(osReason(errno));
    }
    // A regular file is opened for reading, which changes nothing, to learn all of its identity; anything else
    // (a link, a device, a pipe) is only looked at, and the overwrite refuses it anyway.
    struct stat entry {};
    if (::fstatat(folderFd.get(), name.c_str(), &entry, AT_SYMLINK_NOFOLLOW) != 0) {
        fail(osReason(errno));
    }
    const Descriptor file = S_ISREG(entry.st_mode) ? openEntryForReading(folderFd.get(), name) : Descriptor();
    if (file.valid()) {
        if (!readIdentity(file.get(), chosen.identity, details)) {
            fail(osReason(errno));
        }
    } else if (!readIdentityOfEntry(folderFd.get(), name, chosen.folderIdentity.fileSystem, chosen.identity,
                                    details)) {
        fail(osReason(errno));
    }
    chosen.length = static_cast<std::int64_t>(details.stx_size);
    chosen.modified = fileTimeOf(details.stx_mtime);
    chosen.changed = fileTimeOf(details.stx_ctime);
    return chosen;
}

} // namespace ferrowyn
