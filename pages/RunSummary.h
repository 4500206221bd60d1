// What a run did, and the closing words both programs give it. May touch: nothing (pure text).
#pragma once

#include <string>
#include <vector>

#include "pages/MovieCopy.h"
#include "pages/PublishPlan.h"

namespace kpx {

// What one make-pages run did, told in its closing words by both programs.
// Texts are CP932.

// How a run ended.
enum class TRunEnd
{
    Complete,  // every page was handled
    Refused,   // another run holds a folder, or the strictest policy met a file: nothing was written
    Cancelled, // the user cancelled between files
    Stopped,   // the user answered a question with Stop
    Failed,    // a page that could not be written, or a folder that takes no files, ended it
};

// A count of names and the first few of them: a run that fails 100,000
// files holds no more than these.
struct TNameSample
{
    static constexpr size_t Kept = 20;
    int Count = 0;
    std::vector<std::string> First;

    void Add(const std::string &name);
};

struct TRunSummary
{
    struct TTally
    {
        int Written = 0;
        int Unchanged = 0; // already what the run would write
        int Skipped = 0;   // left alone by the policy or the user
        int Failed = 0;
        int Total() const { return Written + Unchanged + Skipped + Failed; }
    };

    TRunEnd End = TRunEnd::Complete;
    int PageCount = 0;
    TTally Movies, Pages;
    std::string FirstUnmadePage; // when the run ended early: pages from this one to LastPage were not made
    std::string LastPage;
    std::string MendedPage; // rewritten as the last page, so that no link leads past it
    TNameSample Failures;   // files that could not be put in place
    TNameSample Unreadable; // files made that other users cannot read
    bool SyncFailed = false;   // what was written may not be on disk
    bool RecordFailed = false; // the record of copies beside their movies could not be kept

    bool Complete() const { return End == TRunEnd::Complete; }
    bool AnyFailed() const { return Movies.Failed + Pages.Failed > 0 || SyncFailed || RecordFailed; }
    void Count(const TPublishTarget &target, const TFileOutcome &outcome);
};

// "動画: コピー 3、スキップ 0、失敗 0 / ページ: 作成 2、変更なし 0、スキップ 0、失敗 0"
std::string CountsLine(const TRunSummary &summary);

// The pages a run that ended early left unmade, and the page it closed the
// series with; empty for a complete run.
std::string EarlyEndLines(const TRunSummary &summary);

// The desktop program's closing box: "htmlファイルを作成しました。" first
// when pages were written, what was done, and the files that failed. A
// warning when anything failed.
struct TClosingWords
{
    bool Warning = false;
    std::string Text;
};
TClosingWords ClosingWords(const TRunSummary &summary);

// Names the files other users cannot read and why that matters; empty when
// there are none.
std::string UnreadableWarning(const TRunSummary &summary);

// Lists up to the kept names, "、" apart, and how many more there are.
std::string SampleText(const TNameSample &sample);

} // namespace kpx
