// The three linked lists: a change of drive moves the folder list, a change of folder moves the file list, and a
// click on a file shows its details. The button is available exactly while a file is selected.

#include "main_window/file_details.h"
#include "main_window/frmMain.h"
#include "main_window/selected_file_path.h"
#include "platform/core/file_error.h"
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
        lblFileInfo->setCaption(fileDetails(selectedFilePath()));
    } catch (const FileError& error) {
        // The file went away after the list was read: say so and show the folder as it is now.
        MessageBox::show(QString::fromStdString(error.what()));
        flsFileList->Refresh();
        applyAvailabilityRule();
    }
    emptyDetailsWhenNothingSelected();
}

void frmMain::applyAvailabilityRule() {
    btnObliterate->setEnabled(flsFileList->ListIndex() != -1);
}

void frmMain::emptyDetailsWhenNothingSelected() {
    if (flsFileList->ListIndex() == -1) {
        lblFileInfo->setCaption(QString());
    }
}

QString frmMain::selectedFilePath() const {
    // The folder side is always the folder list's, never the file list's.
    return joinFolderAndFile(dlsDirList->Path(), flsFileList->FileName());
}

} // namespace ferrowyn
