#pragma once

#include <cstdint>
#include <filesystem>

namespace ferrowyn {

// A moment as a file system keeps it: whole seconds since 1970 and the nanoseconds past them. Wide enough for any
// date a file system can hold (a count of nanoseconds overflows after the year 2262).
struct FileTime {
    std::int64_t seconds = 0;
    std::int32_t nanoseconds = 0;

    friend bool operator==(const FileTime&, const FileTime&) = default;
};

// What tells one file from every other, also from a file made later under the same name on a drive put in the
// same place: on Linux the device, the mount, the file system's own id, the inode, its birth time and its
// generation (a new file may get a freed inode number, but not with the same birth time and generation); on
// Windows the volume's serial number, the 128-bit file id and the creation time. A part the file system does not
// keep is 0 on both sides of a comparison.
struct FileIdentity {
    std::uint64_t volume = 0;
    std::uint64_t mount = 0;
    std::uint64_t fileSystem = 0;
    std::uint64_t file = 0;
    std::uint64_t fileHigh = 0;
    // When the file was made. Where the file system keeps no birth time and no generation (most user-space
    // drivers), a file's last status change stands in, so that a file made since is still told apart.
    FileTime born;
    std::uint64_t generation = 0;

    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
    // True when the two lie on the same drive, as mounted now.
    bool sameDrive(const FileIdentity& other) const {
        return volume == other.volume && mount == other.mount && fileSystem == other.fileSystem;
    }
};

// A file as the user chose it: where it is, which file and which folder it was at that moment, and the details
// the window showed. The overwrite reaches the file again through the same folder and acts only if both are still
// the ones chosen and the details still hold, up to its first write.
struct ChosenFile {
    std::filesystem::path folder;
    std::filesystem::path name;
    FileIdentity folderIdentity;
    FileIdentity identity;
    std::int64_t length = 0;
    FileTime modified;
    FileTime changed; // its last status change (a length, a name, a permission), which no program can set back

    // The folder, one separator unless the folder already ends with one (a volume's root), then the name.
    std::filesystem::path path() const { return folder / name; }
};

// True when `name` names one entry of a folder: not empty, not "." or "..", and holding no separator (and on
// Windows no drive or stream colon), so that `folder / name` can never lead anywhere else.
bool isOneName(const std::filesystem::path& name);

// Looks at the entry `name` of `folder` now, without following a link it may be. Raises FileError when it cannot
// be reached or `name` is not one name.
ChosenFile chooseFile(const std::filesystem::path& folder, const std::filesystem::path& name);

} // namespace ferrowyn
