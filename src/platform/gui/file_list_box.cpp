#include "platform/gui/file_list_box.h"
#include "platform/core/folder_listing.h"
#include "platform/gui/inner_widget.h"
#include "platform/gui/path_text.h"
#include "platform/gui/sorted_names.h"

#include <QListWidget>
#include <QMouseEvent>
#include <QSignalBlocker>

namespace ferrowyn {

// The list itself. A selection, once made by the user, can only move to another entry, never be taken away:
// a Ctrl+click on the selected entry keeps it selected.
class FileView : public QListWidget {
public:
    using QListWidget::QListWidget;
    std::function<void()> onUserSelection;

    int selectedRow() const {
        const auto rows = selectionModel()->selectedRows();
        return rows.isEmpty() ? -1 : rows.first().row();
    }

protected:
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override {
        if (!index.isValid()) {
            return QItemSelectionModel::NoUpdate;
        }
        // Moving the cursor with Ctrl held moves it without selecting; everything else selects what it reaches.
        const auto* key =
            event != nullptr && event->type() == QEvent::KeyPress ? static_cast<const QKeyEvent*>(event) : nullptr;
        if (key != nullptr && key->modifiers().testFlag(Qt::ControlModifier) && key->key() != Qt::Key_Space) {
            return QItemSelectionModel::NoUpdate;
        }
        return QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows;
    }

    void mousePressEvent(QMouseEvent* event) override {
        const int before = selectedRow();
        QListWidget::mousePressEvent(event);
        // A click on the entry that is already selected selects it again.
        if (event->button() == Qt::LeftButton && before != -1 && selectedRow() == before &&
            indexAt(event->position().toPoint()).row() == before) {
            onUserSelection();
        }
    }
};

FileListBox::FileListBox(QWidget* parent) : QWidget(parent), m_view(new FileView(this)) {
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setUniformItemSizes(true);
    m_view->onUserSelection = [this] { emit Click(); };
    fillWith(this, m_view, Focus::Passed);
    connect(m_view, &QListWidget::itemSelectionChanged, this, [this] {
        if (ListIndex() != -1) {
            emit Click();
        }
    });
}

void FileListBox::setPath(const QString& path) {
    const QString folder = normalFolderPath(path);
    const QStringList names = sortedNames(listFolder(toFsPath(folder), EntryKind::RegularFile));
    const QSignalBlocker quiet(m_view);
    m_view->clear();
    m_view->addItems(names);
    m_view->setCurrentRow(-1);
    m_path = folder;
}

void FileListBox::Refresh() {
    setPath(m_path);
}

QString FileListBox::FileName() const {
    const int row = ListIndex();
    return row == -1 ? QString() : m_view->item(row)->text();
}

int FileListBox::ListIndex() const {
    return m_view->selectedRow();
}

} // namespace ferrowyn
