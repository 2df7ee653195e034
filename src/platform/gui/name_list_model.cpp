#include "platform/gui/name_list_model.h"

namespace ferrowyn {

void NameListModel::setRows(std::vector<ShownName> rows) {
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

int NameListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

QVariant NameListModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid) || role != Qt::DisplayRole) {
        return QVariant();
    }
    return row(index.row()).text;
}

Qt::ItemFlags NameListModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren : Qt::NoItemFlags;
}

} // namespace ferrowyn
