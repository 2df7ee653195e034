#pragma once

#include <QList>
#include <QString>
#include <filesystem>

namespace ferrowyn {

// A volume as the drive list knows it: on Windows a drive, on Linux a mounted storage volume.
struct Volume {
    std::filesystem::path root; // the folder at the volume's top: "C:\", "/home"
    QString shown;              // how the drive list shows it: "c: [System]", "/home [home]"
};

// The machine's volumes that a user would recognise, in the order the drive list shows them.
QList<Volume> storageVolumes();

// The root of the volume that holds the folder `path`: on Linux the longest volume root it lies under, on Windows
// its drive or network share.
std::filesystem::path volumeRootOf(const std::filesystem::path& path);

// The folder a drive is "in": on Windows the drive's current folder; on Linux the working folder when it lies
// on that volume, else the volume's root. Raises FileError when the volume is gone.
std::filesystem::path currentFolderOfDrive(const std::filesystem::path& root);

} // namespace ferrowyn
