#include "sort/SortGridModel.h"

#include <algorithm>
#include <array>

#include "text/Cp932.h"

namespace kpx {

namespace {

const std::array<QString, scColumnCount> &ColumnTitles()
{
    static const std::array<QString, scColumnCount> titles = {
        QStringLiteral("元ファイル名"),
        QStringLiteral("コピー後ファイル名"),
        QStringLiteral("ファイルサイズ"),
        QStringLiteral("ＤＬリンク名"),
        QStringLiteral("保存ファイル名"),
        QStringLiteral("ＤＬ種類"),
        QStringLiteral("音声種類"),
        QStringLiteral("映像"),
    };
    return titles;
}

} // namespace

int TSortGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(FRows.size());
}

int TSortGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : scColumnCount;
}

QVariant TSortGridModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || !IsRow(index.row()))
        return QVariant();
    return Cp932ToQString(FRows[static_cast<size_t>(index.row())].Cells[static_cast<size_t>(index.column())]);
}

QVariant TSortGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 || section >= scColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    return ColumnTitles()[static_cast<size_t>(section)];
}

void TSortGridModel::SetRows(std::vector<TSortRow> rows)
{
    beginResetModel();
    FRows = std::move(rows);
    endResetModel();
}

void TSortGridModel::SwapRows(int a, int b)
{
    if (!IsRow(a) || !IsRow(b) || a == b)
        return;
    std::swap(FRows[static_cast<size_t>(a)], FRows[static_cast<size_t>(b)]);
    RowsChanged(std::min(a, b), std::max(a, b));
}

void TSortGridModel::Sort(TSortOrder order)
{
    if (FRows.empty())
        return;
    SortRows(FRows, order);
    RowsChanged(0, rowCount() - 1);
}

void TSortGridModel::RemoveRow(int row)
{
    if (!IsRow(row) || rowCount() == 1)
        return;
    beginRemoveRows(QModelIndex(), row, row);
    FRows.erase(FRows.begin() + row);
    endRemoveRows();
}

void TSortGridModel::RowsChanged(int first, int last)
{
    emit dataChanged(index(first, 0), index(last, scColumnCount - 1), {Qt::DisplayRole});
}

} // namespace kpx
