#include <gtest/gtest.h>

#include <chrono>

#include "FakePrompt.h"
#include "PublishFixture.h"
#include "pages/PageGenerator.h"
#include "support/TestSupport.h"
#include "text/Cp932.h"

using namespace kpx;
using kpx::test::FakePrompt;
using kpx::test::FolderContents;
using kpx::test::ReadFileBytes;
using kpx::test::TempDir;
using kpx::test::WriteFileBytes;
namespace fs = std::filesystem;

namespace {

using TAction = TCopyAction;

struct Recorder : TPublishObserver
{
    std::vector<std::pair<TPublishTarget, TCopyResult>> files;
    void FileDone(const TPublishTarget &target, TCopyResult result) override { files.emplace_back(target, result); }
};

// What the run reports for a file the plan foresaw, with every question answered no.
TCopyResult ExpectedResult(TCopyAction action)
{
    switch (action) {
    case TCopyAction::Copy:
    case TCopyAction::Replace:
        return TCopyResult::Copied;
    case TCopyAction::AskToReplace:
        return TCopyResult::Declined;
    case TCopyAction::Skip:
        return TCopyResult::Skipped;
    case TCopyAction::KeepSameFile:
        return TCopyResult::SameFile;
    case TCopyAction::KeepCurrent:
        return TCopyResult::Unchanged;
    case TCopyAction::KeepSource:
        break;
    }
    return TCopyResult::Failed;
}

} // namespace

// Three movies at two per page; the third has the second's copy name.
class PublishPlanTest : public kpx::test::PublishFixture
{
protected:
    void SetUp() override
    {
        PublishFixture::SetUp();
        prompt.answer = false;
        for (const char *name : {"m1", "m2", "m3"}) {
            WriteFileBytes(source / (std::string(name) + ".amc"), std::string(name) + " movie");
            TRecFileData entry;
            entry.OrgName = std::string(name) + ".amc";
            entry.CopyName = entry.OrgName;
            entry.FileSize = 8;
            list.FEntries.push_back(entry);
        }
        list.FEntries[2].CopyName = "m2.amc";
        list.FEntryCount = 3;
        list.FPageItemCount = 2;
        list.FPageCount = 2;
        job.PageNames = PageFileNames(job.HtmlFileName, 2);
        job.Templates.Header = "H%i";
    }

    std::vector<TPlannedCopy> plan()
    {
        std::vector<TPlannedCopy> steps;
        EXPECT_TRUE(PlanHtmlFiles(job, list, prompt, [&steps](const TPlannedCopy &step) { steps.push_back(step); }));
        return steps;
    }
    static std::vector<TAction> actions(const std::vector<TPlannedCopy> &steps)
    {
        std::vector<TAction> result;
        for (const TPlannedCopy &step : steps)
            result.push_back(step.Action);
        return result;
    }
};

TEST_F(PublishPlanTest, ObserverHearsEachPagesMoviesThenThePage)
{
    job.Policy = TOverwritePolicy::Overwrite;
    Recorder recorder;
    ASSERT_TRUE(MakeHtmlFiles(job, list, prompt, &recorder).Complete());
    ASSERT_EQ(recorder.files.size(), 5u);
    const std::vector<std::pair<std::string, int>> expected{
        {"m1.amc", 0}, {"m2.amc", 0}, {"ezmovie.html", 0}, {"m2.amc", 1}, {"ezmovie02.html", 1}};
    for (size_t i = 0; i < expected.size(); ++i) {
        const TPublishTarget &target = recorder.files[i].first;
        EXPECT_EQ(target.Name, expected[i].first) << i;
        EXPECT_EQ(target.PageIndex, expected[i].second) << i;
        EXPECT_EQ(target.Destination, html / expected[i].first) << i;
        EXPECT_EQ(recorder.files[i].second, TCopyResult::Copied) << i;
        const bool page = target.Name.ends_with(".html");
        EXPECT_EQ(target.Kind, page ? TPublishTarget::TKind::Page : TPublishTarget::TKind::Movie) << i;
        EXPECT_EQ(target.Bytes, page ? fs::file_size(target.Destination) : 8u) << i;
    }
    EXPECT_EQ(ReadFileBytes(html / "m2.amc"), "m3 movie"); // the later movie replaced the earlier
}

