#include <gtest/gtest.h>

#include <unistd.h>

#include "pages/EntryScan.h"
#include "support/TestSupport.h"
#include "text/Cp932.h"

using namespace kpx;
using namespace std::chrono;
using kpx::test::TempDir;
using kpx::test::WriteFileBytes;

namespace {

constexpr year_month_day Dec7th2007{year(2007), month(12), day(7)};

TScanOptions Options(bool lowerCase = true)
{
    return TScanOptions{lowerCase, "'mv'yymmdd", Dec7th2007};
}

} // namespace

TEST(GetCharWidthKind, ClassifiesByCharacterWidth)
{
    EXPECT_EQ(GetCharWidthKind(""), -1);
    EXPECT_EQ(GetCharWidthKind(" \t\r\n"), -1);
    EXPECT_EQ(GetCharWidthKind("clip.amc"), 1);
    EXPECT_EQ(GetCharWidthKind(Sjis("映画")), 2);
    EXPECT_EQ(GetCharWidthKind(Sjis("映画.amc")), 0);
    EXPECT_EQ(GetCharWidthKind(Sjis(" 映画")), 0); // blanks count once trimmed text is not empty
    EXPECT_EQ(GetCharWidthKind("\xB4\xB2"), 1);    // half-width kana are single bytes
    EXPECT_EQ(GetCharWidthKind("\x89"), 1);        // a lone lead byte is one character
}

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

TEST(FormatRenamePattern, TimeLettersGiveZerosAndNamesAreJapanese)
{
    EXPECT_EQ(FormatRenamePattern("hh-nn-ss", Dec7th2007), "00-00-00");
    EXPECT_EQ(FormatRenamePattern("hhmm", Dec7th2007), "0000"); // minutes after an hour
    EXPECT_EQ(FormatRenamePattern("hh mm", Dec7th2007), "00 00");
    EXPECT_EQ(FormatRenamePattern("mmm", Dec7th2007), Sjis("12月"));
    EXPECT_EQ(FormatRenamePattern("ddd", Dec7th2007), Sjis("金"));
    EXPECT_EQ(FormatRenamePattern("dddd", Dec7th2007), Sjis("金曜日"));
}

TEST(FormatRenamePattern, DoubleByteCharactersAreNeverReadAsLetters)
{
    // 0x83 0x64 and 0x83 0x79 end in the bytes of "d" and "y".
    EXPECT_EQ(FormatRenamePattern("\x83\x64yy\x83\x79", Dec7th2007), "\x83\x64" "07\x83\x79");
    EXPECT_EQ(FormatRenamePattern(Sjis("動画yy"), Dec7th2007), Sjis("動画07"));
}

TEST(MakeCopyName, PlainNamesKeepTheirOwnNameLowerCasedOnRequest)
{
    int serial = 1;
    EXPECT_EQ(MakeCopyName("MOVIE.AMC", Options(true), serial), "movie.amc");
    EXPECT_EQ(MakeCopyName("MOVIE.AMC", Options(false), serial), "MOVIE.AMC");
    EXPECT_EQ(serial, 1);
}

TEST(MakeCopyName, JapaneseNamesGetThePatternAndASerial)
{
    int serial = 1;
    EXPECT_EQ(MakeCopyName(Sjis("映画.amc"), Options(), serial), "mv07120701.amc");
    EXPECT_EQ(MakeCopyName(Sjis("ｴｲｶﾞ.amc"), Options(), serial), "mv07120702.amc");
    EXPECT_EQ(MakeCopyName(Sjis("Ａbc.amc"), Options(), serial), "mv07120703.amc"); // mixed widths
    EXPECT_EQ(serial, 4);
    serial = 100;
    EXPECT_EQ(MakeCopyName(Sjis("映画.amc"), Options(), serial), "mv071207100.amc");
}

TEST(MakeCopyName, PatternCannotLeadOutOfTheMovieFolder)
{
    int serial = 1;
    TScanOptions options = Options();
    options.RenamePattern = "'../x/'yy";
    EXPECT_EQ(MakeCopyName(Sjis("映画.amc"), options, serial), "..x0701.amc");
}

class ScanSourceFolderTest : public ::testing::Test
{
protected:
    TempDir dir;
    std::vector<TRecFileData> entries;

    void addFile(const char *utf8Name, size_t size = 10) { WriteFileBytes(dir / utf8Name, std::string(size, 'x')); }
};

