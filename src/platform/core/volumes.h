#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace ferrowyn {

// A volume as the drive list knows it: on Windows a drive, on Linux a mounted storage volume.
struct Volume {
    std::filesystem::path root; // the folder at its top: "C:\", "/home"
    std::string name;           // the volume itself as a user names it, in UTF-8: "c:", "/home"
    std::string label;          // its label ("System", "home"), or empty when it has none
};

// The machine's volumes that a user would recognise, in the order the drive list shows them.
std::vector<Volume> storageVolumes();

// The root of the volume that holds the folder `path`: on Linux the longest volume root it lies under, on Windows
// its drive or network share.
std::filesystem::path volumeRootOf(const std::filesystem::path& path);

// The folder a drive is "in": on Windows the drive's current folder; on Linux the working folder when it lies
// on that volume, else the volume's root. Raises FileError when the volume is gone or cannot be read.
std::filesystem::path currentFolderOfDrive(const std::filesystem::path& root);

} // namespace ferrowyn
