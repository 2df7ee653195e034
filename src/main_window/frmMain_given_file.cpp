// A file brought to the window from outside: named on the command line ("Open with" in a file manager, the
// context menu in Explorer) or dropped on the window. It is selected exactly as if the user had clicked it, and
// nothing more: obliterating it still takes the button and the confirmation.

#include "main_window/frmMain.h"
#include "platform/core/failure_words.h"
#include "platform/core/file_channel.h"
#include "platform/core/file_error.h"
#include "platform/core/folder_path.h"
#include "platform/widgets/default_handling.h"
#include "platform/widgets/message_box.h"
#include "platform/widgets/path_text.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>

namespace ferrowyn {
namespace {

// The folder and the name that `path` leads to, as the system reaches them when it opens the path: the folder is
// resolved by the system, links and ".." as it follows them; the file's own name is kept, never followed. A path
// that ends in ".", ".." or a separator names a folder, which is resolved whole.
std::pair<std::filesystem::path, std::filesystem::path> reachedFile(const std::filesystem::path& path) {
    const auto name = path.filename();
    if (!name.empty() && name != "." && name != "..") {
        return {reachedFolder(path.parent_path()), name};
    }
    const auto folder = reachedFolder(path);
    if (!folder.has_relative_path()) {
        throw FileError(words::kCannotSelect, folder, words::kFolder); // a volume's root
    }
    return {folder.parent_path(), folder.filename()};
}

// The folder nearest to `path` that the system reaches and that can be listed: the names at its end are dropped
// one by one, and what is left is reached as above. Empty when none can.
std::filesystem::path nearestReachedFolder(std::filesystem::path path) {
    for (;;) {
        path = path.parent_path();
        try {
            return nearestListableFolder(reachedFolder(path));
        } catch (const FileError&) {
            // Not this one either.
        }
        if (!path.has_relative_path()) {
            return {};
        }
    }
}

// A drop is taken as a copy, or a link when the source offers no copy; never as a move, which a source may take
// as leave to delete its own.
Qt::DropAction dropActionFor(Qt::DropActions offered) {
    return offered.testFlag(Qt::CopyAction)   ? Qt::CopyAction
           : offered.testFlag(Qt::LinkAction) ? Qt::LinkAction
                                              : Qt::IgnoreAction;
}

} // namespace

QString frmMain::selectGivenFiles(const std::vector<GivenFile>& files) {
    const GivenFile& given = files.front();
    QString message;
    if (!given.refusal.isEmpty()) {
        message =
            QStringLiteral("Ferrowyn cannot select ") + given.address + QStringLiteral(": ") + given.refusal + '.';
    }
    std::filesystem::path shown = given.path;
    std::filesystem::path folder;
    bool selected = false;
    try {
        if (message.isEmpty()) {
            // Whatever the overwrite would refuse is said now, before the file is shown as chosen.
            const auto [reached, name] = reachedFile(given.path);
            folder = reached;
            shown = folder / name;
            FileChannel look;
            look.open(chooseFile(folder, name));
            look.close();
            moveListsTo(folder);
            if (!flsFileList->Select(name)) {
                throw FileError(words::kCannotSelect, shown, words::kNotListed);
            }
            flsFileList_Click();
            selected = flsFileList->ListIndex() != -1;
        }
    } catch (const FileError& error) {
        message = QStringLiteral("Ferrowyn cannot select ") + shownText(shown) + QStringLiteral(": ") +
                  QString::fromStdString(error.reason()) + '.';
        if (const auto nearest = folder.empty() ? nearestReachedFolder(given.path) : nearestListableFolder(folder);
            !nearest.empty() && nearest != dlsDirList->Path()) {
            moveListsTo(nearest);
        }
    }
    if (files.size() > 1) {
        const QString count = QString::number(files.size());
        message +=
            (message.isEmpty() ? QString() : QStringLiteral("\n\n")) +
            (selected ? QStringLiteral("Ferrowyn obliterates one file at a time: %1 of the %2 files given is "
                                       "selected.")
                            .arg(shownText(flsFileList->FileName()), count)
                      : QStringLiteral("Ferrowyn obliterates one file at a time: of the %1 files given, none "
                                       "is selected.")
                            .arg(count));
    }
    return message;
}

void frmMain::dragEnterEvent(QDragEnterEvent* event) {
    dragMoveEvent(event);
}

void frmMain::dragMoveEvent(QDragMoveEvent* event) {
    if (const auto action = dropActionFor(event->possibleActions());
        !m_obliterating && event->mimeData()->hasUrls() && action != Qt::IgnoreAction) {
        event->setDropAction(action);
        event->accept();
    } else {
        event->ignore();
    }
}

void frmMain::dropEvent(QDropEvent* event) {
    const auto action = dropActionFor(event->possibleActions());
    const auto files = droppedFiles(event->mimeData()->urls());
    if (m_obliterating || files.empty() || action == Qt::IgnoreAction) {
        event->ignore();
        return;
    }
    event->setDropAction(action);
    event->accept();
    // Once the drag's source has its answer: a box shown from inside the drop would keep it waiting.
    QMetaObject::invokeMethod(
        this,
        [this, files] {
            runGuarded([&] {
                if (const QString message = selectGivenFiles(files); !message.isEmpty()) {
                    MessageBox::show(message, MessageButtons::Ok, {}, MessageAnswer::Yes, this);
                }
            });
        },
        Qt::QueuedConnection);
}

} // namespace ferrowyn
