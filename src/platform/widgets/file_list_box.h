#pragma once

#include "platform/core/folder_listing.h"

#include <QWidget>
#include <filesystem>
#include <memory>

namespace ferrowyn {

class FileView;
class NameListModel;

// The regular files of one folder (no folders, links, devices, pipes or sockets; hidden files left out), sorted
// without regard to case. Selecting an entry with the mouse or the keyboard raises Click, also when the entry was
// already selected; nothing done by the program raises it.
class FileListBox : public QWidget {
    Q_OBJECT
public:
    explicit FileListBox(QWidget* parent = nullptr);

    std::filesystem::path Path() const { return m_path; }
    // Reads the folder's files and clears the selection. Raises FileError (changing nothing) when the folder
    // cannot be read. Given `listing`, the folder's entries as the folder list read them a moment ago, shows
    // its files instead of reading the folder again.
    void setPath(const std::filesystem::path& path, std::shared_ptr<const FolderListing> listing = nullptr);
    // Reads the same folder again from disk and clears the selection.
    void Refresh();

    // Selects the entry `name` as the program's own doing: Click is not raised. False when it is not listed.
    bool Select(const std::filesystem::path& name);

    // The selected name, without its folder, exactly as the file system has it; empty when nothing is selected.
    std::filesystem::path FileName() const;
    // The selected entry's position, or -1 when nothing is selected. A folder may hold more files than a 16-bit
    // index can count, so it is a plain int.
    int ListIndex() const;
    // The entries as shown.
    int ListCount() const;
    QString List(int index) const;

signals:
    void Click();

private:
    FileView* m_view;
    NameListModel* m_names; // row by row, as the list shows them
    std::filesystem::path m_path;
    bool m_selectingQuietly = false;
};

} // namespace ferrowyn
