#include <gtest/gtest.h>

#include "support/TestSupport.h"
#include "text/Cp932.h"

using namespace kpx;
using kpx::test::Hex;

TEST(Cp932, RoundTripsJapaneseAsciiAndHalfWidthKana)
{
    const std::string utf8 = "映画 clip ｴｲｶﾞ ー～";
    const auto sjis = Utf8ToCp932(utf8);
    ASSERT_TRUE(sjis.has_value());
    EXPECT_EQ(Hex(*sjis), "89 66 89 E6 20 63 6C 69 70 20 B4 B2 B6 DE 20 81 5B 81 60");
    EXPECT_EQ(Cp932ToUtf8(*sjis), utf8);
    EXPECT_EQ(Cp932ToQString(*sjis), QString::fromUtf8(utf8.c_str()));
    EXPECT_EQ(QStringToCp932(QString::fromUtf8(utf8.c_str())), sjis);
}

TEST(Cp932, KeepsBackslashAndTildeAsSingleBytes)
{
    EXPECT_EQ(Hex(Sjis("\\~")), "5C 7E");
    EXPECT_EQ(Cp932ToUtf8("\x5C\x7E"), "\\~");
}

TEST(Cp932, RefusesTextItCannotHold)
{
    EXPECT_FALSE(Utf8ToCp932("a\xF0\x9F\x98\x80" "b").has_value()); // emoji
    EXPECT_FALSE(Utf8ToCp932("caf\xC3\xA9").has_value());            // é
    EXPECT_FALSE(Utf8ToCp932("bad\xFFutf8").has_value());
    EXPECT_FALSE(QStringToCp932(QStringLiteral(u"한국")).has_value());
}

TEST(Cp932, LossyConversionMarksEachMissingCharacterVisibly)
{
    bool lossy = false;
    EXPECT_EQ(Hex(Utf8ToCp932Lossy("a\xF0\x9F\x98\x80" "b\xFF" "c", &lossy)), "61 81 AC 62 81 AC 63");
    EXPECT_TRUE(lossy);
    EXPECT_EQ(Utf8ToCp932Lossy("plain", &lossy), "plain");
    EXPECT_FALSE(lossy);
}

TEST(Cp932, DecodingInvalidBytesGivesReplacementCharacters)
{
    bool lossy = false;
    EXPECT_EQ(Cp932ToUtf8(std::string("a\xFF" "b", 3), &lossy), "a\xEF\xBF\xBD" "b");
    EXPECT_TRUE(lossy);
    // A lead byte at the very end is incomplete, not silently dropped.
    EXPECT_EQ(Cp932ToUtf8("x\x82", &lossy), "x\xEF\xBF\xBD");
    EXPECT_TRUE(lossy);
    EXPECT_EQ(Cp932ToUtf8("", &lossy), "");
    EXPECT_FALSE(lossy);
}

TEST(Cp932, NativePathsAreUtf8)
{
    const auto path = Cp932ToNativePath(Sjis("/tmp/映画/"));
    EXPECT_EQ(path.native(), "/tmp/映画/");
    EXPECT_EQ(NativePathToCp932(path), Sjis("/tmp/映画/"));
    EXPECT_FALSE(NativePathToCp932(std::filesystem::path("/tmp/\xF0\x9F\x98\x80")).has_value());
}
