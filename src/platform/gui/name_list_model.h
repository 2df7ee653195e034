#pragma once

#include "platform/gui/sorted_names.h"

#include <QAbstractListModel>
#include <vector>

namespace ferrowyn {

// The entries of a list, row by row, each kept once as its name and its shown text. The view asks only for the
// rows it shows, so a folder of many thousands of entries costs no widget item per entry.
class NameListModel : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    // Shows `rows` in place of the rows shown so far; the view forgets its selection.
    void setRows(std::vector<ShownName> rows);
    const ShownName& row(int row) const { return m_rows.at(static_cast<std::size_t>(row)); }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    std::vector<ShownName> m_rows;
};

} // namespace ferrowyn
