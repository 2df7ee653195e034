#include "platform/widgets/dir_list_box.h"
#include "platform/core/file_error.h"
#include "platform/core/folder_listing.h"
#include "platform/core/folder_path.h"
#include "platform/core/volumes.h"
#include "platform/widgets/inner_widget.h"
#include "platform/widgets/name_list_model.h"
#include "platform/widgets/path_text.h"

#include <QKeyEvent>
#include <QListView>
#include <QStyledItemDelegate>
#include <algorithm>

namespace ferrowyn {
namespace {

constexpr int kDepthRole = Qt::UserRole;
constexpr int kIndentPerStep = 8;

// Shifts each entry right by its depth in the tree.
class IndentDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyleOptionViewItem shifted = option;
        shifted.rect.setLeft(option.rect.left() + indentOf(index));
        QStyledItemDelegate::paint(painter, shifted, index);
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return QStyledItemDelegate::sizeHint(option, index) + QSize(indentOf(index), 0);
    }

private:
    static int indentOf(const QModelIndex& index) { return index.data(kDepthRole).toInt() * kIndentPerStep; }
};

// A list whose Enter key opens the highlighted entry, as a double-click does.
class FolderView : public QListView {
public:
    using QListView::QListView;
    std::function<void(int)> onOpen;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentIndex().row() >= 0) {
            onOpen(currentIndex().row());
            return;
        }
        QListView::keyPressEvent(event);
    }
};

} // namespace

// The rows of the list: the open folders from the volume's root down to the folder shown, each holding its whole
// path, then the sub-folders of that folder, closed and one step deeper, each holding its name.
class FolderRows : public NameListModel {
public:
    using NameListModel::NameListModel;

    void setFolders(std::vector<ShownName> chain, std::shared_ptr<const NameList> subfolders,
                    const QIcon& openIcon, const QIcon& closedIcon) {
        m_openIcon = openIcon;
        m_closedIcon = closedIcon;
        setRows(std::move(chain), std::move(subfolders));
    }
    // The folder that `row` stands for, when the list shows `shown`.
    std::filesystem::path folderAt(int row, const std::filesystem::path& shown) const {
        const std::filesystem::path name(this->name(row));
        return row < leadingRows() ? name : shown / name;
    }

    QVariant data(const QModelIndex& index, int role) const override {
        if (index.isValid() && role == Qt::DecorationRole) {
            return index.row() < leadingRows() ? m_openIcon : m_closedIcon;
        }
        if (index.isValid() && role == kDepthRole) {
            return std::min(index.row(), leadingRows());
        }
        return NameListModel::data(index, role);
    }

private:
    QIcon m_openIcon;
    QIcon m_closedIcon;
};

DirListBox::DirListBox(QWidget* parent) : QWidget(parent), m_rows(new FolderRows(this)) {
    auto* view = new FolderView(this);
    view->onOpen = [this](int row) { openByUser(row); };
    m_list = view;
    m_list->setModel(m_rows);
    m_list->setItemDelegate(new IndentDelegate(m_list));
    m_list->setUniformItemSizes(true);
    fillWith(this, m_list, Focus::Passed, QStringLiteral("Folders"));
    connect(m_list, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { openByUser(index.row()); });
}

void DirListBox::setPath(const std::filesystem::path& path) {
    const auto folder = normalFolderPath(path);
    const auto steps = chainOfFolders(volumeRootOf(folder), folder);
    auto listing = std::make_shared<const FolderListing>(listFolder(folder));

    std::vector<ShownName> chain;
    for (const auto& step : steps) {
        chain.push_back({shownText(chain.empty() ? step : step.filename()), step});
    }
    m_rows->setFolders(std::move(chain), std::shared_ptr<const NameList>(listing, &listing->folders),
                       style()->standardIcon(QStyle::SP_DirOpenIcon),
                       style()->standardIcon(QStyle::SP_DirClosedIcon));
    m_listing = std::move(listing);

    const bool changed = folder != m_path;
    m_path = folder;
    highlightPath();
    if (changed) {
        emit Change();
    }
}

int DirListBox::ListCount() const {
    return m_rows->rowCount();
}

QString DirListBox::List(int index) const {
    return m_rows->text(index);
}

int DirListBox::ListIndex() const {
    return m_list->currentIndex().row();
}

void DirListBox::openByUser(int row) {
    try {
        setPath(m_rows->folderAt(row, m_path));
    } catch (const std::exception& error) {
        // Reported, never thrown into Qt's event loop; the window decides where the lists go.
        highlightPath();
        emit OpenFailed(QString::fromStdString(error.what()));
    }
}

void DirListBox::highlightPath() {
    // The sub-folders lie below the folder shown: only the open folders can be it.
    for (int row = 0; row < m_rows->leadingRows(); ++row) {
        if (m_rows->name(row) == m_path.native()) {
            m_list->selectionModel()->setCurrentIndex(m_rows->index(row, 0), QItemSelectionModel::ClearAndSelect);
        }
    }
}

} // namespace ferrowyn
