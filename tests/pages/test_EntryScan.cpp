#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <type_traits>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include "PageTestSupport.h"
#include "pages/EntryScan.h"
#include "support/TestSupport.h"
#include "text/Cp932.h"
#include "text/RB4471HenkanFnc.h"

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
    EXPECT_EQ(GetCharWidthKind("\x89 a"), 1);      // and so is one before a byte that cannot trail it
}

// The copy names a scan gives names listed in this order.
std::vector<std::string> CopyNames(std::initializer_list<std::string> orgNames, const TScanOptions &options = Options())
{
    std::vector<TRecFileData> entries;
    for (const std::string &name : orgNames)
        entries.emplace_back().OrgName = name;
    AssignCopyNames(entries, options);
    std::vector<std::string> names;
    for (const TRecFileData &entry : entries)
        names.push_back(entry.CopyName);
    return names;
}

TEST(AssignCopyNames, PlainNamesKeepTheirOwnAndOthersGetThePatternAndASerial)
{
    using Names = std::vector<std::string>;
    EXPECT_EQ(CopyNames({"MOVIE.AMC"}, Options(true)), Names{"movie.amc"});
    EXPECT_EQ(CopyNames({"MOVIE.AMC"}, Options(false)), Names{"MOVIE.AMC"});
    // Double-byte, half-width kana and mixed widths take the pattern, numbered in listing order.
    EXPECT_EQ(CopyNames({Sjis("映画.amc"), "clip.amc", Sjis("ｴｲｶﾞ.amc"), Sjis("Ａbc.amc")}),
              (Names{"mv07120701.amc", "clip.amc", "mv07120702.amc", "mv07120703.amc"}));
    TScanOptions options = Options();
    options.RenamePattern = "'../x/'yy"; // a delimiter would lead out of the movie folder
    EXPECT_EQ(CopyNames({Sjis("映画.amc")}, options), Names{"..x0701.amc"});
}

