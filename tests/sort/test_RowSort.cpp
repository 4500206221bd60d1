#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "sort/RowSort.h"
#include "sort/SortRow.h"
#include "text/Cp932.h"

using namespace kpx;

TEST(SizeText, ReadsGroupedDigitsAndFallsBackToZero)
{
    EXPECT_EQ(SizeTextToInt("1,234,567"), 1234567);
    EXPECT_EQ(SizeTextToInt("9,000"), 9000);
    EXPECT_EQ(SizeTextToInt("-1,000"), -1000);
    EXPECT_EQ(SizeTextToInt(""), 0);
    EXPECT_EQ(SizeTextToInt("12 KB"), 0);
    EXPECT_EQ(SizeTextToInt("3,221,225,472"), 3221225472); // 3 GiB
    EXPECT_EQ(SizeTextToInt("99,999,999,999,999,999,999"), 0); // beyond any file
}

TEST(SortRowConversion, ShowsCaptionsAndGivesTheEntryBack)
{
    TRecFileData entry;
    entry.OrgName = Sjis("映画1.amc");
    entry.CopyName = "mv0001.amc";
    entry.FileSize = 1234567;
    entry.DlKind = 1;
    entry.SoundKind = 2;
    entry.NoVideo = true;
    entry.LinkName = Sjis("リンク");
    entry.SaveName = Sjis("保存");
    entry.NativeName = "\xE6\x98\xA0\xE7\x94\xBB\xE2\x91\xA0.amc"; // holds a character CP932 lacks

    const TSortRow row = RowFromEntry(entry);
    EXPECT_EQ(row.Cells[scFileSize], "1,234,567");
    EXPECT_EQ(row.Cells[scDlKind], Sjis("ショートストリーミング"));
    EXPECT_EQ(row.Cells[scSoundKind], Sjis("なし"));
    EXPECT_EQ(row.Cells[scVideo], Sjis("×"));

    const TRecFileData back = EntryFromRow(row);
    EXPECT_EQ(back.OrgName, entry.OrgName);
    EXPECT_EQ(back.CopyName, entry.CopyName);
    EXPECT_EQ(back.FileSize, 1234567);
    EXPECT_EQ(back.DlKind, 1);
    EXPECT_EQ(back.SoundKind, 2);
    EXPECT_TRUE(back.NoVideo);
    EXPECT_EQ(back.LinkName, entry.LinkName);
    EXPECT_EQ(back.SaveName, entry.SaveName);
    EXPECT_EQ(back.NativeName, entry.NativeName);
}

TEST(SortRowConversion, UnknownCodesShowEmptyButKeepTheirValue)
{
    TRecFileData entry;
    entry.DlKind = 7;
    entry.SoundKind = -1;
    const TSortRow row = RowFromEntry(entry);
    EXPECT_EQ(row.Cells[scDlKind], "");
    EXPECT_EQ(row.Cells[scSoundKind], "");
    EXPECT_EQ(EntryFromRow(row).DlKind, 7);
    EXPECT_EQ(EntryFromRow(row).SoundKind, -1);
}

TEST(QuickSort, RowsWithEqualKeysEndUpWhereTheListPutsThem)
{
    const auto allEqual = [](char, char) { return 0; };
    std::vector<char> three = {'A', 'B', 'C'};
    QuickSort(three, allEqual);
    EXPECT_EQ(std::string(three.begin(), three.end()), "CBA");

    std::vector<char> four = {'A', 'B', 'C', 'D'};
    QuickSort(four, allEqual);
    EXPECT_EQ(std::string(four.begin(), four.end()), "CDAB");
}

TEST(QuickSort, OrdersLargeInputsWithManyDuplicates)
{
    std::mt19937 random(42);
    std::vector<int> values(50000);
    for (int &v : values)
        v = static_cast<int>(random() % 1000);
    std::vector<int> expected = values;
    std::sort(expected.begin(), expected.end());

    QuickSort(values, [](int a, int b) { return (a > b) - (a < b); });
    EXPECT_EQ(values, expected);

    std::vector<int> sorted = expected; // already ordered input, descending comparison
    QuickSort(sorted, [](int a, int b) { return (a < b) - (a > b); });
    EXPECT_TRUE(std::is_sorted(sorted.rbegin(), sorted.rend()));
}

TEST(RowComparer, UnknownColumnFallsBackToTheFirst)
{
    std::vector<TSortRow> rows(2);
    rows[0].Cells[scOrgName] = "b";
    rows[1].Cells[scOrgName] = "a";
    const TRowComparer comparer(rows, TSortOrder{99, false});
    EXPECT_GT(comparer.CompareRows(0, 1), 0);
}
