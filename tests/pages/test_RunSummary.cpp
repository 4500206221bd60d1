#include <gtest/gtest.h>

#include "pages/RunSummary.h"
#include "text/Cp932.h"

using namespace kpx;

namespace {

TPublishTarget Target(TPublishTarget::TKind kind, const char *name)
{
    TPublishTarget target;
    target.Kind = kind;
    target.Name = name;
    return target;
}

} // namespace

TEST(RunSummary, ClosingWordsSayWhatWasWrittenAndNeverCallNothingASuccess)
{
    using K = TPublishTarget::TKind;
    using R = TCopyResult;
    const struct
    {
        const char *what;
        TRunEnd end;
        std::vector<std::pair<K, R>> files;
        bool warning;
        const char *text; // UTF-8, lines apart by CR LF
    } cases[] = {
        {"complete", TRunEnd::Complete, {{K::Movie, R::Copied}, {K::Page, R::Copied}}, false,
         "htmlファイルを作成しました。\r\n動画: コピー 1、スキップ 0、失敗 0 / ページ: 作成 1、変更なし 0、スキップ 0、失敗 0"},
        {"everything skipped", TRunEnd::Complete, {{K::Movie, R::Declined}, {K::Page, R::Skipped}}, false,
         "書き込んだhtmlファイルはありません。\r\n動画: コピー 0、スキップ 1、失敗 0 / ページ: 作成 0、変更なし 0、スキップ 1、失敗 0"},
        {"nothing changed", TRunEnd::Complete, {{K::Movie, R::Unchanged}, {K::Page, R::Unchanged}}, false,
         "書き込んだhtmlファイルはありません。\r\n動画: コピー 0、スキップ 1、失敗 0 / ページ: 作成 0、変更なし 1、スキップ 0、失敗 0"},
        {"stopped before a page", TRunEnd::Stopped, {{K::Movie, R::Copied}}, false,
         "htmlファイルの作成を中止しました。\r\n動画: コピー 1、スキップ 0、失敗 0 / ページ: 作成 0、変更なし 0、スキップ 0、失敗 0"},
        {"a folder gone", TRunEnd::Failed, {{K::Movie, R::Failed}}, true,
         "htmlファイルを作成できませんでした。\r\n動画: コピー 0、スキップ 0、失敗 1 / ページ: 作成 0、変更なし 0、スキップ 0、失敗 0"
         "\r\n1 個のファイルを作成またはコピーできませんでした: f"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        TRunSummary summary;
        summary.End = c.end;
        for (const auto &[kind, result] : c.files)
            summary.Count(Target(kind, "f"), {result, 0644, {}});
        const TClosingWords words = ClosingWords(summary);
        EXPECT_EQ(words.Warning, c.warning);
        EXPECT_EQ(Cp932ToUtf8(words.Text), c.text);
    }
}

TEST(RunSummary, AnEarlyEndNamesThePagesLeftUnmadeAndThePageThatNowEndsTheSeries)
{
    TRunSummary summary;
    summary.End = TRunEnd::Cancelled;
    summary.PageCount = 5;
    EXPECT_EQ(EarlyEndLines(summary), "");
    summary.FirstUnmadePage = "p03.html";
    summary.LastPage = "p05.html";
    summary.MendedPage = "p02.html";
    EXPECT_EQ(Cp932ToUtf8(EarlyEndLines(summary)), "途中で終了しました: 全 5 ページのうち未作成は p03.html ～ p05.html。\r\n"
                                                   "p02.html を最後のページとして書き直しました。");
    summary.FirstUnmadePage = "p05.html";
    summary.MendedPage.clear();
    EXPECT_EQ(Cp932ToUtf8(EarlyEndLines(summary)), "途中で終了しました: 全 5 ページのうち未作成は p05.html。");
}

TEST(RunSummary, CopiesOthersCannotReadAreNamedWithTheReason)
{
    TRunSummary summary;
    EXPECT_EQ(UnreadableWarning(summary), "");
    const struct
    {
        mode_t mode;
        TCopyResult result;
        bool named;
    } cases[] = {
        {0644, TCopyResult::Copied, false}, {0600, TCopyResult::Copied, true}, {0640, TCopyResult::Copied, true},
        {0604, TCopyResult::Copied, false}, {0600, TCopyResult::Skipped, false}, // not made by the run
    };
    int named = 0;
    for (const auto &c : cases) {
        summary.Count(Target(TPublishTarget::TKind::Movie, "m.amc"), {c.result, c.mode, {}});
        named += c.named;
        EXPECT_EQ(summary.Unreadable.Count, named) << std::oct << c.mode;
    }
    for (int i = 0; i < 21; ++i)
        summary.Count(Target(TPublishTarget::TKind::Page, "p.html"), {TCopyResult::Copied, 0600, {}});
    const std::string text = Cp932ToUtf8(UnreadableWarning(summary));
    EXPECT_NE(text.find("次の 23 個のファイルは、ほかのユーザーが読めない権限"), std::string::npos) << text;
    EXPECT_NE(text.find("Webサーバーはこれらを送信できません"), std::string::npos);
    EXPECT_NE(text.find("p.html ほか 3 個"), std::string::npos) << text; // 20 names at most
}
