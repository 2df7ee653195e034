#include "platform/gui/dir_list_box.h"
#include "platform/gui/default_handling.h"
#include "platform/core/file_error.h"
#include "platform/core/folder_listing.h"
#include "platform/gui/inner_widget.h"
#include "platform/gui/message_box.h"
#include "platform/gui/path_text.h"
#include "platform/gui/sorted_names.h"
#include "platform/gui/volumes.h"

#include <QKeyEvent>
#include <QListWidget>
#include <QStyledItemDelegate>

namespace ferrowyn {
namespace {

constexpr int kPathRole = Qt::UserRole;
constexpr int kDepthRole = Qt::UserRole + 1;
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
class FolderView : public QListWidget {
public:
    using QListWidget::QListWidget;
    std::function<void(QListWidgetItem*)> onOpen;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentItem() != nullptr) {
            onOpen(currentItem());
            return;
        }
        QListWidget::keyPressEvent(event);
    }
};

// The folders from the volume's root down to `path`: "/", "/home", "/home/ann".
QStringList chainTo(const QString& path) {
    const QString root = volumeRootOf(path);
    QStringList chain{root};
    const QString below = path.mid(root.size());
    QString folder = root;
    for (const QString& step : below.split(folderSeparator(), Qt::SkipEmptyParts)) {
        folder = folder.endsWith(folderSeparator()) ? folder + step : folder + folderSeparator() + step;
        chain.append(folder);
    }
    return chain;
}

QString shownName(const QString& folder, bool isRoot) {
    return isRoot ? folder : folder.section(folderSeparator(), -1);
}

} // namespace

DirListBox::DirListBox(QWidget* parent) : QWidget(parent) {
    auto* view = new FolderView(this);
    view->onOpen = [this](QListWidgetItem* item) { openByUser(item); };
    m_list = view;
    m_list->setItemDelegate(new IndentDelegate(m_list));
    m_list->setUniformItemSizes(true);
    fillWith(this, m_list, Focus::Passed);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &DirListBox::openByUser);
}

void DirListBox::setPath(const QString& path) {
    const QString folder = normalFolderPath(path);
    const QStringList chain = chainTo(folder);
    const QStringList subfolders = sortedNames(listFolder(toFsPath(folder), EntryKind::Folder));

    const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirClosedIcon);
    m_list->clear();
    for (int depth = 0; depth < chain.size(); ++depth) {
        auto* item = new QListWidgetItem(openIcon, shownName(chain.at(depth), depth == 0), m_list);
        item->setData(kPathRole, chain.at(depth));
        item->setData(kDepthRole, depth);
    }
    const QString prefix = folder.endsWith(folderSeparator()) ? folder : folder + folderSeparator();
    for (const QString& name : subfolders) {
        auto* item = new QListWidgetItem(closedIcon, name, m_list);
        item->setData(kPathRole, prefix + name);
        item->setData(kDepthRole, chain.size());
    }

    const bool changed = folder != m_path;
    m_path = folder;
    highlightPath();
    if (changed) {
        emit Change();
    }
}

void DirListBox::openByUser(QListWidgetItem* item) {
    const QString folder = item->data(kPathRole).toString();
    runGuarded([&] {
        // A folder that cannot be opened is reported here, and the lists stay where they were.
        try {
            setPath(folder);
        } catch (const FileError& error) {
            MessageBox::show(QString::fromStdString(error.what()));
            highlightPath();
        }
    });
}

void DirListBox::highlightPath() {
    for (int row = 0; row < m_list->count(); ++row) {
        if (m_list->item(row)->data(kPathRole).toString() == m_path) {
            m_list->setCurrentRow(row);
        }
    }
}

} // namespace ferrowyn
