#include "platform/gui/dir_list_box.h"
#include "platform/core/file_error.h"
#include "platform/core/folder_listing.h"
#include "platform/core/folder_path.h"
#include "platform/core/volumes.h"
#include "platform/gui/inner_widget.h"
#include "platform/gui/path_text.h"
#include "platform/gui/sorted_names.h"

#include <QKeyEvent>
#include <QListWidget>
#include <QStyledItemDelegate>

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
class FolderView : public QListWidget {
public:
    using QListWidget::QListWidget;
    std::function<void(int)> onOpen;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentRow() >= 0) {
            onOpen(currentRow());
            return;
        }
        QListWidget::keyPressEvent(event);
    }
};

} // namespace

DirListBox::DirListBox(QWidget* parent) : QWidget(parent) {
    auto* view = new FolderView(this);
    view->onOpen = [this](int row) { openByUser(row); };
    m_list = view;
    m_list->setItemDelegate(new IndentDelegate(m_list));
    m_list->setUniformItemSizes(true);
    fillWith(this, m_list, Focus::Passed, QStringLiteral("Folders"));
    connect(m_list, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { openByUser(m_list->row(item)); });
}

void DirListBox::setPath(const std::filesystem::path& path) {
    const auto folder = normalFolderPath(path);
    const auto chain = chainOfFolders(volumeRootOf(folder), folder);
    const auto subfolders = sortedForShowing(listFolder(folder, EntryKind::Folder));

    const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirClosedIcon);
    m_list->clear();
    m_entries.clear();
    const auto add = [&](const QIcon& icon, const QString& text, const std::filesystem::path& entry, int depth) {
        auto* item = new QListWidgetItem(icon, text, m_list);
        item->setData(kDepthRole, depth);
        m_entries.push_back({entry, depth});
    };
    for (std::size_t depth = 0; depth < chain.size(); ++depth) {
        const auto& step = chain[depth];
        add(openIcon, shownText(depth == 0 ? step : step.filename()), step, static_cast<int>(depth));
    }
    for (const ShownName& sub : subfolders) {
        add(closedIcon, sub.text, folder / sub.name, static_cast<int>(chain.size()));
    }

    const bool changed = folder != m_path;
    m_path = folder;
    highlightPath();
    if (changed) {
        emit Change();
    }
}

int DirListBox::ListCount() const {
    return m_list->count();
}

QString DirListBox::List(int index) const {
    return m_list->item(index)->text();
}

int DirListBox::ListIndex() const {
    return m_list->currentRow();
}

void DirListBox::openByUser(int row) {
    try {
        setPath(m_entries.at(static_cast<std::size_t>(row)).folder);
    } catch (const std::exception& error) {
        // Reported, never thrown into Qt's event loop; the window decides where the lists go.
        highlightPath();
        emit OpenFailed(QString::fromStdString(error.what()));
    }
}

void DirListBox::highlightPath() {
    for (std::size_t row = 0; row < m_entries.size(); ++row) {
        if (m_entries[row].folder == m_path) {
            m_list->setCurrentRow(static_cast<int>(row));
        }
    }
}

} // namespace ferrowyn