TEST_F(ScanSourceFolderTest, ListsMoviesInWindowsOrderWithTheirNames)
{
    addFile("c.AMC", 3);
    addFile("映画.amc", 1234);
    addFile("_x.amc");
    addFile("B.amc");
    addFile("ｴｲｶﾞ.amc");
    addFile(".hidden.amc");
    addFile("clip.amc.bak");
    addFile("readme.txt");
    std::filesystem::create_directory(dir / "folder.amc");

    ASSERT_TRUE(ScanSourceFolder(dir.cp932(), Options(), entries));
    std::vector<std::string> orgNames, copyNames, linkNames;
    for (const TRecFileData &e : entries) {
        orgNames.push_back(Cp932ToUtf8(e.OrgName));
        copyNames.push_back(e.CopyName);
        linkNames.push_back(Cp932ToUtf8(e.LinkName));
        EXPECT_EQ(e.LinkName, e.SaveName);
        EXPECT_EQ(e.DlKind, 0);
        EXPECT_EQ(e.SoundKind, 0);
        EXPECT_FALSE(e.NoVideo);
    }
    EXPECT_EQ(orgNames, (std::vector<std::string>{".hidden.amc", "B.amc", "c.AMC", "_x.amc", "映画.amc", "ｴｲｶﾞ.amc"}));
    EXPECT_EQ(copyNames,
              (std::vector<std::string>{".hidden.amc", "b.amc", "c.amc", "_x.amc", "mv07120701.amc", "mv07120702.amc"}));
    EXPECT_EQ(linkNames, (std::vector<std::string>{".hidden", "B", "c", "_x", "映画", "エイガ"}));
    EXPECT_EQ(entries[2].FileSize, 3);
    EXPECT_EQ(entries[4].FileSize, 1234);
}

TEST_F(ScanSourceFolderTest, NameCodePage932CannotHoldIsMarkedAndKeepsItsRealName)
{
    addFile("a\xF0\x9F\x98\x80.amc"); // an emoji
    ASSERT_TRUE(ScanSourceFolder(dir.cp932(), Options(), entries));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].OrgName, Sjis("a〓.amc"));
    EXPECT_EQ(entries[0].LinkName, Sjis("a〓"));
    EXPECT_EQ(entries[0].CopyName, "mv07120701.amc");
    EXPECT_EQ(entries[0].NativeName, "a\xF0\x9F\x98\x80.amc");
}

TEST_F(ScanSourceFolderTest, MissingOrEmptyFolderGivesAnEmptyList)
{
    entries.resize(2);
    EXPECT_TRUE(ScanSourceFolder(dir.cp932() + "missing/", Options(), entries));
    EXPECT_TRUE(entries.empty());
    EXPECT_TRUE(ScanSourceFolder(dir.cp932(), Options(), entries));
    EXPECT_TRUE(entries.empty());
}

TEST_F(ScanSourceFolderTest, SerialRestartsWithEachScan)
{
    addFile("映画.amc");
    ASSERT_TRUE(ScanSourceFolder(dir.cp932(), Options(), entries));
    ASSERT_TRUE(ScanSourceFolder(dir.cp932(), Options(), entries));
    EXPECT_EQ(entries.at(0).CopyName, "mv07120701.amc");
}

TEST_F(ScanSourceFolderTest, EmptyFolderArgumentListsTheWorkingFolder)
{
    addFile("here.amc");
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    const bool ok = ScanSourceFolder("", Options(), entries);
    std::filesystem::current_path(previous);
    ASSERT_TRUE(ok);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].OrgName, "here.amc");
}

TEST_F(ScanSourceFolderTest, ProgressHearsEachEntryAndCanStopTheScan)
{
    for (const char *name : {"a.amc", "b.amc", "c.txt", "d.amc"})
        addFile(name);
    std::vector<std::size_t> heard;
    EXPECT_TRUE(ScanSourceFolder(dir.cp932(), Options(), entries, [&heard](std::size_t seen) {
        heard.push_back(seen);
        return true;
    }));
    EXPECT_EQ(heard, (std::vector<std::size_t>{1, 2, 3, 4}));
    EXPECT_EQ(entries.size(), 3u);

    heard.clear();
    EXPECT_FALSE(ScanSourceFolder(dir.cp932(), Options(), entries, [&heard](std::size_t seen) {
        heard.push_back(seen);
        return seen < 2;
    }));
    EXPECT_EQ(heard, (std::vector<std::size_t>{1, 2}));
    EXPECT_TRUE(entries.empty()); // a stopped scan lists nothing rather than part of the folder
}