TEST(AssignCopyNames, NamesAreUniqueIgnoringLetterCase)
{
    using Names = std::vector<std::string>;
    const struct
    {
        std::initializer_list<std::string> orgNames;
        bool lowerCase;
        Names expected;
    } cases[] = {
        // A file under its own name keeps it; the other takes the pattern.
        {{"MOVIE.AMC", "movie.amc"}, true, {"mv07120701.amc", "movie.amc"}},
        {{"MOVIE.AMC", "movie.amc"}, false, {"MOVIE.AMC", "mv07120701.amc"}},
        {{"Clip.amc", "CLIP.amc"}, true, {"clip.amc", "mv07120701.amc"}},
        // Serials skip every name already given, plain ones included.
        {{Sjis("映画.amc"), Sjis("動画.amc"), "mv07120701.amc", "MV07120703.AMC"},
         true,
         {"mv07120702.amc", "mv07120704.amc", "mv07120701.amc", "mv07120703.amc"}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(CopyNames(c.orgNames, Options(c.lowerCase)), c.expected) << c.orgNames.begin()->c_str();
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

TEST_F(ScanSourceFolderTest, NamesAreReadAsUtf8ThenAsCodePage932AndKeepTheirRealBytes)
{
    const struct
    {
        std::string nativeName;
        std::string orgNameUtf8;
        std::string linkNameUtf8;
    } cases[] = {
        {"a\xF0\x9F\x98\x80.amc", "a〓.amc", "a&#128512;"}, // an emoji code page 932 cannot hold
        {"\x89\x66\x89\xE6.amc", "映画.amc", "映画"},        // 映画 in CP932 bytes, as a Windows archive unpacks
        {"\xB6\xC0.amc", "ｶﾀ.amc", "カタ"},                    // half-width kana bytes
        {"x\xFF\xFE.amc", "x〓〓.amc", "x〓〓"},                // neither UTF-8 nor CP932
    };
    for (const auto &c : cases) {
        const TempDir folder;
        WriteFileBytes(folder.path() / c.nativeName, "movie");
        ASSERT_TRUE(ScanSourceFolder(folder.cp932(), Options(), entries));
        ASSERT_EQ(entries.size(), 1u) << c.orgNameUtf8;
        EXPECT_EQ(Cp932ToUtf8(entries[0].OrgName), c.orgNameUtf8);
        EXPECT_EQ(entries[0].LinkName, Sjis(c.linkNameUtf8));
        EXPECT_EQ(entries[0].CopyName, "mv07120701.amc");
        EXPECT_EQ(entries[0].NativeName, c.nativeName);
    }
}

TEST_F(ScanSourceFolderTest, NamesShowAsTheyAreAndControlBytesTakeThePattern)
{
    const struct
    {
        std::string nativeName, copyName, linkNameUtf8;
    } cases[] = {
        {"tab\tx.amc", "mv07120701.amc", "tab x"}, // some servers refuse control bytes in a URL
        {"lf\nx\x7F.amc", "mv07120701.amc", "lf x "},
        {"Song&copy 2024.amc", "song&copy 2024.amc", "Song&copy 2024"}, // the page escapes a lone "&"
        {"a&lt;b&#x1F;c&#233;&.amc", "a&lt;b&#x1f;c&#233;&.amc", "a&amp;lt;b&amp;#x1F;c&amp;#233;&"},
        {"caf\xC3\xA9.amc", "mv07120701.amc", "caf&#233;"}, // é: not in code page 932
        {"\xEF\xBD\xB6\xEF\xBE\x9E&amp;.amc", "mv07120701.amc", "ガ&amp;amp;"},
    };
    std::vector<std::remove_cvref_t<decltype(cases[0])>> rows(std::begin(cases), std::end(cases));
    for (int byte = 0x01; byte <= 0x7F; byte = byte == 0x1F ? 0x7F : byte + 1) // every control byte a name may hold
        rows.push_back({"a" + std::string(1, static_cast<char>(byte)) + "b.amc", "mv07120701.amc", "a b"});
    for (const auto &c : rows) {
        const TempDir folder;
        WriteFileBytes(folder.path() / c.nativeName, "movie");
        ASSERT_TRUE(ScanSourceFolder(folder.cp932(), Options(), entries));
        ASSERT_EQ(entries.size(), 1u) << c.nativeName;
        EXPECT_EQ(entries[0].CopyName, c.copyName) << c.nativeName;
        EXPECT_EQ(entries[0].LinkName, Sjis(c.linkNameUtf8)) << c.nativeName;
        EXPECT_EQ(entries[0].SaveName, entries[0].LinkName);
    }
}

TEST_F(ScanSourceFolderTest, CharactersBeyondTheBasicPlaneSortByTheirUtf16Units)
{
    // U+1F600 is D83D DE00 in UTF-16: before U+FF71 (ｱ), though its code point is after.
    for (const char *name : {"\xEF\xBD\xB1.amc", "\xF0\x9F\x98\x80.amc", "z.amc"})
        addFile(name);
    std::filesystem::create_symlink(dir / "nowhere", dir / "dangling.amc");
    std::filesystem::create_symlink(dir / "z.amc", dir / "link.amc");
    ASSERT_TRUE(ScanSourceFolder(dir.cp932(), Options(), entries));
    std::vector<std::string> names;
    for (const TRecFileData &e : entries)
        names.push_back(e.NativeName);
    EXPECT_EQ(names, (std::vector<std::string>{"link.amc", "z.amc", "\xF0\x9F\x98\x80.amc", "\xEF\xBD\xB1.amc"}));
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

    // A listing that fails midway is a failed scan, never a smaller folder.
    const kpx::test::TListingCutShort failing(4);
    EXPECT_FALSE(ScanSourceFolder(dir.cp932(), Options(), entries));
}

TEST_F(ScanSourceFolderTest, OnlyRegularFilesAreMoviesAndEveryOtherNameIsTold)
{
    addFile("a.amc");
    std::filesystem::create_symlink(dir / "a.amc", dir / "kept elsewhere.amc");
    std::filesystem::create_directory(dir / "folder.amc"); // passed over without a word
    std::filesystem::create_symlink(dir / "nowhere", dir / "dangling.amc");
    std::filesystem::create_symlink(dir / "loop.amc", dir / "loop.amc");
    ASSERT_EQ(::mkfifo((dir / "pipe.amc").c_str(), 0644), 0);
    std::filesystem::create_symlink("/dev/zero", dir / "device.amc");
    addFile("partial.amc");
    std::filesystem::permissions(dir / "partial.amc", std::filesystem::perms::none);
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string socketPath = (dir / "socket.amc").native();
    ASSERT_LT(socketPath.size(), sizeof address.sun_path);
    socketPath.copy(address.sun_path, socketPath.size());
    ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);

    // A file without permission bits is an unfinished copy only where the run
    // writes and the file is ours.
    const struct
    {
        bool folderIsWritten, othersFile, partialIsMovie;
    } cases[] = {{true, false, false}, {false, false, true}, {true, true, true}};
    for (const auto &c : cases) {
        if (c.othersFile && ::geteuid() != 0)
            continue; // only root can give a file to another user
        ASSERT_EQ(::chown((dir / "partial.amc").c_str(), c.othersFile ? 65534 : ::geteuid(), -1), 0);
        TScanOptions options = Options();
        options.FolderIsWritten = c.folderIsWritten;
        std::vector<TLeftOutEntry> leftOut;
        ASSERT_TRUE(ScanSourceFolder(dir.cp932(), options, entries, {}, &leftOut));
        std::vector<std::string> movies, told;
        for (const TRecFileData &e : entries)
            movies.push_back(e.NativeName);
        std::sort(leftOut.begin(), leftOut.end(), [](const auto &a, const auto &b) { return a.Name < b.Name; });
        for (const TLeftOutEntry &e : leftOut)
            told.push_back(Cp932ToUtf8(DescribeLeftOut(e)));
        std::vector<std::string> expectedMovies{"a.amc", "kept elsewhere.amc"};
        std::vector<std::string> expectedTold{"dangling.amc（リンク先がありません）", "device.amc（デバイスです）",
                                              "loop.amc（リンクが循環しています）", "pipe.amc（名前付きパイプです）",
                                              "socket.amc（ソケットです）"};
        if (c.partialIsMovie)
            expectedMovies.push_back("partial.amc");
        else
            expectedTold.insert(expectedTold.begin() + 3, "partial.amc（中断されたコピーの残りです）");
        EXPECT_EQ(movies, expectedMovies) << c.folderIsWritten << c.othersFile;
        EXPECT_EQ(told, expectedTold) << c.folderIsWritten << c.othersFile;
    }
    ::close(sock);

    const std::vector<TLeftOutEntry> many(23, TLeftOutEntry{"p.amc", TLeftOutEntry::TReason::Pipe});
    const std::string message = Cp932ToUtf8(LeftOutMessage(many));
    EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 21); // 20 names and the count of the rest
    EXPECT_NE(message.find("ほか 3 件"), std::string::npos);
}
