#include <gtest/gtest.h>

#include "PageTestSupport.h"
#include "pages/PageText.h"
#include "text/Cp932.h"

using namespace kpx;
using kpx::test::Block;
using kpx::test::Entry;

TEST(MovieBlock, FillsEveryPlaceholder)
{
    EXPECT_EQ(MakeMovieBlock(Entry("clip", 123456), ""),
              Block("clip.amc", "no", "clip", "123,456", "clip", "123456", "devdl1q"));

    TRecFileData entry = Entry("clip", 999);
    entry.DlKind = 1;
    entry.NoVideo = true;
    entry.SoundKind = 1;
    entry.LinkName = "a&b<c>";
    entry.SaveName = Sjis("映画");
    EXPECT_EQ(MakeMovieBlock(entry, "../mov/"),
              Block("../mov/clip.amc", "yes", "a&amp;b<c>", "999", Sjis("映画"), "999", "devdl2bm"));

    entry.FileSize = 1000;
    entry.SoundKind = 2;
    entry.NoVideo = false;
    EXPECT_EQ(MakeMovieBlock(entry, ""), Block("clip.amc", "yes", "a&amp;b<c>", "1,000", Sjis("映画"), "1000", "devdl2n"));
}

TEST(MovieBlock, NamesCannotBreakTheMarkup)
{
    const std::string chi = "\x83\x60"; // チ: its trail byte is a backquote
    const struct
    {
        std::string linkPath, copyName, data;
        std::string linkName, standby;
    } cases[] = {
        {"", "my clip.amc", "my%20clip.amc", "my clip", "my clip"},
        {"", "a&b<c>.amc", "a%26b%3Cc%3E.amc", "a&copy;<b>", "a&copy;<b>"}, // entities the user typed stay
        {"", "per%41cent.amc", "per%2541cent.amc", "", ""},
        {"", "x\" onmouseover=\"y.amc", "x%22%20onmouseover%3D%22y.amc", "x\" on=\"y", "x&quot; on=&quot;y"},
        {"", "it's#1?`.amc", "it%27s%231%3F%60.amc", "", ""},
        {"", "tab\tdel\x7F.amc", "tab%09del%7F.amc", "", ""},
        {"../a b/" + chi + "/", "clip.amc", "../a%20b/" + chi + "/clip.amc", "", ""},
        {"mov/", "plain-name_1.+$!~amc", "mov/plain-name_1.+$!~amc", "", ""},
        // A ":" would make a scheme of the first segment, and browsers read "\\" as "/".
        {"", "https:evil.example.com\\x.amc", "https%3Aevil.example.com%5Cx.amc", "Song&copy 2024", "Song&amp;copy 2024"},
        {"../a:b\\c/", "javascript:alert(1).amc", "../a%3Ab%5Cc/javascript%3Aalert(1).amc", "", ""},
        {"", "\x95\x5C\\.amc", "\x95\x5C%5C.amc", "&#x1F; &#123; &lt;&E63E;", "&#x1F; &#123; &lt;&E63E;"}, // 表: trail byte 0x5C
        {"", "c.amc", "c.amc", "&;&#;&#x;&#12&a &b-c; &", "&amp;;&amp;#;&amp;#x;&amp;#12&amp;a &amp;b-c; &amp;"},
    };
    for (const auto &c : cases) {
        TRecFileData entry = Entry("x", 1);
        entry.CopyName = c.copyName;
        entry.LinkName = c.linkName;
        entry.SaveName = c.linkName;
        EXPECT_EQ(MakeMovieBlock(entry, c.linkPath), Block(c.data, "no", c.standby, "1", c.standby, "1", "devdl1q"))
            << c.copyName;
    }
}

TEST(PageFileName, NumbersFromThePageAfterTheFirst)
{
    EXPECT_EQ(PageFileName("ezmovie.html", 1), "ezmovie.html");
    EXPECT_EQ(PageFileName("ezmovie.html", 2), "ezmovie02.html");
    EXPECT_EQ(PageFileName("ezmovie.html", 10), "ezmovie10.html");
    EXPECT_EQ(PageFileName("ezmovie.html", 100), "ezmovie100.html");
    EXPECT_EQ(PageFileName("a.b.html", 3), "a.b03.html");
    EXPECT_EQ(PageFileName("index", 2), "index02.html");
    EXPECT_EQ(PageFileNames("p.html", 3), (std::vector<std::string>{"p.html", "p02.html", "p03.html"}));
}
