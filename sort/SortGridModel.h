// The list window's working copy as a table model. May touch: nothing but its rows.
#pragma once

#include <vector>

#include <QAbstractTableModel>

#include "sort/RowSort.h"
#include "sort/SortRow.h"

namespace kpx {

// The working copy the list window edits: one row per movie, shown through a
// table view. Texts stay CP932 until a cell is painted, so sorting compares
// the stored bytes and a large list costs no conversion up front.
class TSortGridModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    void SetRows(std::vector<TSortRow> rows);
    const std::vector<TSortRow> &Rows() const { return FRows; }

    // Rows keep their positions in the view, so a selection stays on its row
    // number while the movies under it change.
    void SwapRows(int a, int b);
    void Sort(TSortOrder order);
    // The list never becomes empty: the only row left is not removed.
    void RemoveRow(int row);

private:
    bool IsRow(int row) const { return row >= 0 && row < rowCount(); }
    void RowsChanged(int first, int last);

    std::vector<TSortRow> FRows;
};

} // namespace kpx
