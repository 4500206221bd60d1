// The entry list and which entries each page holds. May touch: nothing (pure).
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "pages/RecFileData.h"

namespace kpx {

// The entry list and the page layout fixed by the last build of the page
// settings window. FPageItemCount and FPageCount are not recomputed when
// entries are removed, so pages past the last entry still get written.
struct TEntryList
{
    std::vector<TRecFileData> FEntries;
    std::int32_t FEntryCount = 0;
    std::int32_t FPageItemCount = 0;
    std::int32_t FPageCount = 0;
};

// The movie's file name as the file system spells it: an entry the list
// window wrote back keeps its real name; one without it is named by its code
// page 932 spelling.
std::string NativeFileName(const TRecFileData &entry);

// ⌈entryCount / perPage⌉; no pages without a positive count per page.
int PageCountFor(int entryCount, int perPage);

// Pages the list as a build of the page settings window does: `perPage`
// movies a page, as many pages as the entries in use need.
void LayOutPages(TEntryList &list, int perPage);

// The list's entries, all of them, become the ones in use: the one way the
// count follows the list (after a scan that went through, or the list window).
void UseAllEntries(TEntryList &list);

// Entries in use: FEntryCount, never more than the list holds.
int EntriesInUse(const TEntryList &list);
bool IsEntryInUse(const TEntryList &list, int index);

// The entries on page `pageIndex` (from 0), as indexes [first, end).
std::pair<int, int> PageEntryRange(const TEntryList &list, int pageIndex);

// The page (from 0) that entry `index` falls on; a list without a page size
// counts one entry a page.
int PageOfEntry(const TEntryList &list, int index);

// Entries on some page of the series: the rest are not published.
int PublishedCount(const TEntryList &list);

} // namespace kpx
