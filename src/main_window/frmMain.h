#pragma once

#include "main_window/given_files.h"
#include "platform/core/chosen_file.h"
#include "platform/widgets/command_button.h"
#include "platform/widgets/dir_list_box.h"
#include "platform/widgets/drive_list_box.h"
#include "platform/widgets/file_list_box.h"
#include "platform/widgets/label.h"

#include <QWidget>
#include <filesystem>
#include <optional>
#include <vector>

namespace ferrowyn {

// The program's only window: three linked lists to choose a file, its details, and the button that obliterates
// it. The handlers read and write the controls directly; there is no model behind them.
//
// The names are the window's own, as it was first drawn: a control's name starts with its kind (btn a command
// button, dvl the drive list, dls the folder list, fls the file list, lbl a label), and a handler is named after
// its control and event (flsFileList_Click). Form_Load, Form_QueryUnload and Form_Unload are the window's own
// events. A label's text is its Caption; lblOblPos shows the obliteration's position, as a percentage.
class frmMain : public QWidget {
    Q_OBJECT
public:
    explicit frmMain(QWidget* owner = nullptr);

    // Loads the window's contents, then shows it with its frame centred on the screen and the focus on the drive
    // list. With files given (on the command line), the lists open on the first one's folder with it selected, as
    // if the user had clicked it. What went wrong on the way is said over the window, once it shows.
    void start(const std::vector<std::filesystem::path>& files = {});

    // The controls, in creation order.
    CommandButton* const btnObliterate;
    DirListBox* const dlsDirList;
    FileListBox* const flsFileList;
    DriveListBox* const dvlDriveList;
    Label* const lblFileInfo;
    Label* const lblOblPos;
    Label* const lblFerrowynEmail;

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void placeControls();
    void connectHandlers();

    void Form_Load();
    void Form_QueryUnload(int& cancel, int unloadMode);
    void Form_Unload(int& cancel);

    void dvlDriveList_Change();
    void dlsDirList_Change();
    void flsFileList_Click();

    void btnObliterate_Click();
    void obliterateSelectedFile();
    bool askBeforeWriting(const ChosenFile& file, const QString& question);
    void lblOblPos_Change();

    void applyAvailabilityRule();
    void emptyDetailsWhenNothingSelected();
    void showFolderAsItIsNow(const QString& error);
    void moveListsTo(const std::filesystem::path& folder);
    QString selectGivenFiles(const std::vector<GivenFile>& files);
    ChosenFile chosenFileToObliterate() const;
    void centreFrameOnScreen();

    bool m_awaitingFrame = false;
    bool m_obliterating = false;
    bool m_closeAsked = false; // while obliterating: the close waits for the pass
    QStringList m_toldOnceShown;
    // The selected file as it was when it was clicked: the obliteration acts on that file or on none.
    std::optional<ChosenFile> m_chosen;
};

} // namespace ferrowyn
