#include <gtest/gtest.h>

#include <QDir>

#include "settings/file/DefaultTemplates.h"
#include "settings/file/FixedOptions.h"
#include "settings/file/IniDocument.h"
#include "settings/file/RunSettings.h"
#include "support/SettingsSupport.h"
#include "text/Cp932.h"

using namespace kpx;
using kpx::test::ReadSettingsLines;

namespace {

std::array<std::string, 3> DefaultFooterTexts()
{
    return {Sjis(DefaultFooters[0]), Sjis(DefaultFooters[1]), Sjis(DefaultFooters[2])};
}

} // namespace

TEST(RunSettings, EmptyFileGivesTheDesktopProgramsStartingValues)
{
    const TPublishSettings settings = ReadSettingsLines({});
    EXPECT_EQ(settings.SourceDir, "");
    EXPECT_EQ(settings.HtmlDir, "");
    EXPECT_EQ(settings.MovieDir, "");
    EXPECT_EQ(settings.HtmlFileName, "ezmovie.html");
    EXPECT_EQ(settings.PageItemCount, 3);
    EXPECT_EQ(settings.Templates.Header, Sjis(DefaultHeader));
    EXPECT_EQ(settings.Templates.Footers, DefaultFooterTexts());
    EXPECT_TRUE(settings.Scan.LowerCase);
    EXPECT_EQ(settings.Scan.RenamePattern, "'mv'yymmdd");
    EXPECT_EQ(settings.Scan.Date, LocalToday());
    EXPECT_EQ(settings.Policy, TOverwritePolicy::Confirm);
}

TEST(RunSettings, DeclaredValuesLoadAsTheWindowsLoadThem)
{
    const TPublishSettings settings =
        ReadSettingsLines({"[dirs]", "ORG_MOV_DIR=/src/映画/", "html_dir=/web", "ezmovie_dir=/web/mov/", "[html]", "ItemCount=0x7",
              "[LowerCase]", "Checked=0", "[ReName]", "Format='kp'yyyy", "[OverWrite]", "Index=2",
              // the history is no current name
              "[htmlname_history]", "Items0=old.html"});
    EXPECT_EQ(settings.SourceDir, Sjis("/src/映画/"));
    EXPECT_EQ(settings.HtmlDir, "/web/");
    EXPECT_EQ(settings.MovieDir, "/web/mov/");
    EXPECT_EQ(settings.HtmlFileName, "ezmovie.html");
    EXPECT_EQ(settings.PageItemCount, 7);
    EXPECT_FALSE(settings.Scan.LowerCase);
    EXPECT_EQ(settings.Scan.RenamePattern, "'kp'yyyy");
    EXPECT_EQ(settings.Policy, TOverwritePolicy::Skip);
}

TEST(RunSettings, OddValuesLandWhereTheControlsPutThem)
{
    // A spinner keeps to 1..10; text that is no number loads as 0.
    EXPECT_EQ(ReadSettingsLines({"[html]", "ItemCount=0"}).PageItemCount, 1);
    EXPECT_EQ(ReadSettingsLines({"[html]", "ItemCount=abc"}).PageItemCount, 1);
    EXPECT_EQ(ReadSettingsLines({"[html]", "ItemCount=50"}).PageItemCount, 10);
    EXPECT_EQ(ReadSettingsLines({"[html]", "ItemCount="}).PageItemCount, 1);
    // A check box is checked by any number but 0.
    EXPECT_FALSE(ReadSettingsLines({"[LowerCase]", "Checked=yes"}).Scan.LowerCase);
    EXPECT_TRUE(ReadSettingsLines({"[LowerCase]", "Checked=2"}).Scan.LowerCase);
    // The radio group has no button for other indexes and keeps its first.
    EXPECT_EQ(ReadSettingsLines({"[OverWrite]", "Index=7"}).Policy, TOverwritePolicy::Confirm);
    EXPECT_EQ(ReadSettingsLines({"[OverWrite]", "Index=-1"}).Policy, TOverwritePolicy::Confirm);
    EXPECT_EQ(ReadSettingsLines({"[OverWrite]", "Index=3"}).Policy, TOverwritePolicy::WarnAndStop);
    // A key that is there loads even when empty.
    EXPECT_EQ(ReadSettingsLines({"[ReName]", "Format="}).Scan.RenamePattern, "");
}

