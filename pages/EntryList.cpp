#include "pages/EntryList.h"

#include <algorithm>

#include "text/Cp932.h"

namespace kpx {

std::string NativeFileName(const TRecFileData &entry)
{
    return entry.NativeName.empty() ? Cp932ToNativeName(entry.OrgName) : entry.NativeName;
}

int PageCountFor(int entryCount, int perPage)
{
    return perPage > 0 && entryCount > 0 ? (entryCount + perPage - 1) / perPage : 0;
}

void LayOutPages(TEntryList &list, int perPage)
{
    list.FPageItemCount = perPage;
    list.FPageCount = PageCountFor(EntriesInUse(list), perPage);
}

void UseAllEntries(TEntryList &list)
{
    list.FEntryCount = static_cast<std::int32_t>(list.FEntries.size());
}

int EntriesInUse(const TEntryList &list)
{
    return std::clamp(list.FEntryCount, 0, static_cast<int>(list.FEntries.size()));
}

bool IsEntryInUse(const TEntryList &list, int index)
{
    return index >= 0 && index < EntriesInUse(list);
}

std::pair<int, int> PageEntryRange(const TEntryList &list, int pageIndex)
{
    const int first = std::max(pageIndex, 0) * std::max(list.FPageItemCount, 0);
    const int end = std::min(first + std::max(list.FPageItemCount, 0), EntriesInUse(list));
    return {std::min(first, end), end};
}

int PageOfEntry(const TEntryList &list, int index)
{
    return std::max(index, 0) / std::max(list.FPageItemCount, 1);
}

int PublishedCount(const TEntryList &list)
{
    return std::min(EntriesInUse(list), std::max(list.FPageCount, 0) * std::max(list.FPageItemCount, 0));
}

} // namespace kpx
