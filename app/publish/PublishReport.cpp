#include "app/publish/PublishReport.h"

#include <ostream>

#include "app/publish/TerminalPrompt.h"
#include "pages/NumberFormat.h"
#include "text/NameParts.h"

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

} // namespace

TPublishReport::TPublishReport(std::ostream &out, int pageCount, bool showProgress)
    : FOut(out)
    , FPageCount(pageCount)
    , FShowProgress(showProgress)
{
}

void TPublishReport::FileDone(const TPublishTarget &target, TCopyResult result)
{
    ++FFilesDone;
    if (result == TCopyResult::Copied)
        FBytesCopied += target.Bytes;
    if (FShowProgress && target.Kind == TPublishTarget::TKind::Page)
        FOut << "ページ " << target.PageIndex + 1 << '/' << FPageCount << ' ' << TerminalText(target.Name) << ": "
             << FFilesDone << " ファイル、" << FormatMebibytes(FBytesCopied) << " 完了\n";
}

void PrintPlannedCopy(std::ostream &out, const TPlannedCopy &step, bool canAsk)
{
    out << ActionLabel(step.Action, canAsk) << '\t' << KindLabel(step.Target.Kind) << '\t'
        << EscapedName(step.Target.Destination) << '\n';
}

} // namespace kpx
