#pragma once

#include "main_window/frmMain.h"

#include <QListWidget>
#include <QTemporaryDir>
#include <memory>

namespace ferrowyn::test {

// Everything a window test stands on: a working folder of its own (the process's working folder meanwhile, so the
// default folder is known), a settings store in a temporary folder, message boxes answered from a script, and an
// end of the program that is recorded instead of carried out.
class WindowHarness {
public:
    WindowHarness();
    ~WindowHarness();

    // The working folder, as the lists write it.
    QString work() const { return m_workPath; }
    QString pathOf(const QString& relative) const;
    QString makeFile(const QString& relative, qint64 size = 10);
    QString makeFolder(const QString& relative);

    // The stored folder, written or read through the real settings file.
    void storeLastFolder(const QString& folder);
    QString storedLastFolder() const;
    QString settingsFileName() const;

    frmMain& startWindow();
    frmMain& window() { return *m_window; }
    // Asks the window to close as the close box does; true when it closed.
    bool closeWindow();

    QListWidget* fileView();
    QListWidget* folderView();
    QStringList fileNames();
    // The folder list's entries as shown, each indented by its depth: "/", " tmp", ...
    QStringList folderEntries();

    void clickFile(const QString& name);
    void clickFolder(const QString& name); // moves the highlight only
    void openFolder(const QString& name);  // a double-click
    void clickObliterate();

    QList<int> programEnds;

private:
    QTemporaryDir m_settings;
    QTemporaryDir m_workDir;
    QString m_workPath;
    QString m_previousWorkingFolder;
    std::unique_ptr<QWidget> m_owner;
    std::unique_ptr<frmMain> m_window;
};

// The texts of the message boxes shown so far.
QStringList shownPrompts();

} // namespace ferrowyn::test
