#pragma once

#include <QWidget>

class QListWidget;
class QListWidgetItem;

namespace ferrowyn {

// The folder tree of one volume, as a list: the chain of folders from the volume's root down to Path (open
// folders, indented step by step), then the sub-folders of Path (closed folders, one step deeper), sorted without
// regard to case; hidden folders are left out. A click or the arrow keys move the highlight only; a double-click
// or Enter opens the highlighted folder.
class DirListBox : public QWidget {
    Q_OBJECT
public:
    explicit DirListBox(QWidget* parent = nullptr);

    QString Path() const { return m_path; }
    // Reads the folder and shows it. Raises Change when the path really changes, and FileError (changing
    // nothing) when the folder cannot be read.
    void setPath(const QString& path);

signals:
    void Change();

private:
    void openByUser(QListWidgetItem* item);
    void highlightPath();

    QListWidget* m_list;
    QString m_path;
};

} // namespace ferrowyn
