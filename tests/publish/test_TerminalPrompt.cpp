#include <gtest/gtest.h>

#include <sstream>

#include "app/publish/PublishReport.h"
#include "app/publish/TerminalPrompt.h"
#include "text/Cp932.h"

using namespace kpx;

TEST(TerminalPrompt, AsksUntilAnsweredYesOrNo)
{
    std::istringstream in("maybe\n\ny\nn\n");
    std::ostringstream out;
    TTerminalPrompt prompt(in, out, true);
    EXPECT_TRUE(prompt.Ask(Sjis("ファイル「a」は既に存在します。\r\n置き換えますか？")));
    EXPECT_EQ(out.str(), "ファイル「a」は既に存在します。\n置き換えますか？ (y/n)  (y/n)  (y/n) ");
    EXPECT_FALSE(prompt.Ask("again?"));
    // A closed terminal replaces nothing.
    EXPECT_FALSE(prompt.Ask("last?"));
}

TEST(TerminalPrompt, WithoutATerminalAnswersNoUnreadAndSaysSo)
{
    std::istringstream in("y\n");
    std::ostringstream out;
    TTerminalPrompt prompt(in, out, false);
    EXPECT_FALSE(prompt.Ask(Sjis("ファイル「a」は既に存在します。\r\n置き換えますか？")));
    EXPECT_EQ(out.str(), "ファイル「a」は既に存在します。\n置き換えますか？ いいえ (確認できる端末がないため、置き換えません)\n");
    EXPECT_EQ(in.tellg(), 0); // the input stays for whoever owns it
}

TEST(TerminalPrompt, MessagesComeOutAsUtf8WithPlainLineBreaks)
{
    std::istringstream in;
    std::ostringstream out;
    TTerminalPrompt prompt(in, out, false);
    prompt.Warning(Sjis("一行目\r\n二行目"));
    prompt.Error(Sjis("エラー"));
    prompt.Information("%s%n");
    EXPECT_EQ(out.str(), "一行目\n二行目\nエラー\n%s%n\n");
}

TEST(PublishReport, ShowsALinePerPageWithTheFilesAndBytesDone)
{
    std::ostringstream out;
    TPublishReport report(out, 2, true);
    const auto movie = [](std::uintmax_t bytes) {
        TPublishTarget target;
        target.Bytes = bytes;
        return target;
    };
    TPublishTarget page;
    page.Kind = TPublishTarget::TKind::Page;
    page.PageIndex = 1;
    page.Name = Sjis("映画02.html");
    page.Bytes = 1024 * 1024;

    report.FileDone(movie(1024 * 1024), TCopyResult::Copied);
    report.FileDone(movie(1024 * 1024), TCopyResult::Declined); // bytes count only when copied
    report.FileDone(movie(1), TCopyResult::Failed);
    report.FileDone(page, TCopyResult::Copied);
    EXPECT_EQ(out.str(), "ページ 2/2 映画02.html: 4 ファイル、2.0 MiB 完了\n");

    std::ostringstream quiet;
    TPublishReport silent(quiet, 1, false);
    silent.FileDone(page, TCopyResult::Copied);
    EXPECT_EQ(quiet.str(), "");
}