TEST_F(PublishPlanTest, PlanWritesNothingAndForeseesTheRunUnderEveryPolicy)
{
    using P = TOverwritePolicy;
    const std::vector<std::pair<P, std::vector<TAction>>> cases{
        // m1 exists; m2 is new, then met again by m3; page 2 exists.
        {P::Confirm, {TAction::AskToReplace, TAction::Copy, TAction::Copy, TAction::AskToReplace, TAction::AskToReplace}},
        {P::Overwrite, {TAction::Replace, TAction::Copy, TAction::Copy, TAction::Replace, TAction::Replace}},
        {P::Skip, {TAction::Skip, TAction::Copy, TAction::Copy, TAction::Skip, TAction::Skip}},
    };
    for (const auto &[policy, expected] : cases) {
        SCOPED_TRACE(static_cast<int>(policy));
        fs::remove_all(html.path());
        fs::create_directory(html.path());
        WriteFileBytes(html / "m1.amc", "old");
        WriteFileBytes(html / "ezmovie02.html", "old");
        job.Policy = policy;
        const auto before = FolderContents(html.path());

        const std::vector<TPlannedCopy> steps = plan();
        EXPECT_EQ(actions(steps), expected);
        EXPECT_EQ(FolderContents(html.path()), before);
        EXPECT_TRUE(fs::is_empty(temp.path()));

        Recorder recorder;
        ASSERT_TRUE(MakeHtmlFiles(job, list, prompt, &recorder).Complete());
        ASSERT_EQ(recorder.files.size(), steps.size());
        for (size_t i = 0; i < steps.size(); ++i) {
            EXPECT_EQ(recorder.files[i].first.Destination, steps[i].Target.Destination) << i;
            EXPECT_EQ(recorder.files[i].second, ExpectedResult(steps[i].Action)) << i;
        }
    }
}

TEST_F(PublishPlanTest, StrictPolicyPlansAfterThePreCheck)
{
    job.Policy = TOverwritePolicy::WarnAndStop;
    EXPECT_EQ(actions(plan()), (std::vector<TAction>{TAction::Copy, TAction::Copy, TAction::Copy, TAction::Skip,
                                                      TAction::Copy}));
    EXPECT_TRUE(prompt.warnings.empty());

    WriteFileBytes(html / "ezmovie02.html", "old");
    size_t steps = 0;
    EXPECT_FALSE(PlanHtmlFiles(job, list, prompt, [&steps](const TPlannedCopy &) { ++steps; }));
    EXPECT_EQ(steps, 0u);
    ASSERT_EQ(prompt.warnings.size(), 1u);
    EXPECT_NE(prompt.warnings[0].find("「ezmovie02.html」"), std::string::npos);
}

TEST_F(PublishPlanTest, MoviesAlreadyInTheMovieFolderStayAsTheyAre)
{
    job.MovieDir = source.cp932();
    list.FEntries[2].CopyName = "m3.amc";
    for (TOverwritePolicy policy : {TOverwritePolicy::Confirm, TOverwritePolicy::Overwrite}) {
        job.Policy = policy;
        const std::vector<TPlannedCopy> steps = plan();
        EXPECT_EQ(steps[0].Action, TAction::KeepSameFile);
        Recorder recorder;
        ASSERT_TRUE(MakeHtmlFiles(job, list, prompt, &recorder).Complete());
        EXPECT_EQ(recorder.files[0].second, TCopyResult::SameFile);
    }
    EXPECT_TRUE(prompt.questions.empty());
    EXPECT_EQ(ReadFileBytes(source / "m1.amc"), "m1 movie");
}
