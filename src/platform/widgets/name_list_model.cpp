#include "platform/widgets/name_list_model.h"
#include "platform/widgets/path_text.h"
#include "platform/widgets/sorted_names.h"

namespace ferrowyn {

void NameListModel::setRows(std::vector<ShownName> leading, std::shared_ptr<const NameList> names) {
    std::vector<std::uint32_t> order = sortedForShowing(*names);
    beginResetModel();
    m_leading = std::move(leading);
    m_names = std::move(names);
    m_order = std::move(order);
    endResetModel();
}

NameList::View NameListModel::name(int row) const {
    const auto at = static_cast<std::size_t>(row);
    return at < m_leading.size() ? NameList::View(m_leading[at].name.native())
                                 : (*m_names)[m_order.at(at - m_leading.size())];
}

QString NameListModel::text(int row) const {
    const auto at = static_cast<std::size_t>(row);
    return at < m_leading.size() ? m_leading[at].text : shownText(std::filesystem::path(name(row)));
}

int NameListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_leading.size() + m_order.size());
}

QVariant NameListModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid) || role != Qt::DisplayRole) {
        return QVariant();
    }
    return text(index.row());
}

Qt::ItemFlags NameListModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren : Qt::NoItemFlags;
}

} // namespace ferrowyn
