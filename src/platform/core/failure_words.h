#pragma once

#include "platform/core/path_display.h"

#include "platform/core/file_holders.h"

#include <string>
#include <vector>

// The words every part of the program uses for what it could not do and why, so that the same trouble reads the
// same wherever it is met. An action holds "%1" where the path goes (see FileError).

namespace ferrowyn::words {

// What failed.
inline constexpr const char* kCannotOpen = "Cannot open %1 for writing";
inline constexpr const char* kCannotReadDetails = "Cannot read the details of %1";
inline constexpr const char* kCannotReadLength = "Cannot read the length of %1";
inline constexpr const char* kCannotWrite = "Cannot write to %1";
inline constexpr const char* kCannotFlush = "Cannot flush %1 to the storage device";
inline constexpr const char* kCannotObliterate = "Cannot obliterate %1";
inline constexpr const char* kCannotClose = "Cannot close %1";
inline constexpr const char* kCannotDelete = "Cannot delete %1";
inline constexpr const char* kCannotOpenFolder = "Cannot open the folder %1";
inline constexpr const char* kCannotFindFolder = "Cannot find the folder %1";
inline constexpr const char* kCannotReadFolder = "Cannot read the folder %1";
inline constexpr const char* kCannotReachDrive = "Cannot reach the drive %1";
inline constexpr const char* kCannotSelect = "Cannot select %1";

// Why, for the file the user chose.
inline constexpr const char* kGone = "it no longer exists";
inline constexpr const char* kReplaced = "it was replaced since it was selected";
inline constexpr const char* kFolderReplaced = "its folder was replaced since the file was selected";
inline constexpr const char* kChanged = "it changed since it was selected";
inline constexpr const char* kDriveGone = "its drive is no longer there";
inline constexpr const char* kNotOneName = "it is not the name of one file in its folder";
inline constexpr const char* kLink = "it is a symbolic link";
inline constexpr const char* kLeadsElsewhere = "its name leads to another file (a link)";
// ... that the drive knows as `name`: another case, or the long name of a short 8.3 one.
inline std::string knownByAnotherName(const std::string& name) {
    return "the drive knows it by another name, " + name;
}
inline constexpr const char* kFolder = "it is a folder";
inline constexpr const char* kNotRegular = "it is not a regular file";
inline constexpr const char* kNotStored = "it is not a file on a storage device";
inline constexpr const char* kReadOnly = "the file is read-only";
inline constexpr const char* kUnchangeable = "the file is marked unchangeable";
inline constexpr const char* kAppendOnly = "the file is marked append-only";
inline constexpr const char* kLocked = "it is locked by another program";
inline constexpr const char* kInUse = "another program has it open";
// The programs that have a file, as "gedit (process 1234)", "gedit (process 1234) and vim (process 99)", "a
// (process 1), b (process 2) and c (process 3)"; a program whose name cannot be read is "process 1234".
inline std::string programsNamed(const std::vector<FileHolder>& holders) {
    std::string names;
    for (std::size_t i = 0; i < holders.size(); ++i) {
        names += i == 0 ? "" : i + 1 == holders.size() ? " and " : ", ";
        const std::string process = "process " + std::to_string(holders[i].process);
        names += holders[i].program.empty() ? process : holders[i].program + " (" + process + ")";
    }
    return names;
}
// ... kLocked or kInUse, naming the programs that hold the lock or the lease, where they can be seen.
inline std::string lockedBy(const std::vector<FileHolder>& lockers) {
    return lockers.empty() ? kLocked : "it is locked by " + programsNamed(lockers);
}
inline std::string inUseBy(const std::vector<FileHolder>& leasers) {
    return leasers.empty() ? kInUse
                           : programsNamed(leasers) + (leasers.size() == 1 ? " has it open" : " have it open");
}
inline constexpr const char* kMountPoint = "another drive is mounted on it";
inline constexpr const char* kReadOnlyDrive = "its drive is read-only";
inline constexpr const char* kFolderNotWritable = "you may not delete files in its folder";
inline constexpr const char* kFolderUnchangeable = "its folder is marked unchangeable";
inline constexpr const char* kFolderAppendOnly = "its folder is marked append-only";
inline constexpr const char* kFolderSticky = "its folder lets only the file's owner delete it";
inline constexpr const char* kHolesWouldFill =
    "its drive cannot show where the holes of this sparse file are, and writing them would fill the drive";
inline constexpr const char* kGrew = "another program added to it while it was overwritten";
inline constexpr const char* kCutShort = "another program cut it short while it was overwritten";
inline constexpr const char* kRenamedMeanwhile = "another program renamed it at the moment it was deleted";
inline constexpr const char* kSwappedMeanwhile =
    "another program put another file in its place while it was overwritten, so it was not deleted";
inline constexpr const char* kManagedByAnotherProgram =
    "it is kept by another program through the system (a reparse point, such as a file in the cloud)";
// ... after the overwrite, where the file that could not be deleted still is.
inline std::string stillThereAs(const std::filesystem::path& name) {
    return "; its contents were overwritten, but the file is still there as " + displayText(name);
}
inline constexpr const char* kNoDrive = "there is no such drive";
inline constexpr const char* kNotMounted = "it is not mounted";
inline constexpr const char* kNotListed = "it is a hidden file, which the file list does not show";

} // namespace ferrowyn::words
