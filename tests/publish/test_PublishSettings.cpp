#include <gtest/gtest.h>

#include <QDir>

#include "app/publish/PublishSettings.h"
#include "support/SettingsSupport.h"
#include "text/Cp932.h"

using namespace kpx;
using kpx::test::ReadSettingsLines;

namespace {

TPublishSettings Applied(const TPublishSettings &settings, const TPublishOptions &options)
{
    auto applied = ApplyPublishOptions(settings, options);
    if (const auto *error = std::get_if<TUsageError>(&applied)) {
        ADD_FAILURE() << error->Reason.toStdString();
        return settings;
    }
    return std::get<TPublishSettings>(applied);
}

} // namespace

TEST(PublishSettings, CommandLineOverridesEachValue)
{
    const TPublishSettings stored = ReadSettingsLines({"[Dirs]", "org_mov_dir=/s/", "html_dir=/h/", "ezmovie_dir=/m/", "[OverWrite]",
                                          "Index=3", "[html]", "ItemCount=4"});
    EXPECT_EQ(Applied(stored, {}).MovieDir, "/m/");

    TPublishOptions options;
    options.SourceDir = QStringLiteral("/other/映画");
    options.HtmlDir = QStringLiteral("/web/./pages/../site/");
    options.HtmlFileName = QStringLiteral("トップ.html");
    options.PageItemCount = 9;
    options.Policy = TOverwritePolicy::Overwrite;
    options.Date = std::chrono::year_month_day{std::chrono::year(2001), std::chrono::March, std::chrono::day(4)};
    TPublishSettings settings = Applied(stored, options);
    EXPECT_EQ(settings.SourceDir, Sjis("/other/映画/"));
    EXPECT_EQ(settings.HtmlDir, "/web/site/");
    EXPECT_EQ(settings.MovieDir, "/web/site/"); // as the html folder button sets both
    EXPECT_EQ(settings.HtmlFileName, Sjis("トップ.html"));
    EXPECT_EQ(settings.PageItemCount, 9);
    EXPECT_EQ(settings.Policy, TOverwritePolicy::Overwrite);
    EXPECT_EQ(settings.Scan.Date, *options.Date);

    options.MovieDir = QStringLiteral("relative/mov");
    settings = Applied(stored, options);
    EXPECT_EQ(settings.MovieDir, Sjis(QDir::currentPath().toStdString() + "/relative/mov/"));

    // Without a movie folder anywhere the movies go with the pages.
    EXPECT_EQ(Applied(ReadSettingsLines({"[Dirs]", "html_dir=/h/"}), {}).MovieDir, "/h/");
}

TEST(PublishSettings, ValuesCodePage932CannotHoldAreUsageErrors)
{
    TPublishOptions options;
    options.HtmlDir = QStringLiteral("/web/😀");
    auto applied = ApplyPublishOptions(ReadSettingsLines({}), options);
    ASSERT_TRUE(std::holds_alternative<TUsageError>(applied));
    EXPECT_EQ(std::get<TUsageError>(applied).Reason,
              QStringLiteral("--html-dir の「/web/😀」には、ページに書けない文字が含まれています。"));

    options = {};
    options.HtmlFileName = QStringLiteral("\u00e9.html");
    applied = ApplyPublishOptions(ReadSettingsLines({}), options);
    ASSERT_TRUE(std::holds_alternative<TUsageError>(applied));
    EXPECT_TRUE(std::get<TUsageError>(applied).Reason.startsWith(QStringLiteral("--name の")));
}

TEST(PublishSettings, FoldersNothingNamesAreReportedWithTheDesktopTexts)
{
    EXPECT_EQ(MissingFolder(ReadSettingsLines({}))->Reason, QStringLiteral("元ezmovieディレクトリを選択してください。(--source DIR)"));
    EXPECT_EQ(MissingFolder(ReadSettingsLines({"[Dirs]", "org_mov_dir=/s/"}))->Reason,
              QStringLiteral("htmlディレクトリを選択してください。(--html-dir DIR)"));
    EXPECT_FALSE(MissingFolder(Applied(ReadSettingsLines({"[Dirs]", "org_mov_dir=/s/", "html_dir=/h/"}), {})));
}
