#include "platform/widgets/file_list_box.h"
#include "platform/core/folder_listing.h"
#include "platform/core/folder_path.h"
#include "platform/widgets/inner_widget.h"
#include "platform/widgets/name_list_model.h"

#include <QListView>
#include <QMouseEvent>

namespace ferrowyn {

// The list itself. A selection, once made by the user, can only move to another entry, never be taken away:
// a Ctrl+click on the selected entry keeps it selected.
class FileView : public QListView {
public:
    using QListView::QListView;
    std::function<void()> onUserSelection;

    int count() const { return model()->rowCount(); }
    // Makes `row` the current entry and selects it; -1 selects nothing.
    void setCurrentRow(int row) {
        selectionModel()->setCurrentIndex(model()->index(row, 0), QItemSelectionModel::ClearAndSelect);
    }

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

    // With nothing selected, the first arrow press selects an end of the list, as list boxes do; without this the
    // press would move on from the unselected first entry, which could then never be chosen.
    void keyPressEvent(QKeyEvent* event) override {
        const int key = event->key();
        if (selectedRow() == -1 && count() > 0 && event->modifiers() == Qt::NoModifier &&
            (key == Qt::Key_Down || key == Qt::Key_Home || key == Qt::Key_Up || key == Qt::Key_End)) {
            setCurrentRow(key == Qt::Key_Down || key == Qt::Key_Home ? 0 : count() - 1);
            return;
        }
        QListView::keyPressEvent(event);
    }

    void mousePressEvent(QMouseEvent* event) override {
        const int before = selectedRow();
        QListView::mousePressEvent(event);
        // A click on the entry that is already selected selects it again.
        if (event->button() == Qt::LeftButton && before != -1 && selectedRow() == before &&
            indexAt(event->position().toPoint()).row() == before) {
            onUserSelection();
        }
    }
};

FileListBox::FileListBox(QWidget* parent)
    : QWidget(parent), m_view(new FileView(this)), m_names(new NameListModel(this)) {
    m_view->setModel(m_names);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setUniformItemSizes(true);
    m_view->onUserSelection = [this] { emit Click(); };
    fillWith(this, m_view, Focus::Passed, QStringLiteral("Files"));
    connect(m_view->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (ListIndex() != -1 && !m_selectingQuietly) {
            emit Click();
        }
    });
}

void FileListBox::setPath(const std::filesystem::path& path, std::shared_ptr<const FolderListing> listing) {
    const auto folder = normalFolderPath(path);
    if (!listing) {
        listing = std::make_shared<const FolderListing>(listFolder(folder));
    }
    // The files already shown, read with the folder list's reading, stay as they are.
    if (folder != m_path || m_names->names().get() != &listing->files) {
        // A new set of rows leaves nothing selected, and so raises no Click.
        m_names->setRows({}, std::shared_ptr<const NameList>(listing, &listing->files));
    }
    m_view->setCurrentRow(-1);
    m_path = folder;
}

void FileListBox::Refresh() {
    setPath(m_path);
}

bool FileListBox::Select(const std::filesystem::path& name) {
    for (int row = 0; row < ListCount(); ++row) {
        if (m_names->name(row) == name.native()) {
            m_selectingQuietly = true;
            m_view->setCurrentRow(row);
            m_selectingQuietly = false;
            return true;
        }
    }
    return false;
}

std::filesystem::path FileListBox::FileName() const {
    const int row = ListIndex();
    return row == -1 ? std::filesystem::path() : std::filesystem::path(m_names->name(row));
}

int FileListBox::ListIndex() const {
    return m_view->selectedRow();
}

int FileListBox::ListCount() const {
    return m_names->rowCount();
}

QString FileListBox::List(int index) const {
    return m_names->text(index);
}

} // namespace ferrowyn
