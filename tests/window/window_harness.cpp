#include "window_harness.h"
#include "platform/core/folder_path.h"
#include "platform/widgets/default_handling.h"
#include "platform/widgets/message_box.h"
#include "platform/widgets/path_text.h"
#include "platform/widgets/settings_backend.h"

#include <QAbstractItemView>
#include <QFile>
#include <QTest>

namespace ferrowyn::test {
namespace {

int rowOf(const QStringList& names, const QString& shown) {
    const auto row = static_cast<int>(names.lastIndexOf(shown));
    if (row < 0) {
        qFatal("no entry %s among %s", qPrintable(shown), qPrintable(names.join(", ")));
    }
    return row;
}

// Home, then Down to the row: the same keys whatever was highlighted before.
void moveWithKeys(QWidget* control, int row) {
    QWidget* inner = control->focusProxy();
    inner->setFocus();
    QTest::keyClick(inner, Qt::Key_Home);
    for (int i = 0; i < row; ++i) {
        QTest::keyClick(inner, Qt::Key_Down);
    }
}

} // namespace

WindowHarness::WindowHarness() : m_previousWorkingFolder(std::filesystem::current_path()) {
    keepSettingsIn(m_settings.path()); // the Windows registry cannot be pointed at a temporary folder
    m_work = normalFolderPath(QFile::encodeName(m_workDir.path()).toStdString());
    std::filesystem::current_path(m_work);
    QCoreApplication::setApplicationName("Ferrowyn");
    MessageBox::scriptAnswers();
    MessageBox::clearScript();
    setProgramEnd([this](int status) { programEnds.append(status); });
}

WindowHarness::~WindowHarness() {
    m_window.reset();
    m_owner.reset();
    std::filesystem::current_path(m_previousWorkingFolder);
    keepSettingsIn({});
    MessageBox::clearScript();
    // QTemporaryDir cannot remove a name that is not UTF-8; std::filesystem takes names as bytes.
    std::error_code ignored;
    std::filesystem::remove_all(m_work, ignored);
}

std::filesystem::path WindowHarness::makeFile(const std::filesystem::path& relative, qint64 size) {
    std::filesystem::create_directories(pathOf(relative).parent_path());
    writeFile(pathOf(relative), size);
    return pathOf(relative);
}

frmMain& WindowHarness::startWindow(const std::vector<std::filesystem::path>& files) {
    m_window.reset(); // a window started again replaces the one before
    m_owner = std::make_unique<QWidget>();
    m_window = std::make_unique<frmMain>(m_owner.get());
    m_window->start(files);
    if (!QTest::qWaitForWindowExposed(m_window.get())) {
        qFatal("the window never showed");
    }
    return *m_window;
}

void WindowHarness::clickFile(const QString& shown) {
    auto* view = qobject_cast<QAbstractItemView*>(m_window->flsFileList->focusProxy());
    const QModelIndex entry = view->model()->index(rowOf(fileNames(), shown), 0);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(entry).center());
}

void WindowHarness::selectFile(const QString& shown) {
    moveWithKeys(m_window->flsFileList, rowOf(fileNames(), shown));
}

void WindowHarness::openFolder(const QString& shown) {
    moveWithKeys(m_window->dlsDirList, rowOf(folderNames(), shown));
    QTest::keyClick(m_window->dlsDirList->focusProxy(), Qt::Key_Return);
}

void WindowHarness::confirmObliteration() {
    MessageBox::setNextAnswer(MessageAnswer::Yes);
    if (ferrowyn::test::plainOutcome() != PassOutcome::Obliterated) {
        MessageBox::setNextAnswer(MessageAnswer::Yes);
    }
}

QString WindowHarness::plainOutcome() const {
    const std::string note = storageNoteFor(m_work);
    const QString outcome = ferrowyn::test::plainOutcome() == PassOutcome::Obliterated
                                ? QStringLiteral("File Obliterated Successfully")
                                : QStringLiteral("The file was overwritten and deleted, but its old contents may "
                                                 "remain on the device, because Ferrowyn cannot tell how its file "
                                                 "system (NTFS) stores changes.");
    return note.empty() ? outcome : outcome + "\n\n" + QString::fromStdString(note);
}

void WindowHarness::clickObliterate() {
    QTest::mouseClick(m_window->btnObliterate->focusProxy(), Qt::LeftButton);
}

QStringList shownPrompts() {
    QStringList prompts;
    for (const ShownMessage& message : MessageBox::shown()) {
        prompts.append(message.prompt);
    }
    return prompts;
}

} // namespace ferrowyn::test
