// The list window's sort. May touch: nothing (pure).
#pragma once

#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

#include "sort/SortRow.h"

namespace kpx {

// What a header click asks for: the column to compare, and whether the
// comparison is reversed.
struct TSortOrder
{
    int SortColumn = scOrgName;
    bool SortDescending = false;
};

// Compares rows by their index in `rows` under one sort order. The keys of the
// column are taken out once, so a comparison never re-reads a size text.
class TRowComparer
{
public:
    TRowComparer(const std::vector<TSortRow> &rows, TSortOrder order);

    // Below 0 when row a sorts first. The size column compares numerically,
    // every other column byte by byte as unsigned CP932 bytes, a prefix first.
    int CompareRows(int a, int b) const;

private:
    bool FBySize;
    bool FDescending;
    std::vector<std::int64_t> FSizes;
    std::vector<std::string_view> FTexts;
};

// The list's own quicksort over items[L..R]. Rows with equal keys do not keep
// their order, and where they end up is part of the list's behaviour (three
// equal rows come out reversed), so this exact partitioning is kept rather
// than a library sort. `compare(a, b)` answers like TRowComparer::CompareRows.
template <typename T, typename Compare>
void QuickSort(std::vector<T> &items, Compare compare)
{
    if (items.size() < 2)
        return;
    // Pending ranges on a heap stack instead of recursion, so an unlucky input
    // cannot exhaust the call stack; the ranges are disjoint, so the order in
    // which they are finished does not change the result.
    std::vector<std::pair<long, long>> pending{{0, static_cast<long>(items.size()) - 1}};
    while (!pending.empty()) {
        auto [L, R] = pending.back();
        pending.pop_back();
        long i;
        do {
            i = L;
            long j = R;
            const T pivot = items[static_cast<size_t>((L + R) / 2)];
            do {
                while (compare(items[static_cast<size_t>(i)], pivot) < 0)
                    ++i;
                while (compare(items[static_cast<size_t>(j)], pivot) > 0)
                    --j;
                if (i <= j) {
                    std::swap(items[static_cast<size_t>(i)], items[static_cast<size_t>(j)]);
                    ++i;
                    --j;
                }
            } while (i <= j);
            if (L < j)
                pending.emplace_back(L, j);
            L = i;
        } while (i < R);
    }
}

// Reorders the rows as the header click does.
void SortRows(std::vector<TSortRow> &rows, TSortOrder order);

} // namespace kpx
