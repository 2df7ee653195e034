#pragma once

#include "main_window/frmMain.h"
#include "platform/widgets/settings_backend.h"
#include "test_support.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QVariant>
#include <memory>

namespace ferrowyn::test {

// Everything a window test stands on: a working folder of its own (the process's working folder meanwhile, so the
// default folder is known), a settings store in a temporary folder, message boxes answered from a script, and an
// end of the program that is recorded instead of carried out. The window is driven through the controls' own
// interface and real mouse and key events.
class WindowHarness {
public:
    WindowHarness();
    ~WindowHarness();

    const std::filesystem::path& work() const { return m_work; }
    std::filesystem::path pathOf(const std::filesystem::path& relative) const {
        return (m_work / relative).make_preferred();
    }
    std::filesystem::path makeFile(const std::filesystem::path& relative, qint64 size = 10);
    std::filesystem::path makeFolder(const std::filesystem::path& relative) {
        std::filesystem::create_directories(pathOf(relative));
        return pathOf(relative);
    }

    // The stored folder, written or read through the real settings store.
    void storeLastFolder(const QVariant& value) { store().setValue(kKey, value); }
    QVariant storedLastFolder() const { return store().value(kKey); }
    QString settingsFileName() const { return store().fileName(); }

    frmMain& startWindow(const std::vector<std::filesystem::path>& files = {});
    // Asks the window to close as the close box does; true when it closed.
    bool closeWindow() { return m_window->close(); }

    // The entries of a list as it shows them.
    template <typename List> static QStringList namesIn(const List* list) {
        QStringList names;
        for (int i = 0; i < list->ListCount(); ++i) {
            names.append(list->List(i));
        }
        return names;
    }
    QStringList fileNames() const { return namesIn(m_window->flsFileList); }
    QStringList folderNames() const { return namesIn(m_window->dlsDirList); }
    void clickFile(const QString& shown);  // with the mouse
    void selectFile(const QString& shown); // with the arrow keys
    void openFolder(const QString& shown); // with the arrow keys and Enter
    void clickObliterate();
    // Answers Yes to the confirmation and to what is asked of every file on this drive (under Wine, that Ferrowyn
    // cannot tell how its file system stores changes).
    void confirmObliteration();
    // What a pass over a plain file in the working folder ends with: "File Obliterated Successfully" (or under
    // Wine, that the old contents may remain) and what the drive itself may keep.
    QString plainOutcome() const;

    QList<int> programEnds;

private:
    static constexpr const char* kKey = "Settings/CurPath";
    static QSettings store() { return QSettings(settingsFile("Ferrowyn"), QSettings::IniFormat); }
    QTemporaryDir m_settings;
    QTemporaryDir m_workDir;
    std::filesystem::path m_work;
    std::filesystem::path m_previousWorkingFolder;
    std::unique_ptr<QWidget> m_owner;
    std::unique_ptr<frmMain> m_window;
};

// The texts of the message boxes shown so far.
QStringList shownPrompts();

} // namespace ferrowyn::test