TEST(RunSettings, TemplatesJoinTheirNonEmptyLinesEachEndedByALineBreak)
{
    const TPublishSettings settings = ReadSettingsLines({"[html_header]", "Lines0=<html>", "Lines1=", "Other=ページ %i", "=lost",
                                            "[html_footer2]", "Lines0=%p | %n", "[html_footer3]", "Lines0=  "});
    EXPECT_EQ(settings.Templates.Header, Sjis("<html>\r\nページ %i\r\n"));
    // One footer holds text, so the blank ones stay blank.
    EXPECT_EQ(settings.Templates.Footers, (std::array<std::string, 3>{"", "%p | %n\r\n", "  \r\n"}));
}

TEST(RunSettings, BlankTemplatesAreRestoredAsTheMainWindowRestoresThem)
{
    // Blank after trimming, as the window's text trims: the ideographic space too.
    const TPublishSettings blank =
        ReadSettingsLines({"[html_header]", "Lines0=　 \t", "[html_footer1]", "Lines0=　", "[html_footer3]", "Lines0= "});
    EXPECT_EQ(blank.Templates.Header, Sjis(DefaultHeader));
    EXPECT_EQ(blank.Templates.Footers, DefaultFooterTexts());

    const TPublishSettings headerOnly = ReadSettingsLines({"[html_header]", "Lines0= ", "[html_footer1]", "Lines0=first"});
    EXPECT_EQ(headerOnly.Templates.Header, Sjis(DefaultHeader));
    EXPECT_EQ(headerOnly.Templates.Footers, (std::array<std::string, 3>{"first\r\n", "", ""}));
}

TEST(RunSettings, TextsReachThePagesInTheirCanonicalSpelling)
{
    // 0xED40 and 0xFA5C are one character; a Unicode control gives back the latter.
    const TPublishSettings settings = ReadPublishSettings(
        TIniDocument::Parse(
            "[html_header]\r\nLines0=\xED\x40\r\n[ReName]\r\nFormat='\xED\x40'\r\n[Dirs]\r\nhtml_dir=/\xED\x40/\r\n"),
        QDir::root());
    EXPECT_EQ(settings.Templates.Header, "\xFA\x5C\r\n");
    EXPECT_EQ(settings.Scan.RenamePattern, "'\xFA\x5C'");
    EXPECT_EQ(settings.HtmlDir, "/\xFA\x5C/");
}

TEST(RunSettings, RelativeFoldersAreTakenFromTheSettingsFilesFolder)
{
    const TPublishSettings settings =
        ReadSettingsLines({"[Dirs]", "org_mov_dir=src", "html_dir=../web/html/", "ezmovie_dir=/abs//mov"});
    EXPECT_EQ(settings.SourceDir, "/settings/src/");
    EXPECT_EQ(settings.HtmlDir, "/web/html/");
    EXPECT_EQ(settings.MovieDir, "/abs//mov/"); // an absolute folder stays as written
    EXPECT_THROW(ReadPublishSettings(TIniDocument::Parse("[Dirs]\r\nhtml_dir=h\r\n"),
                                     QDir(QString::fromUtf8("/\xF0\x9F\x98\x80"))),
                 std::runtime_error);
}

TEST(RunSettings, TheDialogsOptionsReachTheRunAsTheMainWindowAndThePreviewReadThem)
{
    TFixedOptions options;
    options.HeaderValue = QStringLiteral("\u2460 %i\r\n"); // ① is 0x8740 in code page 932
    options.FooterValues = {QStringLiteral("\u00e9"), QString(), QStringLiteral("%p")};
    options.LowerCaseValue = false;
    options.RenamePatternValue = QStringLiteral("'映'yy");
    options.OverwriteIndexValue = ini::OverWrite::Index.Max + 1;
    TPublishSettings settings;
    ReadRunOptions(options, settings);
    EXPECT_EQ(settings.Templates.Header, "\x87\x40 %i\r\n");
    EXPECT_EQ(settings.Templates.Footers, (std::array<std::string, 3>{std::string(Cp932ReplacementMark), "", "%p"}));
    EXPECT_FALSE(settings.Scan.LowerCase);
    EXPECT_EQ(settings.Scan.RenamePattern, Sjis("'映'yy"));
    EXPECT_EQ(settings.Policy, TOverwritePolicy::Confirm); // no button for it: the first applies

    options.OverwriteIndexValue = ini::OverWrite::Index.Max;
    ReadRunOptions(options, settings);
    EXPECT_EQ(settings.Policy, TOverwritePolicy::Update);
}
