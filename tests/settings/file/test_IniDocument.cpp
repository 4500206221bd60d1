#include <gtest/gtest.h>

#include "settings/file/IniDocument.h"
#include "settings/file/SettingsError.h"
#include "support/TestSupport.h"
#include "text/Cp932.h"

using namespace kpx;
using kpx::test::Hex;

TEST(IniDocument, ReadsLfOrCrLfAndWritesSectionsInOrderWithCrLf)
{
    const TIniDocument doc =
        TIniDocument::Parse("[html]\nItemCount=3\r\n\n[Dirs]\r\nhtml_dir=C:\\web\\\nezmovie_dir=\n");
    EXPECT_EQ(doc.ReadInteger("html", "ItemCount", 0), 3);
    EXPECT_EQ(doc.ReadString("Dirs", "html_dir", "?"), "C:\\web\\");
    EXPECT_TRUE(doc.ValueExists("Dirs", "ezmovie_dir"));
    EXPECT_EQ(doc.Serialize(), "[html]\r\nItemCount=3\r\n\r\n[Dirs]\r\nhtml_dir=C:\\web\\\r\nezmovie_dir=\r\n\r\n");
}

TEST(IniDocument, NamesMatchWithoutAsciiCaseButJapaneseBytesStayDistinct)
{
    TIniDocument doc = TIniDocument::Parse("[dirs]\r\nORG_MOV_DIR=x\r\n[DIRS]\r\nmore=y\r\n");
    EXPECT_EQ(doc.ReadString("Dirs", "org_mov_dir", ""), "x");
    EXPECT_EQ(doc.ReadString("Dirs", "More", ""), "y"); // a repeated header continues the section
    // "ア" is 83 41 and "ヂ" 83 61: the second byte is no letter to fold.
    doc.WriteString("s", Sjis("ア"), "1");
    doc.WriteString("s", Sjis("ヂ"), "2");
    EXPECT_EQ(doc.ReadString("s", Sjis("ア"), ""), "1");
    EXPECT_EQ(doc.ReadSection("s").size(), 2u);
}

TEST(IniDocument, ValuesAreVerbatimAfterTheFirstEquals)
{
    const TIniDocument doc = TIniDocument::Parse("[h]\r\nItems0= a=b.html \r\nItems1=\r\n");
    EXPECT_EQ(doc.ReadString("h", "Items0", ""), " a=b.html ");
    EXPECT_EQ(doc.ReadString("h", "Items1", "default"), "");
    EXPECT_EQ(doc.ReadString("h", "Items2", "default"), "default");
}

TEST(IniDocument, WritesKeepPlacesAndAppendNewKeysAndSections)
{
    TIniDocument doc = TIniDocument::Parse("[a]\r\nOne=1\r\nTwo=2\r\n[b]\r\nx=1\r\n");
    doc.WriteString("A", "one", "first");
    doc.WriteInteger("a", "Three", -3);
    doc.WriteFloat("c", "f", 0.1);
    EXPECT_EQ(doc.Serialize(), "[a]\r\nOne=first\r\nTwo=2\r\nThree=-3\r\n\r\n[b]\r\nx=1\r\n\r\n[c]\r\nf=0.1\r\n\r\n");
    EXPECT_EQ(doc.ReadFloat("c", "f", 9.0), 0.1);
}

TEST(IniDocument, IntegersAcceptDecimalAndHexOnly)
{
    EXPECT_EQ(ParseIniInteger("0x1F"), 31);
    EXPECT_EQ(ParseIniInteger("0X1f"), 31);
    EXPECT_EQ(ParseIniInteger("-42"), -42);
    EXPECT_EQ(ParseIniInteger("+7"), 7);
    EXPECT_EQ(ParseIniInteger("0xFFFFFFFF"), -1);
    for (const char *bad : {"", "0x", "0x-1", "12a", " 5", "+-5", "2147483648", "0x100000000", "1.0", "$1F"})
        EXPECT_FALSE(ParseIniInteger(bad).has_value()) << bad;

    const TIniDocument doc = TIniDocument::Parse("[n]\r\nbad=abc\r\nf=2.5\r\nnan=nan\r\n");
    EXPECT_EQ(doc.ReadInteger("n", "bad", 9), 9);
    EXPECT_EQ(doc.ReadFloat("n", "f", 0), 2.5);
    EXPECT_EQ(doc.ReadFloat("n", "bad", 1.5), 1.5);
    EXPECT_EQ(doc.ReadFloat("n", "nan", 1.5), 1.5);
}

