#include "sort/RowSort.h"

#include <numeric>

namespace kpx {

TRowComparer::TRowComparer(const std::vector<TSortRow> &rows, TSortOrder order)
    : FBySize(order.SortColumn == scFileSize)
    , FDescending(order.SortDescending)
{
    const bool known = order.SortColumn >= 0 && order.SortColumn < scColumnCount;
    const auto column = static_cast<size_t>(known ? order.SortColumn : scOrgName);
    if (FBySize) {
        FSizes.reserve(rows.size());
        for (const TSortRow &row : rows)
            FSizes.push_back(SizeTextToInt(row.Cells[column]));
    } else {
        FTexts.reserve(rows.size());
        for (const TSortRow &row : rows)
            FTexts.emplace_back(row.Cells[column]);
    }
}

int TRowComparer::CompareRows(int a, int b) const
{
    const auto ia = static_cast<size_t>(a);
    const auto ib = static_cast<size_t>(b);
    // char_traits<char> compares as unsigned char, so text order is byte order.
    const int order = FBySize ? (FSizes[ia] > FSizes[ib]) - (FSizes[ia] < FSizes[ib]) : FTexts[ia].compare(FTexts[ib]);
    const int sign = (order > 0) - (order < 0);
    return FDescending ? -sign : sign;
}

void SortRows(std::vector<TSortRow> &rows, TSortOrder order)
{
    const TRowComparer comparer(rows, order);
    // Sorting indexes moves ints, not rows of nine strings.
    std::vector<int> indexes(rows.size());
    std::iota(indexes.begin(), indexes.end(), 0);
    QuickSort(indexes, [&comparer](int a, int b) { return comparer.CompareRows(a, b); });

    std::vector<TSortRow> sorted;
    sorted.reserve(rows.size());
    for (const int index : indexes)
        sorted.push_back(std::move(rows[static_cast<size_t>(index)]));
    rows = std::move(sorted);
}

} // namespace kpx
