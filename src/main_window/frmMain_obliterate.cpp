// The obliterate command: confirm, overwrite the selected file with live progress, delete it, and say how it went.

#include "main_window/frmMain.h"
#include "obliteration/overwrite_pass.h"
#include "platform/core/failure_words.h"
#include "platform/core/file_channel.h"
#include "platform/core/file_error.h"
#include "platform/widgets/message_box.h"
#include "platform/widgets/off_loop_job.h"
#include "platform/widgets/path_text.h"

#include <utility>

namespace ferrowyn {
namespace {

const QString kSuccess = QStringLiteral("File Obliterated Successfully");
const QString kFailure = QStringLiteral("There was a problem Obliterating the file!");

QString becauseOf(const std::string& reason) {
    return QStringLiteral(", because ") + QString::fromStdString(reason) + '.';
}

// The question before overwriting a file whose contents have other names, naming those found in its folder.
QString otherNamesQuestion(int others, const std::vector<std::filesystem::path>& found) {
    QStringList names;
    for (const auto& name : found) {
        names << shownText(name);
    }
    const QString where = found.empty() ? QStringLiteral(", in other folders")
                          : static_cast<int>(found.size()) < others
                              ? QStringLiteral(", among them ") + names.join(QStringLiteral(", "))
                              : QStringLiteral(": ") + names.join(QStringLiteral(", "));
    return others == 1
               ? QStringLiteral("This file has 1 other name that shares its contents (a hard link)") + where +
                     QStringLiteral(". After the obliteration that name will hold only spaces.")
               : QStringLiteral("This file has %1 other names that share its contents (hard links)").arg(others) +
                     where + QStringLiteral(". After the obliteration they will hold only spaces.");
}

// The question before overwriting a file that other programs have open, naming them.
QString holdersQuestion(const std::vector<FileHolder>& holders) {
    const QString named = QString::fromStdString(words::programsNamed(holders));
    return (holders.size() == 1 ? QStringLiteral("Another program has this file open: ") + named
                                : QStringLiteral("Other programs have this file open: ") + named) +
           QStringLiteral(". A program that has the file open may write its old contents back after the "
                          "obliteration, for example when it saves.");
}

} // namespace

void frmMain::btnObliterate_Click() {
    const QString name = shownText(flsFileList->FileName());
    const QString prompt = QStringLiteral("Are you sure you want to obliterate ") + name +
                           QStringLiteral("?  This is an irreversable operation, which will completely "
                                          "obliterate the contents of the file.");
    const QString title = QStringLiteral("Obliterate ") + name + QStringLiteral("?");
    if (MessageBox::show(prompt, MessageButtons::YesNo, title) == MessageAnswer::Yes) {
        // Paint the window now, without the box that has just closed, before the first block.
        repaint();
        m_obliterating = true;
        obliterateSelectedFile();
        m_obliterating = false;
    }
    // Reached once on every road, outside the failure path, so that an error here cannot bring us back.
    try {
        flsFileList->Refresh();
    } catch (const FileError& error) {
        showFolderAsItIsNow(QString::fromStdString(error.what()));
    }
    btnObliterate->setEnabled(false);
    // A close asked for during the pass comes now, with its question.
    if (std::exchange(m_closeAsked, false)) {
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
    }
}

ChosenFile frmMain::chosenFileToObliterate() const {
    const auto folder = dlsDirList->Path();
    const auto name = flsFileList->FileName();
    if (!m_chosen || m_chosen->folder != folder || m_chosen->name != name) {
        throw FileError(words::kCannotOpen, folder / name, words::kReplaced);
    }
    return *m_chosen;
}

bool frmMain::askBeforeWriting(const ChosenFile& file, const QString& question) {
    // Asked from the pass's thread, answered on the window's. No is the default: a held Enter key must not pass
    // this question on the heels of the confirmation.
    return onEventLoop([&] {
        const auto answer = MessageBox::show(
            question + QStringLiteral("\n\nDo you want to go on?"), MessageButtons::YesNo,
            QStringLiteral("Obliterate ") + shownText(file.name) + QStringLiteral("?"), MessageAnswer::No);
        repaint();
        return answer == MessageAnswer::Yes;
    });
}

void frmMain::obliterateSelectedFile() {
    FileChannel channel;
    try {
        const ChosenFile file = chosenFileToObliterate();
        PassQuestions questions;
        questions.goOnWithOtherNames = [&](int others, const std::vector<std::filesystem::path>& found) {
            return askBeforeWriting(file, otherNamesQuestion(others, found));
        };
        questions.goOnWhereOldContentsMayRemain = [&](const std::string& reason) {
            return askBeforeWriting(file,
                                    QStringLiteral("On this drive the file will be overwritten and deleted, but "
                                                   "its old contents may remain on the device") +
                                        becauseOf(reason));
        };
        questions.goOnWhileOthersHaveItOpen = [&](const std::vector<FileHolder>& holders) {
            return askBeforeWriting(file, holdersQuestion(holders));
        };
        // The pass runs off the window's thread, which goes on painting; each new percentage is handed to it.
        const PassResult result = runOffEventLoop([&] {
            return overwritePass(
                file, channel,
                [this, shown = std::string()](const std::string& progress) mutable {
                    if (progress != shown) {
                        shown = progress;
                        postToEventLoop(
                            [this, text = QString::fromStdString(progress)] { lblOblPos->setCaption(text); });
                    }
                },
                questions);
        });
        lblOblPos->setCaption(QString());
        // Shown only now that the spaces are on the device where the old contents lay, the file is closed and it
        // is gone.
        // What the drive itself may keep follows the outcome, on lines of its own.
        const QString note =
            result.storageNote.empty() ? QString() : "\n\n" + QString::fromStdString(result.storageNote);
        if (result.outcome == PassOutcome::Obliterated) {
            MessageBox::show(kSuccess + note);
        } else if (result.outcome == PassOutcome::OldContentsMayRemain) {
            MessageBox::show(
                QStringLiteral(
                    "The file was overwritten and deleted, but its old contents may remain on the device") +
                becauseOf(result.whyOldContentsMayRemain) + note);
        }
    } catch (const std::exception& error) {
        // The message shows while the channel is still open; it is closed once the user has read it.
        MessageBox::show(kFailure + QStringLiteral("\n\n") + QString::fromStdString(error.what()));
        try {
            channel.close();
        } catch (const std::exception&) {
            // The channel is closed all the same, and the failure has been reported.
        }
        lblOblPos->setCaption(QString());
    }
}

void frmMain::lblOblPos_Change() {
    // Painted at once, once for each new percentage.
    lblOblPos->Refresh();
}

} // namespace ferrowyn
