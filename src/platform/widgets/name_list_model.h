#pragma once

#include "platform/core/folder_listing.h"

#include <QAbstractListModel>
#include <QString>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <vector>

namespace ferrowyn {

// A path beside the text that shows it.
struct ShownName {
    QString text;
    std::filesystem::path name;
};

// The entries of a list, row by row: a few leading rows given with their texts, then names read from a folder,
// sorted for showing, each kept once where it was read. The view asks only for the rows it shows, and their texts
// are made then: a folder of many thousands of entries costs no widget item, and no text, per entry.
class NameListModel : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    // Shows `leading`, then `names` sorted, in place of the rows shown so far; the view forgets its selection.
    void setRows(std::vector<ShownName> leading, std::shared_ptr<const NameList> names);
    const std::shared_ptr<const NameList>& names() const { return m_names; }
    int leadingRows() const { return static_cast<int>(m_leading.size()); }

    // A row's name (a leading row's whole path), and its text as shown.
    NameList::View name(int row) const;
    QString text(int row) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    std::vector<ShownName> m_leading;
    std::shared_ptr<const NameList> m_names = std::make_shared<const NameList>();
    std::vector<std::uint32_t> m_order; // the place in m_names of each row after the leading ones
};

} // namespace ferrowyn
