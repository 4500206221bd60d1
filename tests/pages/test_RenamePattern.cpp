#include <gtest/gtest.h>

#include "pages/RenamePattern.h"
#include "text/Cp932.h"

using namespace kpx;
using namespace std::chrono;

namespace {

constexpr year_month_day Dec7th2007{year(2007), month(12), day(7)};

} // namespace

TEST(FormatRenamePattern, DateLettersAndQuotedText)
{
    EXPECT_EQ(FormatRenamePattern("'mv'yymmdd", Dec7th2007), "mv071207");
    EXPECT_EQ(FormatRenamePattern("\"mv\"yyyy_mm_dd", Dec7th2007), "mv2007_12_07");
    const year_month_day jan5th{year(2009), month(1), day(5)};
    EXPECT_EQ(FormatRenamePattern("yyyy-m-d", jan5th), "2009-1-5");
    EXPECT_EQ(FormatRenamePattern("YYMMDD", jan5th), "090105");
    EXPECT_EQ(FormatRenamePattern("'unclosed", jan5th), "unclosed");
    EXPECT_EQ(FormatRenamePattern("", jan5th), "");
}

TEST(FormatRenamePattern, DoubleByteCharactersAreNeverReadAsLetters)
{
    // 0x83 0x64 and 0x83 0x79 end in the bytes of "d" and "y".
    EXPECT_EQ(FormatRenamePattern("\x83\x64yy\x83\x79", Dec7th2007), "\x83\x64" "07\x83\x79");
    EXPECT_EQ(FormatRenamePattern(Sjis("動画yy"), Dec7th2007), Sjis("動画07"));
    // A lead byte before a byte that cannot trail it takes nothing with it: the quote still opens.
    EXPECT_EQ(FormatRenamePattern("\x83'mv'yy\x83", Dec7th2007), "\x83mv07\x83");
}

TEST(FormatRenamePattern, TimeLettersGiveZerosAndNamesAreJapanese)
{
    EXPECT_EQ(FormatRenamePattern("hh-nn-ss", Dec7th2007), "00-00-00");
    EXPECT_EQ(FormatRenamePattern("hhmm", Dec7th2007), "0000"); // minutes after an hour
    EXPECT_EQ(FormatRenamePattern("hh mm", Dec7th2007), "00 00");
    EXPECT_EQ(FormatRenamePattern("mmm", Dec7th2007), Sjis("12月"));
    EXPECT_EQ(FormatRenamePattern("ddd", Dec7th2007), Sjis("金"));
    EXPECT_EQ(FormatRenamePattern("dddd", Dec7th2007), Sjis("金曜日"));
}

TEST(RenamePatternStem, RefusedCharactersNeverReachACopyName)
{
    EXPECT_EQ(RenamePatternStem("'a/b\\c:d'yy", Dec7th2007), "abcd07");
    EXPECT_EQ(RenamePatternStem("'*?\"<>|,;'", Dec7th2007), "");
}
