#pragma once

#include <QList>
#include <QString>

namespace ferrowyn {

// A volume as the drive list shows it: on Windows a drive ("c: [System]"), on Linux a mounted storage volume
// ("/home [home]"). The designator is the text the list shows; the root is the folder at the volume's top.
struct Volume {
    QString root;
    QString designator;
};

// The machine's volumes that a user would recognise, in the order the drive list shows them.
QList<Volume> storageVolumes();

// The root of the volume named by `designatorOrPath`: a designator as the drive list shows it, or any path on
// the volume (the volume with the longest matching root holds it). Raises FileError when no volume matches.
QString volumeRootOf(const QString& designatorOrPath);

// The folder a drive is "in": on Windows the drive's current folder; on Linux the working folder when it lies
// on that volume, else the volume's root. Raises FileError when the volume is gone.
QString currentFolderOfDrive(const QString& designatorOrPath);

} // namespace ferrowyn
