#include "pages/RunSummary.h"

#include <sys/stat.h>

#include "text/Cp932.h"

namespace kpx {

namespace {

std::string Number(int value)
{
    return std::to_string(value);
}

std::string Headline(const TRunSummary &summary)
{
    if (summary.Pages.Written > 0)
        return "htmlファイルを作成しました。";
    switch (summary.End) {
    case TRunEnd::Cancelled:
    case TRunEnd::Stopped:
        return "htmlファイルの作成を中止しました。";
    case TRunEnd::Failed:
        return "htmlファイルを作成できませんでした。";
    case TRunEnd::Complete:
    case TRunEnd::Refused:
        break;
    }
    return "書き込んだhtmlファイルはありません。";
}

} // namespace

void TNameSample::Add(const std::string &name)
{
    ++Count;
    if (First.size() < Kept)
        First.push_back(name);
}

void TRunSummary::Count(const TPublishTarget &target, const TFileOutcome &outcome)
{
    TTally &tally = target.Kind == TPublishTarget::TKind::Movie ? Movies : Pages;
    switch (outcome.Result) {
    case TCopyResult::Copied:
        ++tally.Written;
        if ((outcome.Mode & S_IROTH) == 0)
            Unreadable.Add(target.Name);
        break;
    case TCopyResult::Unchanged:
        ++tally.Unchanged;
        break;
    case TCopyResult::Declined:
    case TCopyResult::Skipped:
    case TCopyResult::SameFile:
        ++tally.Skipped;
        break;
    case TCopyResult::Failed:
        ++tally.Failed;
        Failures.Add(target.Name);
        break;
    }
}

std::string SampleText(const TNameSample &sample)
{
    std::string text;
    for (const std::string &name : sample.First)
        text += (text.empty() ? "" : Sjis("、")) + name;
    if (sample.Count > static_cast<int>(sample.First.size()))
        text += Sjis(" ほか ") + Number(sample.Count - static_cast<int>(sample.First.size())) + Sjis(" 個");
    return text;
}

std::string CountsLine(const TRunSummary &summary)
{
    const TRunSummary::TTally &movies = summary.Movies;
    const TRunSummary::TTally &pages = summary.Pages;
    return Sjis("動画: コピー " + Number(movies.Written) + "、スキップ " + Number(movies.Skipped + movies.Unchanged)
                + "、失敗 " + Number(movies.Failed) + " / ページ: 作成 " + Number(pages.Written) + "、変更なし "
                + Number(pages.Unchanged) + "、スキップ " + Number(pages.Skipped) + "、失敗 " + Number(pages.Failed));
}

std::string EarlyEndLines(const TRunSummary &summary)
{
    if (summary.FirstUnmadePage.empty())
        return {};
    const bool one = summary.FirstUnmadePage == summary.LastPage;
    std::string text = Sjis("途中で終了しました: 全 " + Number(summary.PageCount) + " ページのうち未作成は ")
                       + summary.FirstUnmadePage + (one ? "" : Sjis(" ～ ") + summary.LastPage) + Sjis("。");
    if (!summary.MendedPage.empty())
        text += "\r\n" + summary.MendedPage + Sjis(" を最後のページとして書き直しました。");
    return text;
}

TClosingWords ClosingWords(const TRunSummary &summary)
{
    TClosingWords words;
    words.Warning = summary.AnyFailed();
    words.Text = Sjis(Headline(summary)) + "\r\n" + CountsLine(summary);
    if (const std::string early = EarlyEndLines(summary); !early.empty())
        words.Text += "\r\n" + early;
    if (summary.Failures.Count > 0)
        words.Text += "\r\n" + Sjis(Number(summary.Failures.Count) + " 個のファイルを作成またはコピーできませんでした: ")
                      + SampleText(summary.Failures);
    if (summary.SyncFailed)
        words.Text += "\r\n" + Sjis("書き込んだファイルをディスクに保存できたか確認できませんでした。");
    return words;
}

std::string UnreadableWarning(const TRunSummary &summary)
{
    if (summary.Unreadable.Count == 0)
        return {};
    return Sjis("次の " + Number(summary.Unreadable.Count)
                + " 個のファイルは、ほかのユーザーが読めない権限で作成されました（動画は元のファイルの権限を、ページは"
                  "umaskを引き継ぎます）。別のユーザーとして動くWebサーバーはこれらを送信できません（403 "
                  "Forbidden）。")
           + "\r\n" + SampleText(summary.Unreadable);
}

} // namespace kpx
