// The three linked lists: a change of drive moves the folder list, a change of folder moves the file list, and a
// click on a file shows its details. The button is available exactly while a file is selected.

#include "main_window/file_details.h"
#include "main_window/frmMain.h"
#include "platform/core/file_error.h"
#include "platform/core/folder_listing.h"
#include "platform/core/folder_path.h"
#include "platform/core/volumes.h"
#include "platform/widgets/message_box.h"

#include <QSignalBlocker>

namespace ferrowyn {

void frmMain::dvlDriveList_Change() {
    try {
        dlsDirList->setPath(currentFolderOfDrive(dvlDriveList->Drive()));
    } catch (const FileError& error) {
        // A drive that is not ready or cannot be read: say so, and show the volume the folder list is on again.
        MessageBox::show(QString::fromStdString(error.what()));
        const QSignalBlocker quiet(dvlDriveList);
        dvlDriveList->setDrive(dlsDirList->Path());
        return;
    }
    applyAvailabilityRule();
    emptyDetailsWhenNothingSelected();
}

void frmMain::dlsDirList_Change() {
    flsFileList->setPath(dlsDirList->Path(), dlsDirList->listing());
    applyAvailabilityRule();
    emptyDetailsWhenNothingSelected();
}

void frmMain::flsFileList_Click() {
    applyAvailabilityRule();
    try {
        // The folder side is always the folder list's, never the file list's.
        m_chosen = chooseFile(dlsDirList->Path(), flsFileList->FileName());
        lblFileInfo->setCaption(fileDetails(*m_chosen));
    } catch (const FileError& error) {
        m_chosen.reset();
        showFolderAsItIsNow(QString::fromStdString(error.what()));
    }
    emptyDetailsWhenNothingSelected();
}

void frmMain::showFolderAsItIsNow(const QString& error) {
    // A file, folder or drive went away after the lists were read: say so once, and show what is there now,
    // moving up to the nearest folder that still exists, or to the first drive that can be read when the drive
    // itself has gone. No road from here ends the program.
    MessageBox::show(error);
    auto folder = nearestListableFolder(dlsDirList->Path());
    for (const Volume& volume : storageVolumes()) {
        if (!folder.empty()) {
            break;
        }
        try {
            folder = nearestListableFolder(currentFolderOfDrive(volume.root));
        } catch (const FileError&) {
            // Not this drive either.
        }
    }
    if (folder == dlsDirList->Path()) {
        flsFileList->Refresh();
    } else if (!folder.empty()) {
        moveListsTo(folder);
    }
    applyAvailabilityRule();
    emptyDetailsWhenNothingSelected();
}

void frmMain::moveListsTo(const std::filesystem::path& folder) {
    // As at start: the drive, then the folder, then the files, whatever the handlers in between did. The folder
    // is read once for both lists.
    dvlDriveList->setDrive(folder);
    dlsDirList->setPath(folder);
    flsFileList->setPath(folder, dlsDirList->listing());
}

void frmMain::applyAvailabilityRule() {
    btnObliterate->setEnabled(flsFileList->ListIndex() != -1);
}

void frmMain::emptyDetailsWhenNothingSelected() {
    if (flsFileList->ListIndex() == -1) {
        lblFileInfo->setCaption(QString());
    }
}

} // namespace ferrowyn
