// The obliterate command: confirm, overwrite the selected file with live progress, delete it, and say how it went.

#include "main_window/frmMain.h"
#include "obliteration/overwrite_pass.h"
#include "platform/core/file_channel.h"
#include "platform/gui/message_box.h"
#include "platform/gui/path_text.h"

namespace ferrowyn {

void frmMain::btnObliterate_Click() {
    const QString prompt = QStringLiteral("Are you sure you want to obliterate ") + flsFileList->FileName() +
                           QStringLiteral("?  This is an irreversable operation, which will completely "
                                          "obliterate the contents of the file.");
    const QString title = QStringLiteral("Obliterate ") + flsFileList->FileName() + QStringLiteral("?");
    if (MessageBox::show(prompt, MessageButtons::YesNo, title) == MessageAnswer::Yes) {
        obliterateSelectedFile();
    }
    // Reached once on every road. An error here is not the obliteration's: it goes to the default handling
    // rather than back into the failure path, which would bring it here again.
    flsFileList->Refresh();
    btnObliterate->setEnabled(false);
}

void frmMain::obliterateSelectedFile() {
    FileChannel channel;
    try {
        const QString path = selectedFilePath();
        overwritePass(toFsPath(path), channel, [this](const std::string& progress) {
            lblOblPos->setCaption(QString::fromStdString(progress));
        });
        lblOblPos->setCaption(QString());
        // Shown only now that the spaces are on the device, the file is closed and it is gone.
        MessageBox::show(QStringLiteral("File Obliterated Successfully"));
    } catch (const std::exception&) {
        // The message shows while the channel is still open; it is closed once the user has read it.
        MessageBox::show(QStringLiteral("There was a problem Obliterating the file!"));
        try {
            channel.close();
        } catch (const std::exception&) {
            // The channel is closed all the same, and the failure has been reported.
        }
        lblOblPos->setCaption(QString());
    }
}

void frmMain::lblOblPos_Change() {
    // The click handler keeps the event loop waiting while the pass runs, so the label paints itself.
    lblOblPos->Refresh();
}

} // namespace ferrowyn
