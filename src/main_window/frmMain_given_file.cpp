// A file brought to the window from outside: named on the command line ("Open with" in a file manager, the
// context menu in Explorer) or dropped on the window. It is selected exactly as if the user had clicked it, and
// nothing more: obliterating it still takes the button and the confirmation.

#include "main_window/frmMain.h"
#include "main_window/given_files.h"
#include "platform/core/failure_words.h"
#include "platform/core/file_channel.h"
#include "platform/core/file_error.h"
#include "platform/core/folder_path.h"
#include "platform/gui/default_handling.h"
#include "platform/gui/message_box.h"
#include "platform/gui/path_text.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>

namespace ferrowyn {

void frmMain::selectGivenFiles(const std::vector<std::filesystem::path>& files) {
    const auto& path = files.front();
    const auto folder = normalFolderPath(path.parent_path());
    const auto name = path.filename();
    QString message;
    try {
        // Whatever the overwrite would refuse is said now, before the file is shown as chosen.
        FileChannel look;
        look.open(chooseFile(folder, name));
        look.close();
        moveListsTo(folder);
        if (!flsFileList->Select(name)) {
            throw FileError(words::kCannotSelect, path, words::kNotListed);
        }
        flsFileList_Click();
    } catch (const FileError& error) {
        message = QStringLiteral("Ferrowyn cannot select ") + shownText(path) + QStringLiteral(": ") +
                  QString::fromStdString(error.reason()) + '.';
        if (const auto nearest = nearestListableFolder(folder);
            !nearest.empty() && nearest != dlsDirList->Path()) {
            moveListsTo(nearest);
        }
    }
    if (files.size() > 1) {
        message += (message.isEmpty() ? QString() : QStringLiteral("\n\n")) +
                   QStringLiteral("Ferrowyn obliterates one file at a time: %1 of the %2 files given is selected.")
                       .arg(shownText(name))
                       .arg(files.size());
    }
    if (!message.isEmpty()) {
        MessageBox::show(message);
    }
}

void frmMain::dragEnterEvent(QDragEnterEvent* event) {
    if (!m_obliterating && event->mimeData()->hasUrls() && !droppedFiles(event->mimeData()->urls()).empty()) {
        event->acceptProposedAction();
    }
}

void frmMain::dropEvent(QDropEvent* event) {
    const auto files = droppedFiles(event->mimeData()->urls());
    if (m_obliterating || files.empty()) {
        return;
    }
    event->acceptProposedAction();
    runGuarded([&] { selectGivenFiles(files); });
}

} // namespace ferrowyn
