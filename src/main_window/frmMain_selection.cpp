// The three linked lists: a change of drive moves the folder list, a change of folder moves the file list, and a
// click on a file shows its details. The button is available exactly while a file is selected.

#include "main_window/file_details.h"
#include "main_window/frmMain.h"
#include "platform/core/folder_listing.h"
#include "platform/gui/message_box.h"
#include "platform/gui/volumes.h"

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
    flsFileList->setPath(dlsDirList->Path());
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
        showFolderAsItIsNow(error);
    }
    emptyDetailsWhenNothingSelected();
}

void frmMain::showFolderAsItIsNow(const FileError& error) {
    // A file or folder went away after the lists were read: say so once, and show what is there now, moving up
    // to the nearest folder that still exists when the folder itself has gone.
    MessageBox::show(QString::fromStdString(error.what()));
    const auto folder = nearestListableFolder(dlsDirList->Path());
    if (folder == dlsDirList->Path()) {
        flsFileList->Refresh();
    } else {
        dlsDirList->setPath(folder);
    }
    applyAvailabilityRule();
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
