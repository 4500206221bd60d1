#include <gtest/gtest.h>

#include "app/publish/PublishOptions.h"

using namespace kpx;
using std::chrono::year_month_day;

namespace {

TPublishOptions Parsed(const QStringList &arguments)
{
    auto parsed = ParsePublishOptions(arguments);
    if (const auto *error = std::get_if<TUsageError>(&parsed)) {
        ADD_FAILURE() << error->Reason.toStdString();
        return {};
    }
    return std::get<TPublishOptions>(parsed);
}

QString Refusal(const QStringList &arguments)
{
    const auto parsed = ParsePublishOptions(arguments);
    const auto *error = std::get_if<TUsageError>(&parsed);
    return error ? error->Reason : QStringLiteral("(accepted)");
}

} // namespace

TEST(PublishOptions, NothingGivenLeavesEverythingToTheSettingsFile)
{
    const TPublishOptions options = Parsed({});
    EXPECT_FALSE(options.IniFile || options.SourceDir || options.HtmlDir || options.MovieDir || options.HtmlFileName);
    EXPECT_FALSE(options.PageItemCount || options.Policy || options.Date);
    EXPECT_FALSE(options.DryRun || options.Quiet || options.Help || options.Version);
}

TEST(PublishOptions, EachOptionTakesItsValueInEitherSpelling)
{
    const TPublishOptions options =
        Parsed({"--ini", "k.ini", "--source=/s", "--html-dir", "/h", "--movie-dir=/m", "--name", "top.html",
                "--per-page", "10", "--policy=refuse", "--date", "2024-02-29", "--dry-run", "--quiet"});
    EXPECT_EQ(options.IniFile, QStringLiteral("k.ini"));
    EXPECT_EQ(options.SourceDir, QStringLiteral("/s"));
    EXPECT_EQ(options.HtmlDir, QStringLiteral("/h"));
    EXPECT_EQ(options.MovieDir, QStringLiteral("/m"));
    EXPECT_EQ(options.HtmlFileName, QStringLiteral("top.html"));
    EXPECT_EQ(options.PageItemCount, 10);
    EXPECT_EQ(options.Policy, TOverwritePolicy::WarnAndStop);
    EXPECT_EQ(options.Date, (year_month_day{std::chrono::year(2024), std::chrono::February, std::chrono::day(29)}));
    EXPECT_TRUE(options.DryRun && options.Quiet);
    // A value may itself hold "=" and start with a dash.
    EXPECT_EQ(Parsed({"--source", "-a=b"}).SourceDir, QStringLiteral("-a=b"));
    EXPECT_EQ(Parsed({"--per-page", "1", "--per-page", "7"}).PageItemCount, 7);
}

TEST(PublishOptions, PolicyNamesFollowTheSettingsDialogsChoices)
{
    EXPECT_EQ(Parsed({"--policy", "ask"}).Policy, TOverwritePolicy::Confirm);
    EXPECT_EQ(Parsed({"--policy", "overwrite"}).Policy, TOverwritePolicy::Overwrite);
    EXPECT_EQ(Parsed({"--policy", "skip"}).Policy, TOverwritePolicy::Skip);
    EXPECT_EQ(Parsed({"--policy", "refuse"}).Policy, TOverwritePolicy::WarnAndStop);
    EXPECT_TRUE(Refusal({"--policy", "Skip"}).startsWith(QStringLiteral("--policy には")));
    EXPECT_TRUE(Refusal({"--policy", "2"}).startsWith(QStringLiteral("--policy には")));
}

TEST(PublishOptions, ValuesOutsideTheirRangeAreRefused)
{
    for (const char *count : {"0", "11", "abc", "-1", "+3", " 3", "3.0", "100"})
        EXPECT_EQ(Refusal({"--per-page", count}),
                  QStringLiteral("--per-page には 1 から 10 までの数を指定してください: %1").arg(QLatin1String(count)));
    EXPECT_EQ(Parsed({"--per-page", "01"}).PageItemCount, 1);

    for (const char *date : {"2023-02-29", "2024-13-01", "2024-1-1", "24-01-01", "2024/01/01", "today"})
        EXPECT_EQ(Refusal({"--date", date}),
                  QStringLiteral("--date には YYYY-MM-DD 形式の日付を指定してください: %1").arg(QLatin1String(date)));

    for (const char *name : {"a/b.html", "/top.html", ".", ".."})
        EXPECT_TRUE(Refusal({"--name", name}).startsWith(QStringLiteral("--name にはフォルダを含まない")));
}

TEST(PublishOptions, MalformedCommandLinesNameTheirFault)
{
    EXPECT_EQ(Refusal({"--bogus"}), QStringLiteral("不明なオプションです: --bogus"));
    EXPECT_EQ(Refusal({"--bogus=1"}), QStringLiteral("不明なオプションです: --bogus"));
    EXPECT_EQ(Refusal({"-s"}), QStringLiteral("余分な引数です: -s"));
    EXPECT_EQ(Refusal({"folder"}), QStringLiteral("余分な引数です: folder"));
    EXPECT_EQ(Refusal({"--html-dir"}), QStringLiteral("--html-dir には値が必要です。"));
    EXPECT_EQ(Refusal({"--source="}), QStringLiteral("--source の値が空です。"));
    EXPECT_EQ(Refusal({"--name", ""}), QStringLiteral("--name の値が空です。"));
    EXPECT_EQ(Refusal({"--quiet=yes"}), QStringLiteral("--quiet は値をとりません。"));
    // Qt's parser reads these its own way; the words stay the program's.
    EXPECT_EQ(Refusal({"-abc"}), QStringLiteral("余分な引数です: -abc"));
    EXPECT_EQ(Refusal({"--=x"}), QStringLiteral("不明なオプションです: --"));
    EXPECT_EQ(Refusal({"--quiet", "--dry-run=1"}), QStringLiteral("--dry-run は値をとりません。"));
    EXPECT_EQ(Refusal({"--", "--quiet"}), QStringLiteral("余分な引数です: --quiet"));
    EXPECT_TRUE(Parsed({"--quiet", "--"}).Quiet);
    // Values are checked in the order given.
    EXPECT_TRUE(Refusal({"--policy", "x", "--per-page", "0"}).startsWith(QStringLiteral("--policy には")));
}
