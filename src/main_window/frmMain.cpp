#include "main_window/frmMain.h"
#include "main_window/design_values.h"
#include "platform/core/folder_listing.h"
#include "platform/core/volumes.h"
#include "platform/widgets/default_handling.h"
#include "platform/widgets/message_box.h"
#include "settings/last_folder.h"

#include <QCloseEvent>
#include <QScreen>
#include <QStyle>
#include <utility>

namespace ferrowyn {
namespace {

// A fixed dialog frame: a title and a close box, no minimise or maximise button, not resizable.
constexpr Qt::WindowFlags kFrame = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                                   Qt::MSWindowsFixedSizeDialogHint;

QIcon ferrowynIcon() {
    QIcon icon;
    icon.addFile(QStringLiteral(":/ferrowyn/ferrowyn-32.xpm"), QSize(32, 32));
    icon.addFile(QStringLiteral(":/ferrowyn/ferrowyn-16.xpm"), QSize(16, 16));
    return icon;
}

// The first of the folders that can be opened now, or the last one when none can.
std::filesystem::path firstOpenableFolder(const std::vector<std::filesystem::path>& candidates) {
    for (const auto& folder : candidates) {
        if (!folder.empty() && canListFolder(folder)) {
            return folder;
        }
    }
    return candidates.back();
}

} // namespace

frmMain::frmMain(QWidget* owner)
    : QWidget(owner, kFrame), btnObliterate(new CommandButton(this)), dlsDirList(new DirListBox(this)),
      flsFileList(new FileListBox(this)), dvlDriveList(new DriveListBox(this)), lblFileInfo(new Label(this)),
      lblOblPos(new Label(this)), lblFerrowynEmail(new Label(this)) {
    setWindowTitle(QString::fromLatin1(design::kTitle));
    setWindowIcon(ferrowynIcon());
    setAcceptDrops(true);
    setFixedSize(design::kClientArea.pixels().size());
    placeControls();
    connectHandlers();
}

void frmMain::placeControls() {
    btnObliterate->setGeometry(design::kObliterateButton.pixels());
    btnObliterate->setCaption(QString::fromLatin1(design::kObliterateCaption));
    btnObliterate->setPicture(windowIcon());
    btnObliterate->setEnabled(false);
    btnObliterate->setToolTip(QString::fromLatin1(design::kObliterateTip));

    dlsDirList->setGeometry(design::kDirList.pixels());
    dlsDirList->setToolTip(QString::fromLatin1(design::kDirListTip));
    flsFileList->setGeometry(design::kFileList.pixels());
    flsFileList->setToolTip(QString::fromLatin1(design::kFileListTip));
    dvlDriveList->setGeometry(design::kDriveList.pixels());
    dvlDriveList->setToolTip(QString::fromLatin1(design::kDriveListTip));

    lblFileInfo->setGeometry(design::kFileInfoLabel.pixels());
    lblFileInfo->setShowsLongText(true); // its first line is a path, up to the system's longest
    lblOblPos->setGeometry(design::kProgressLabel.pixels());
    lblFerrowynEmail->setGeometry(design::kSupportLabel.pixels());
    lblFerrowynEmail->setAlignment(Label::AlignCentre);
    lblFerrowynEmail->setCaption(
        QStringLiteral("If you have any trouble with this product, please send an email to ") +
        QStringLiteral(FERROWYN_SUPPORT_ADDRESS) + QStringLiteral(" with specific details of your problem"));

    // Focus order: drive list, file list, folder list, then the button once it is enabled.
    setTabOrder(dvlDriveList, flsFileList);
    setTabOrder(flsFileList, dlsDirList);
    setTabOrder(dlsDirList, btnObliterate);
}

void frmMain::connectHandlers() {
    const auto route = [this](auto* control, auto signal, void (frmMain::*handler)()) {
        connect(control, signal, this, [this, handler] { runGuarded([this, handler] { (this->*handler)(); }); });
    };
    route(dvlDriveList, &DriveListBox::Change, &frmMain::dvlDriveList_Change);
    route(dlsDirList, &DirListBox::Change, &frmMain::dlsDirList_Change);
    connect(dlsDirList, &DirListBox::OpenFailed, this,
            [this](const QString& error) { runGuarded([&] { showFolderAsItIsNow(error); }); });
    route(flsFileList, &FileListBox::Click, &frmMain::flsFileList_Click);
    route(btnObliterate, &CommandButton::Click, &frmMain::btnObliterate_Click);
    route(lblOblPos, &Label::Change, &frmMain::lblOblPos_Change);
}

void frmMain::start(const std::vector<std::filesystem::path>& files) {
    runGuarded([this] { Form_Load(); });
    if (!files.empty()) {
        runGuarded([&] {
            std::vector<GivenFile> given;
            for (const auto& file : files) {
                given.push_back({file, {}, {}});
            }
            if (const QString message = selectGivenFiles(given); !message.isEmpty()) {
                m_toldOnceShown.append(message);
            }
        });
    }
    show();
    centreFrameOnScreen();
    dvlDriveList->setFocus();
    for (const QString& message : std::exchange(m_toldOnceShown, {})) {
        runGuarded([&] { MessageBox::show(message, MessageButtons::Ok, {}, MessageAnswer::Yes, this); });
    }
}

void frmMain::centreFrameOnScreen() {
    // A window's position is that of its frame. On X11 the frame is known only once the window manager has put
    // it around the window: then the window is centred again, once, when it first becomes active.
    m_awaitingFrame = frameGeometry() == geometry();
    const QRect screenArea = screen()->availableGeometry();
    const QSize frame = frameGeometry().size();
    move(screenArea.center() - QPoint(frame.width() / 2, frame.height() / 2));
}

void frmMain::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && m_awaitingFrame && isActiveWindow()) {
        centreFrameOnScreen();
        m_awaitingFrame = false;
    }
}

void frmMain::closeEvent(QCloseEvent* event) {
    // The system may ask to close the window while it answers it during a pass: the close waits for the pass.
    if (m_obliterating) {
        m_closeAsked = true;
        event->ignore();
        return;
    }
    bool unloaded = false;
    runGuarded([&] {
        // Every cause of closing meets the same question; the mode it is given is not looked at.
        int cancel = 0;
        Form_QueryUnload(cancel, 0);
        if (cancel == 0) {
            Form_Unload(cancel);
            unloaded = true;
        }
    });
    if (unloaded) {
        event->accept();
    } else {
        event->ignore();
    }
}

void frmMain::Form_Load() {
    const auto defaultFolder = currentFolderOfDrive(dvlDriveList->Drive());
    // A remembered folder that is gone, or whose volume is, gives way to the default; a default that is gone
    // gives way to its volume's root.
    auto remembered = defaultFolder;
    try {
        remembered = readLastFolder(defaultFolder);
    } catch (const std::runtime_error& error) {
        m_toldOnceShown.append(QString::fromStdString(error.what()));
    }
    const auto folder = firstOpenableFolder({remembered, defaultFolder, volumeRootOf(defaultFolder)});
    moveListsTo(folder);
    lblOblPos->setAlignment(Label::AlignCentre);
}

void frmMain::Form_QueryUnload(int& cancel, int /*unloadMode*/) {
    const auto answer = MessageBox::show(QStringLiteral("Are you sure you want to quit?"), MessageButtons::YesNo,
                                         QStringLiteral("Quit Ferrowyn?"));
    if (answer != MessageAnswer::Yes) {
        cancel = -1;
    }
}

void frmMain::Form_Unload(int& /*cancel*/) {
    saveLastFolder(flsFileList->Path());
}

} // namespace ferrowyn
