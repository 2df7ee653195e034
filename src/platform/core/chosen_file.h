#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>

namespace ferrowyn {

// What tells one file from every other on the machine for as long as it exists: on Linux its device and inode,
// on Windows its volume's serial number and its file index.
struct FileIdentity {
    std::uint64_t volume = 0;
    std::uint64_t file = 0;
    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

// A file as the user chose it: where it is, which file and which folder it was at that moment, and its details.
// The overwrite reaches the file again through the same folder and acts only if both are still the ones chosen.
struct ChosenFile {
    std::filesystem::path folder;
    std::filesystem::path name;
    FileIdentity folderIdentity;
    FileIdentity identity;
    std::int64_t length = 0;
    std::chrono::system_clock::time_point modified;

    // The folder, one separator unless the folder already ends with one (a volume's root), then the name.
    std::filesystem::path path() const { return folder / name; }
};

// Looks at the entry `name` of `folder` now, without following a link it may be. Raises FileError when it cannot
// be reached.
ChosenFile chooseFile(const std::filesystem::path& folder, const std::filesystem::path& name);

} // namespace ferrowyn
