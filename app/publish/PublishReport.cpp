#include "app/publish/PublishReport.h"

#include <ostream>

#include "app/publish/TerminalPrompt.h"
#include "pages/NumberFormat.h"

namespace kpx {

namespace {

const char *ActionLabel(TCopyAction action, bool canAsk)
{
    switch (action) {
    case TCopyAction::Copy:
        return "新規";
    case TCopyAction::AskToReplace:
        return canAsk ? "確認" : "置き換えない";
    case TCopyAction::Replace:
        return "上書き";
    case TCopyAction::Skip:
        return "スキップ";
    case TCopyAction::KeepSameFile:
        return "同一ファイル";
    case TCopyAction::KeepSource:
        return "元ファイルのため中止";
    case TCopyAction::KeepCurrent:
        return "変更なし";
    }
    return "";
}

const char *KindLabel(TPublishTarget::TKind kind)
{
    return kind == TPublishTarget::TKind::Movie ? "動画" : "ページ";
}

// One line, one column: control bytes and the backslash as C escapes.
std::string ListedPath(std::string_view path)
{
    constexpr char Hex[] = "0123456789abcdef";
    std::string text;
    text.reserve(path.size());
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\')
            text += "\\\\";
        else if (c == '\t')
            text += "\\t";
        else if (c == '\n')
            text += "\\n";
        else if (byte < 0x20 || byte == 0x7F)
            text += {'\\', 'x', Hex[byte >> 4], Hex[byte & 0xF]};
        else
            text += c;
    }
    return text;
}

} // namespace

TPublishReport::TPublishReport(std::ostream &out, int pageCount, bool showProgress)
    : FOut(out)
    , FPageCount(pageCount)
    , FShowProgress(showProgress)
{
}

void TPublishReport::FileDone(const TPublishTarget &target, TCopyResult result)
{
    TTally &tally = target.Kind == TPublishTarget::TKind::Movie ? FMovies : FPages;
    switch (result) {
    case TCopyResult::Copied:
        ++tally.Copied;
        FBytesCopied += target.Bytes;
        break;
    case TCopyResult::Declined:
    case TCopyResult::Skipped:
    case TCopyResult::SameFile:
    case TCopyResult::Unchanged:
        ++tally.Skipped;
        break;
    case TCopyResult::Failed:
        ++tally.Failed;
        break;
    }
    if (FShowProgress && target.Kind == TPublishTarget::TKind::Page)
        FOut << "ページ " << target.PageIndex + 1 << '/' << FPageCount << ' ' << TerminalText(target.Name) << ": "
             << FilesDone() << " ファイル、" << FormatMebibytes(FBytesCopied) << " 完了\n";
}

int TPublishReport::FilesDone() const
{
    return FMovies.Total() + FPages.Total();
}

bool TPublishReport::AnyFailed() const
{
    return FMovies.Failed + FPages.Failed > 0;
}

std::string TPublishReport::Summary() const
{
    return "動画: コピー " + std::to_string(FMovies.Copied) + "、スキップ " + std::to_string(FMovies.Skipped) + "、失敗 "
           + std::to_string(FMovies.Failed) + " / ページ: 作成 " + std::to_string(FPages.Copied) + "、スキップ "
           + std::to_string(FPages.Skipped) + "、失敗 " + std::to_string(FPages.Failed) + StoppedEarly();
}

std::string TPublishReport::StoppedEarly() const
{
    // Every page of a run that went to its end was told of, written or not.
    const int unmade = FPageCount - FPages.Total();
    return unmade > 0 ? "（途中で終了しました: 未作成のページ " + std::to_string(unmade) + "）" : std::string();
}

void PrintPlannedCopy(std::ostream &out, const TPlannedCopy &step, bool canAsk)
{
    out << ActionLabel(step.Action, canAsk) << '\t' << KindLabel(step.Target.Kind) << '\t'
        << ListedPath(step.Target.Destination) << '\n';
}

} // namespace kpx
