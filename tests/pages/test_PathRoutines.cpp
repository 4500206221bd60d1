#include <gtest/gtest.h>

#include "pages/PathRoutines.h"
#include "text/Cp932.h"

using namespace kpx;

TEST(PathRoutines, TrailingDelimiterIsAddedOrRemovedOnce)
{
    EXPECT_EQ(IncludePathDelimiter("/web"), "/web/");
    EXPECT_EQ(IncludePathDelimiter("/web/"), "/web/");
    EXPECT_EQ(IncludePathDelimiter("/"), "/");
    EXPECT_EQ(ExcludePathDelimiter("/web/"), "/web");
    EXPECT_EQ(ExcludePathDelimiter("/web"), "/web");
    EXPECT_EQ(ExcludePathDelimiter(""), "");
}

TEST(PathRoutines, DoubleByteCharacterAtTheEndIsNotADelimiter)
{
    // "ソ" is 0x83 0x5C: its second byte is a backslash, not a delimiter here.
    const std::string so = Sjis("/映像ソ");
    EXPECT_EQ(IncludePathDelimiter(so), so + "/");
    EXPECT_EQ(ExcludePathDelimiter(so + "/"), so);
    // "/" can never trail a lead byte, so a stray lead byte leaves it a delimiter.
    EXPECT_EQ(ExcludePathDelimiter("/a\x83/"), "/a\x83");
    EXPECT_EQ(IncludePathDelimiter("/a\x83/"), "/a\x83/");
    EXPECT_EQ(IncludePathDelimiter("/a\x83"), "/a\x83/");
}

TEST(PathRoutines, CountsDelimiters)
{
    EXPECT_EQ(CountPathDelimiters(""), 0);
    EXPECT_EQ(CountPathDelimiters("html/sub/"), 2);
    EXPECT_EQ(CountPathDelimiters("/a/b/c"), 3);
}

TEST(PathRoutines, RelativeLinkBetweenFolders)
{
    struct Case
    {
        const char *from, *to, *link;
    };
    const Case cases[] = {
        {"/web/", "/web/", ""},
        {"/web/", "/web/mov/", "mov/"},
        {"/web/html/", "/web/", "../"},
        {"/web/html/", "/web/mov/", "../mov/"},
        {"/web/a/b/", "/web/mov/", "../../mov/"},
        {"/Web/", "/web/mov/", "../web/mov/"},            // letter case counts
        {"/srv/web/html/", "/mnt/mov/", "../../../mnt/mov/"},
        {"/web/ab/", "/web/abc/", "../abc/"},            // whole names, not prefixes
        {"/web/abc/", "/web/ab/", "../ab/"},
        {"/web", "/web/mov", "mov/"},                    // delimiters optional
        {"/var/www//html/", "/var/www/mov/", "../mov/"}, // found by fuzzing: "//" is one delimiter
        {"/web/html///", "/web//mov//", "../mov/"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(GetRelativeLinkPath(c.from, c.to), c.link) << c.from << " -> " << c.to;
}

TEST(PathRoutines, RelativeLinkKeepsJapaneseFolderNames)
{
    EXPECT_EQ(GetRelativeLinkPath(Sjis("/web/ページ/"), Sjis("/web/動画/")), Sjis("../動画/"));
}

TEST(PathRoutines, RelativeLinkIgnoresTrailingDelimiterAfterStrayLeadByte)
{
    // Found by fuzzing: a folder ending in a lone lead byte got "//" once its
    // delimiter was written out.
    for (const char *to : {"/web/m\xf0", "/web/m\xf0/"}) {
        EXPECT_EQ(GetRelativeLinkPath("/web/", to), "m\xf0/") << to;
        EXPECT_EQ(GetRelativeLinkPath("/web/h\x83", to), "../m\xf0/") << to;
        EXPECT_EQ(GetRelativeLinkPath("/web/h\x83/", to), "../m\xf0/") << to;
    }
}
