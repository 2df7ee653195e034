#pragma once

#include "platform/core/folder_listing.h"

#include <QWidget>
#include <filesystem>
#include <memory>

class QListView;

namespace ferrowyn {

class FolderRows;

// The folder tree of one volume, as a list: the chain of folders from the volume's root down to Path (open
// folders, indented step by step), then the sub-folders of Path (closed folders, one step deeper), hidden ones
// included, sorted without regard to case. A click or the arrow keys move the highlight only; a double-click or
// Enter opens the highlighted folder.
class DirListBox : public QWidget {
    Q_OBJECT
public:
    explicit DirListBox(QWidget* parent = nullptr);

    std::filesystem::path Path() const { return m_path; }
    // Reads the folder and shows it. Raises Change when the path really changes, and FileError (changing
    // nothing) when the folder cannot be read.
    void setPath(const std::filesystem::path& path);

    // Path's entries as the list read them, its files included: the file list shows those without reading the
    // folder again.
    std::shared_ptr<const FolderListing> listing() const { return m_listing; }

    // The entries as shown, and the highlighted one.
    int ListCount() const;
    QString List(int index) const;
    int ListIndex() const;

signals:
    void Change();
    // The user asked to open a folder that cannot be read; the list stays as it was.
    void OpenFailed(const QString& error);

private:
    void openByUser(int row);
    void highlightPath();

    QListView* m_list;
    FolderRows* m_rows;
    std::filesystem::path m_path;
    std::shared_ptr<const FolderListing> m_listing;
};

} // namespace ferrowyn
