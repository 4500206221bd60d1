#include <gtest/gtest.h>

#include "pages/EntryList.h"

using namespace kpx;

TEST(EntryList, PagesHoldTheEntriesInUseAPageAtATime)
{
    const struct
    {
        int entries; // in the list
        int inUse;   // FEntryCount
        int perPage;
        int pages;    // as a build lays them out
        int lastPage; // entries on the last page
    } cases[] = {
        {7, 7, 3, 3, 1}, {6, 6, 3, 2, 3}, {1, 1, 10, 1, 1},
        {0, 0, 3, 0, 0}, {5, 9, 2, 3, 1}, // a count beyond the list counts what the list holds
        {5, 3, 0, 0, 0},                  // no movies per page, no pages
    };
    for (const auto &c : cases) {
        TEntryList list;
        list.FEntries.resize(static_cast<size_t>(c.entries));
        list.FEntryCount = c.inUse;
        LayOutPages(list, c.perPage);
        EXPECT_EQ(list.FPageCount, c.pages) << c.entries << " " << c.perPage;
        if (c.pages > 0) {
            const auto [first, end] = PageEntryRange(list, c.pages - 1);
            EXPECT_EQ(end - first, c.lastPage);
        }
        EXPECT_EQ(PublishedCount(list), std::min(c.inUse, c.entries) * (c.perPage > 0 ? 1 : 0));
    }
}

TEST(EntryList, PagesPastTheEntriesLeftAfterADeleteHoldNone)
{
    TEntryList list;
    list.FEntries.resize(7);
    list.FEntryCount = 7;
    LayOutPages(list, 3);
    list.FEntries.resize(2); // the list window deleted five; the pages stay as built
    list.FEntryCount = 2;
    EXPECT_EQ(list.FPageCount, 3);
    EXPECT_EQ(PageEntryRange(list, 2), std::make_pair(2, 2));
    EXPECT_FALSE(IsEntryInUse(list, 2));
    EXPECT_TRUE(IsEntryInUse(list, 1));
    EXPECT_FALSE(IsEntryInUse(list, -1));
}

TEST(EntryList, AnEntrysPageIsThePageWhoseRangeHoldsIt)
{
    TEntryList list;
    list.FEntries.resize(7);
    list.FEntryCount = 7;
    LayOutPages(list, 3);
    for (int page = 0; page < list.FPageCount; ++page) {
        const auto [first, end] = PageEntryRange(list, page);
        for (int index = first; index < end; ++index)
            EXPECT_EQ(PageOfEntry(list, index), page) << index;
    }
    list.FPageItemCount = 0; // no page size: one entry a page, as the list window bands them
    EXPECT_EQ(PageOfEntry(list, 4), 4);
}