TEST(IniDocument, DeletingEveryKeyEmptiesTheSection)
{
    TIniDocument doc = TIniDocument::Parse("[h]\r\nItems0=a\r\nitems0=dup\r\nItems1=b\r\n[z]\r\nk=v\r\n");
    EXPECT_EQ(doc.ReadSection("h"), (std::vector<std::string>{"Items0", "items0", "Items1"}));
    doc.DeleteKey("H", "ITEMS0");
    EXPECT_EQ(doc.ReadSection("h"), std::vector<std::string>{"Items1"});
    doc.DeleteKey("h", "Items1");
    EXPECT_FALSE(doc.SectionExists("h"));
    EXPECT_EQ(doc.Serialize(), "[z]\r\nk=v\r\n\r\n");
}

TEST(IniDocument, RefusesWhatTheFileCouldNotCarryAndStaysUnchanged)
{
    TIniDocument doc = TIniDocument::Parse("[s]\r\nk=v\r\n");
    EXPECT_THROW(doc.WriteString("s", "a=b", "v"), TSettingsError);
    EXPECT_THROW(doc.WriteString("s", "", "v"), TSettingsError);
    EXPECT_THROW(doc.WriteString("s", ";k", "v"), TSettingsError);
    EXPECT_THROW(doc.WriteString("s", "[k]", "v"), TSettingsError);
    EXPECT_THROW(doc.WriteString("s\n[x]", "k", "v"), TSettingsError);
    EXPECT_EQ(doc.Serialize(), "[s]\r\nk=v\r\n\r\n");
}

TEST(IniDocument, LineBreaksInValuesAreStoredAsSpaces)
{
    const struct
    {
        const char *value;
        const char *stored;
    } cases[] = {
        {"two\r\nlines", "two  lines"}, {"a\rb", "a b"}, {"\n", " "}, {"end\n", "end "}, {"plain", "plain"},
    };
    for (const auto &c : cases) {
        TIniDocument doc = TIniDocument::Parse("[s]\r\nk=v\r\n");
        doc.WriteString("s", "k", c.value);
        EXPECT_EQ(doc.Serialize(), std::string("[s]\r\nk=") + c.stored + "\r\n\r\n") << Hex(c.value);
    }
}

TEST(IniDocument, GarbledFileLoadsWhatItCanAndLosesNothing)
{
    const std::string hugeValue(1 << 20, '\x82');
    using namespace std::string_literals;
    const std::string garbled = "\x00\xFF junk\n;note\n[Dirs]\nno equals here\n=empty key\n"s
                                + "org_mov_dir=\x82\xA0\xFF\x81\n[ big ]\nv=" + hugeValue + "\n";
    const TIniDocument doc = TIniDocument::Parse(garbled);
    EXPECT_EQ(Hex(doc.ReadString("Dirs", "org_mov_dir", "")), "82 A0 FF 81");
    EXPECT_FALSE(doc.ValueExists("Dirs", "no equals here"));
    EXPECT_EQ(doc.ReadString(" big ", "v", "").size(), hugeValue.size());
    const std::string written = doc.Serialize();
    for (const char *kept : {"junk", ";note", "no equals here", "=empty key"})
        EXPECT_NE(written.find(kept), std::string::npos) << kept;
    EXPECT_EQ(TIniDocument::Parse(written).Serialize(), written);
}
