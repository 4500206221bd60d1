#include <gtest/gtest.h>

#include <csignal>
#include <optional>
#include <cstdlib>
#include <sys/wait.h>
#include <unistd.h>

#include "FakePrompt.h"
#include "PageTestSupport.h"
#include "PublishFixture.h"
#include "pages/EntryScan.h"
#include "pages/PageGenerator.h"
#include "pages/PageText.h"
#include "pages/TestSeams.h"
#include "support/TestSupport.h"
#include "text/Cp932.h"

using namespace kpx;
using kpx::test::Block;
using kpx::test::Entry;
using kpx::test::FakePrompt;
using kpx::test::FileSizeLimit;
using kpx::test::FolderContents;
using kpx::test::ReadFileBytes;
using kpx::test::TempDir;
using kpx::test::WriteFileBytes;
namespace fs = std::filesystem;

TEST(MovieBlock, SizesOf2GiBAndMoreReachThePageWholeFromTheScan)
{
    const struct
    {
        std::uintmax_t bytes;
        const char *grouped, *plain;
    } cases[] = {
        {2147483647, "2,147,483,647", "2147483647"},
        {2147483648, "2,147,483,648", "2147483648"},
        {3221225472, "3,221,225,472", "3221225472"}, // 3 GiB
        {4294967297, "4,294,967,297", "4294967297"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.plain);
        TempDir source;
        fs::resize_file((WriteFileBytes(source / "big.amc", ""), source / "big.amc"), c.bytes); // sparse
        std::vector<TRecFileData> entries;
        ASSERT_TRUE(ScanSourceFolder(source.path().string() + "/", TScanOptions(), entries));
        ASSERT_EQ(entries.size(), 1u);
        EXPECT_EQ(MakeMovieBlock(entries[0], ""),
                  Block("big.amc", "no", "big", c.grouped, "big", c.plain, "devdl1q"));
    }
}

namespace {

// Records the run as "start <name> <done>/<total>" and "done <name>" lines,
// and cancels once `cancelAfter` files are done.
struct RunLog : TPublishObserver
{
    std::vector<std::string> lines;
    int filesDone = 0;
    int cancelAfter = -1;

    void FileStarting(const TPublishTarget &target, std::uintmax_t done, std::uintmax_t total) override
    {
        lines.push_back("start " + target.Name + " " + std::to_string(done) + "/" + std::to_string(total));
    }
    void FileProgress(const TPublishTarget &target, std::uintmax_t done, std::uintmax_t total) override
    {
        lines.push_back("progress " + target.Name + " " + std::to_string(done) + "/" + std::to_string(total));
    }
    void FileDone(const TPublishTarget &target, TCopyResult result) override
    {
        ++filesDone;
        lines.push_back((result == TCopyResult::Failed ? "failed " : "done ") + target.Name);
    }
    bool Cancelled() override { return filesDone == cancelAfter; }
};

} // namespace

class MakeHtmlFilesTest : public kpx::test::PublishFixture
{
protected:
    void SetUp() override
    {
        PublishFixture::SetUp();
        job.Templates.Header = "H%i/%I";
        job.Templates.Footers = {"F1 %n", "F2 %p %n", "F3 %p"};
        job.Policy = TOverwritePolicy::Overwrite;
    }

    void addMovies(int count, int perPage)
    {
        for (int i = 1; i <= count; ++i) {
            const std::string name = "m" + std::to_string(i);
            WriteFileBytes(source / (name + ".amc"), std::string(static_cast<size_t>(i) * 1000, 'x'));
            list.FEntries.push_back(Entry(name, i * 1000));
        }
        list.FEntryCount = count;
        LayOutPages(list, perPage);
        job.PageNames = PageFileNames(job.HtmlFileName, list.FPageCount);
    }
    std::string block(int i) const
    {
        const std::string name = "m" + std::to_string(i);
        const std::string size = std::to_string(i * 1000);
        const std::string grouped = std::to_string(i) + ",000";
        return Block(name + ".amc", "no", name, grouped, name, size, "devdl1q") + "\r\n";
    }
    std::string page(const char *name) const { return ReadFileBytes(html / name); }
};

TEST_F(MakeHtmlFilesTest, OnePageHasNoFooter)
{
    addMovies(2, 3);
    ASSERT_TRUE(MakeHtmlFiles(job, list, prompt).Complete());
    EXPECT_EQ(page("ezmovie.html"), "H1/1\r\n" + block(1) + block(2));
    EXPECT_EQ(ReadFileBytes(html / "m2.amc"), std::string(2000, 'x'));
    EXPECT_TRUE(fs::is_empty(temp.path())); // temporary pages are removed
    EXPECT_TRUE(prompt.errors.empty());
}

TEST_F(MakeHtmlFilesTest, TwoPagesLinkEachOther)
{
    addMovies(2, 1);
    ASSERT_TRUE(MakeHtmlFiles(job, list, prompt).Complete());
    EXPECT_EQ(page("ezmovie.html"), "H1/1\r\n" + block(1) + "F1 ezmovie02.html\r\n");
    EXPECT_EQ(page("ezmovie02.html"), "H2/2\r\n" + block(2) + "F3 ezmovie.html\r\n");
}

TEST_F(MakeHtmlFilesTest, SevenMoviesAtThreePerPage)
{
    addMovies(7, 3);
    ASSERT_TRUE(MakeHtmlFiles(job, list, prompt).Complete());
    EXPECT_EQ(page("ezmovie.html"), "H1/1\r\n" + block(1) + block(2) + block(3) + "F1 ezmovie02.html\r\n");
    EXPECT_EQ(page("ezmovie02.html"),
              "H2/2\r\n" + block(4) + block(5) + block(6) + "F2 ezmovie.html ezmovie03.html\r\n");
    EXPECT_EQ(page("ezmovie03.html"), "H3/3\r\n" + block(7) + "F3 ezmovie02.html\r\n");
    for (int i = 1; i <= 7; ++i)
        EXPECT_TRUE(fs::exists(html / ("m" + std::to_string(i) + ".amc")));
}

TEST_F(MakeHtmlFilesTest, PagesPastTheLastEntryKeepHeaderAndFooter)
{
    addMovies(6, 2);
    list.FEntries.resize(3); // the list window removed three movies
    list.FEntryCount = 3;
    ASSERT_TRUE(MakeHtmlFiles(job, list, prompt).Complete());
    EXPECT_EQ(page("ezmovie02.html"), "H2/2\r\n" + block(3) + "F2 ezmovie.html ezmovie03.html\r\n");
    EXPECT_EQ(page("ezmovie03.html"), "H3/3\r\nF3 ezmovie02.html\r\n");
    EXPECT_FALSE(fs::exists(html / "m4.amc"));
}

TEST_F(MakeHtmlFilesTest, FooterLinksLeadToThePagesTheRunWrites)
{
    addMovies(3, 1);
    job.HtmlFileName = "top.html"; // differs from the page names of the run
    ASSERT_TRUE(MakeHtmlFiles(job, list, prompt).Complete());
    EXPECT_EQ(page("ezmovie.html"), "H1/1\r\n" + block(1) + "F1 ezmovie02.html\r\n");
    EXPECT_EQ(page("ezmovie02.html"), "H2/2\r\n" + block(2) + "F2 ezmovie.html ezmovie03.html\r\n");
    EXPECT_EQ(page("ezmovie03.html"), "H3/3\r\n" + block(3) + "F3 ezmovie02.html\r\n");
    EXPECT_FALSE(fs::exists(html / "top02.html"));
}

TEST_F(MakeHtmlFilesTest, FooterLinksEscapeThePageNamesAsDataLinks)
{
    job.HtmlFileName = "q\"a#b%c?d:e\\f\tg h.html";
    addMovies(3, 1);
    ASSERT_TRUE(MakeHtmlFiles(job, list, prompt).Complete());
    const std::string name = "q%22a%23b%25c%3Fd%3Ae%5Cf%09g%20h";
    EXPECT_EQ(ReadFileBytes(html / job.PageNames[1]),
              "H2/2\r\n" + block(2) + "F2 " + name + ".html " + name + "03.html\r\n");
}

TEST_F(MakeHtmlFilesTest, MoviesInAnotherFolderAreLinkedRelatively)
{
    fs::create_directory(html / "mov");
    job.MovieDir = html.cp932() + "mov/";
    addMovies(1, 3);
    ASSERT_TRUE(MakeHtmlFiles(job, list, prompt).Complete());
    EXPECT_NE(page("ezmovie.html").find("<object data=mov/m1.amc "), std::string::npos);
    EXPECT_TRUE(fs::exists(html / "mov" / "m1.amc"));
}

TEST_F(MakeHtmlFilesTest, MovieWithAnUnspellableNameIsCopiedFromItsRealName)
{
    addMovies(1, 1);
    const std::string realName = "a\xF0\x9F\x98\x80.amc";
    fs::rename(source / "m1.amc", source / realName);
    list.FEntries[0].OrgName = Sjis("a〓.amc");
    list.FEntries[0].NativeName = realName;
    ASSERT_TRUE(MakeHtmlFiles(job, list, prompt).Complete());
    EXPECT_EQ(ReadFileBytes(html / "m1.amc"), std::string(1000, 'x'));
    EXPECT_TRUE(prompt.errors.empty());
}

TEST_F(MakeHtmlFilesTest, StrictPolicyRefusesBeforeWritingAnything)
{
    addMovies(3, 1);
    job.Policy = TOverwritePolicy::WarnAndStop;
    WriteFileBytes(html / "ezmovie03.html", "old");
    EXPECT_FALSE(MakeHtmlFiles(job, list, prompt).Complete());
    ASSERT_EQ(prompt.warnings.size(), 1u);
    EXPECT_NE(prompt.warnings[0].find("ezmovie03.html"), std::string::npos);
    EXPECT_FALSE(fs::exists(html / "m1.amc"));
    EXPECT_FALSE(fs::exists(html / "ezmovie.html"));
}

TEST_F(MakeHtmlFilesTest, MissingMovieIsReportedAndThePageStillLinksIt)
{
    addMovies(2, 3);
    fs::remove(source / "m1.amc");
    ASSERT_TRUE(MakeHtmlFiles(job, list, prompt).Complete());
    ASSERT_EQ(prompt.errors.size(), 1u);
    EXPECT_NE(prompt.errors[0].find("m1.amc"), std::string::npos);
    EXPECT_EQ(page("ezmovie.html"), "H1/1\r\n" + block(1) + block(2));
}

TEST_F(MakeHtmlFilesTest, SkipPolicyLeavesAnEarlierRunsFilesAlone)
{
    addMovies(1, 1);
    WriteFileBytes(html / "ezmovie.html", "old page");
    job.Policy = TOverwritePolicy::Skip;
    ASSERT_TRUE(MakeHtmlFiles(job, list, prompt).Complete());
    EXPECT_EQ(page("ezmovie.html"), "old page");
}

namespace {

// Answers the questions about replacing files from a script, then no.
struct ScriptedPrompt : FakePrompt
{
    std::vector<TReplaceAnswer> script;

protected:
    TReplaceAnswer AskReplace(const std::string &question) override
    {
        questions.push_back(Cp932ToUtf8(question));
        if (questions.size() > script.size())
            return TReplaceAnswer::No;
        return script[questions.size() - 1];
    }
};

} // namespace

TEST_F(MakeHtmlFilesTest, AnswersForAllDecideTheRestOfTheRunAndStopEndsIt)
{
    using A = TReplaceAnswer;
    // Run order: m1.amc, ezmovie.html, m2.amc, ezmovie02.html, m3.amc, ezmovie03.html, all existing.
    const struct
    {
        std::vector<A> script;
        size_t questions;
        const char *replaced; // per file in run order: r replaced, k kept, - not reached
        bool completes;
    } cases[] = {
        {{A::Yes, A::No, A::Yes, A::No, A::Yes, A::No}, 6, "rkrkrk", true},
        {{A::No, A::YesToAll}, 2, "krrrrr", true},
        {{A::Yes, A::NoToAll}, 2, "rkkkkk", true},
        {{A::Yes, A::Stop}, 2, "rk----", false},
    };
    const char *files[] = {"m1.amc", "ezmovie.html", "m2.amc", "ezmovie02.html", "m3.amc", "ezmovie03.html"};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.replaced);
        list = TEntryList();
        addMovies(3, 1);
        for (const char *file : files)
            WriteFileBytes(html / file, "old");
        job.Policy = TOverwritePolicy::Confirm;
        ScriptedPrompt asked;
        asked.script = c.script;
        EXPECT_EQ(MakeHtmlFiles(job, list, asked).Complete(), c.completes);
        EXPECT_EQ(asked.questions.size(), c.questions);
        EXPECT_EQ(asked.StopRequested(), !c.completes);
        EXPECT_TRUE(asked.informations.empty()); // a stop is the user's word: nothing more to tell
        for (size_t i = 0; i < std::size(files); ++i)
            EXPECT_EQ(ReadFileBytes(html / files[i]) == "old", c.replaced[i] != 'r') << files[i];
    }
}

namespace {

std::vector<std::string> Names(const fs::path &folder)
{
    std::vector<std::string> names;
    for (const auto &[name, bytes] : FolderContents(folder))
        names.push_back(name);
    return names;
}

} // namespace

TEST_F(MakeHtmlFilesTest, ObserverHearsOfEveryFileBeforeAndAfterWithTheBytesDone)
{
    addMovies(3, 2);
    const std::uintmax_t page1 = MakePageText(job, list, 0).size();
    const std::uintmax_t page2 = MakePageText(job, list, 1).size();
    const std::string total = std::to_string(6000 + page1 + page2);
    RunLog log;
    ASSERT_TRUE(MakeHtmlFiles(job, list, prompt, &log).Complete());
    EXPECT_EQ(log.lines, (std::vector<std::string>{
                             "start m1.amc 0/" + total,
                             "progress m1.amc 1000/" + total,
                             "done m1.amc",
                             "start m2.amc 1000/" + total,
                             "progress m2.amc 3000/" + total,
                             "done m2.amc",
                             "start ezmovie.html 3000/" + total,
                             "done ezmovie.html",
                             "start m3.amc " + std::to_string(3000 + page1) + "/" + total,
                             "progress m3.amc " + std::to_string(6000 + page1) + "/" + total,
                             "done m3.amc",
                             "start ezmovie02.html " + std::to_string(6000 + page1) + "/" + total,
                             "done ezmovie02.html",
                         }));
}

TEST_F(MakeHtmlFilesTest, CancelStopsBeforeTheNextFileKeepingWhatIsDone)
{
    addMovies(3, 2);
    const std::pair<int, std::vector<std::string>> cases[] = {
        {0, {}},
        {1, {"m1.amc"}},
        {3, {"ezmovie.html", "m1.amc", "m2.amc"}},
    };
    for (const auto &[cancelAfter, kept] : cases) {
        fs::remove_all(html.path());
        fs::create_directory(html.path());
        RunLog log;
        log.cancelAfter = cancelAfter;
        EXPECT_FALSE(MakeHtmlFiles(job, list, prompt, &log).Complete());
        EXPECT_EQ(log.filesDone, cancelAfter);
        EXPECT_EQ(Names(html.path()), kept);
    }
    EXPECT_TRUE(prompt.errors.empty()); // cancelling is no error
    EXPECT_TRUE(fs::is_empty(temp.path()));
}

TEST_F(MakeHtmlFilesTest, TargetFolderGoneEndsTheRunWithOneMessage)
{
    TempDir movies;
    job.MovieDir = movies.cp932();
    addMovies(4, 2);
    // Removed after it was chosen, or something else now under its name.
    for (const bool replacedByFile : {false, true}) {
        FakePrompt told;
        fs::remove_all(html.path());
        if (replacedByFile)
            WriteFileBytes(html.path(), "x");
        EXPECT_FALSE(MakeHtmlFiles(job, list, told).Complete());
        ASSERT_EQ(told.errors.size(), 1u);
        EXPECT_NE(told.errors[0].find("ezmovie.html"), std::string::npos) << told.errors[0];
        EXPECT_EQ(Names(movies.path()), (std::vector<std::string>{"m1.amc", "m2.amc"})); // page 2 never started
    }
    fs::remove(html.path());
    fs::create_directory(html.path());

    fs::remove_all(movies.path());
    FakePrompt told;
    EXPECT_FALSE(MakeHtmlFiles(job, list, told).Complete());
    ASSERT_EQ(told.errors.size(), 1u);
    EXPECT_NE(told.errors[0].find("m1.amc"), std::string::npos);
    EXPECT_NE(told.errors[0].find("見つかりません"), std::string::npos);
}

TEST_F(MakeHtmlFilesTest, ReadOnlyTargetFolderEndsTheRunWithOneMessage)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "permission bits do not stop root";
    addMovies(4, 2);
    fs::permissions(html.path(), fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_FALSE(MakeHtmlFiles(job, list, prompt).Complete());
    fs::permissions(html.path(), fs::perms::owner_all);
    ASSERT_EQ(prompt.errors.size(), 1u);
    EXPECT_NE(prompt.errors[0].find("m1.amc"), std::string::npos);
    EXPECT_NE(prompt.errors[0].find("アクセスが拒否されました"), std::string::npos);
}

TEST_F(MakeHtmlFilesTest, UnreadableMovieIsReportedAndTheRunGoesOn)
{
    addMovies(2, 1);
    fs::remove(source / "m1.amc");
    fs::create_directory(source / "m1.amc"); // opens, but cannot be read as a movie
    EXPECT_TRUE(MakeHtmlFiles(job, list, prompt).Complete());
    ASSERT_EQ(prompt.errors.size(), 1u);
    EXPECT_NE(prompt.errors[0].find("m1.amc"), std::string::npos);
    EXPECT_NE(prompt.errors[0].find("読み込めません"), std::string::npos);
    EXPECT_EQ(Names(html.path()), (std::vector<std::string>{"ezmovie.html", "ezmovie02.html", "m2.amc"}));
}

TEST_F(MakeHtmlFilesTest, FullDiskDuringAMovieLeavesNoPartOfItAndTheRunGoesOn)
{
    addMovies(2, 2);
    {
        const FileSizeLimit limit(1500); // m1 and the page fit, m2 does not
        EXPECT_TRUE(MakeHtmlFiles(job, list, prompt).Complete());
    }
    ASSERT_EQ(prompt.errors.size(), 1u);
    EXPECT_NE(prompt.errors[0].find("m2.amc"), std::string::npos);
    EXPECT_NE(prompt.errors[0].find("ファイルが大きすぎます"), std::string::npos);
    EXPECT_EQ(Names(html.path()), (std::vector<std::string>{"ezmovie.html", "m1.amc"})); // no temporary file
}

TEST_F(MakeHtmlFilesTest, FullDiskDuringAPageEndsTheRunLeavingNoPartOfIt)
{
    addMovies(2, 1);
    job.Templates.Header = std::string(4000, 'h');
    WriteFileBytes(html / "ezmovie.html", "old page");
    RunLog log;
    {
        const FileSizeLimit limit(3000);
        EXPECT_FALSE(MakeHtmlFiles(job, list, prompt, &log).Complete());
    }
    EXPECT_EQ(log.lines.back(), "failed ezmovie.html"); // counted, as the run's last file
    ASSERT_EQ(prompt.errors.size(), 1u);
    EXPECT_NE(prompt.errors[0].find("ezmovie.html"), std::string::npos);
    EXPECT_NE(prompt.errors[0].find("ファイルが大きすぎます"), std::string::npos);
    EXPECT_EQ(page("ezmovie.html"), "old page");
    EXPECT_EQ(Names(html.path()), (std::vector<std::string>{"ezmovie.html", "m1.amc"}));
    EXPECT_TRUE(fs::is_empty(temp.path()));
}

namespace {

// While each movie is copied, notes what the html folder shows.
struct FolderSpy : TPublishObserver
{
    fs::path folder;
    std::vector<std::string> seen; // "<file being copied>: <names in the folder>"

    void FileProgress(const TPublishTarget &target, std::uintmax_t, std::uintmax_t) override
    {
        std::string line = target.Name + ":";
        for (const auto &[name, bytes] : FolderContents(folder))
            line += " " + name;
        seen.push_back(line);
    }
    void FileDone(const TPublishTarget &, TCopyResult) override {}
};

} // namespace

TEST_F(MakeHtmlFilesTest, NoNameShowsALargeMovieBeforeItIsComplete)
{
    addMovies(2, 1);
    for (const char *name : {"m1.amc", "m2.amc"}) // copied in more than one call
        WriteFileBytes(source / name, std::string(CopyChunkBytes + 1, 'x'));
    for (const bool unnamed : {true, false}) {
        SCOPED_TRACE(unnamed ? "unnamed file" : "hidden name");
        job.Placement = unnamed ? TPlacementWays{} : TPlacementWays{false, false, false, false, true};
        fs::remove_all(html.path());
        fs::create_directory(html.path());
        FolderSpy spy;
        spy.folder = html.path();
        ASSERT_TRUE(MakeHtmlFiles(job, list, prompt, &spy).Complete());
        ASSERT_EQ(spy.seen.size(), 4u); // each movie: after its first chunk and at its end
        for (const std::string &line : spy.seen) {
            const std::string movie = line.substr(0, line.find(':'));
            EXPECT_EQ(line.find(" " + movie), std::string::npos) << line; // never under its own name
            EXPECT_EQ(line.find(" .kpx") != std::string::npos, !unnamed) << line; // a hidden name, if any
        }
        EXPECT_EQ(Names(html.path()), (std::vector<std::string>{"ezmovie.html", "ezmovie02.html", "m1.amc", "m2.amc"}));
    }
    EXPECT_TRUE(fs::is_empty(temp.path())); // nothing is prepared in the temporary folder
}

TEST_F(MakeHtmlFilesTest, EveryNameTheFileSystemTakesCanBePublished)
{
    const std::string movie = std::string(251, 'm') + ".amc"; // 255 bytes, the most a name may have
    WriteFileBytes(source / movie, "movie");
    list.FEntries.push_back(Entry(std::string(251, 'm'), 5));
    list.FEntryCount = 1;
    list.FPageItemCount = 1;
    list.FPageCount = 1;
    job.PageNames = {std::string(250, 'p') + ".html"};
    ASSERT_TRUE(MakeHtmlFiles(job, list, prompt).Complete()) << (prompt.errors.empty() ? "" : prompt.errors[0]);
    EXPECT_TRUE(prompt.errors.empty());
    EXPECT_EQ(ReadFileBytes(html / movie), "movie");
    EXPECT_NE(ReadFileBytes(html / job.PageNames[0]).find("data=" + movie), std::string::npos);
}

TEST_F(MakeHtmlFilesTest, NoCopyReplacesAnotherEntrysSource)
{
    addMovies(2, 2);
    fs::create_hard_link(source / "m2.amc", html / "m1.amc"); // m1's copy would land on m2's file
    for (const TOverwritePolicy policy : {TOverwritePolicy::Overwrite, TOverwritePolicy::Confirm}) {
        FakePrompt answering;
        answering.answer = true;
        job.Policy = policy;
        EXPECT_TRUE(MakeHtmlFiles(job, list, answering).Complete());
        ASSERT_EQ(answering.errors.size(), 1u);
        EXPECT_NE(answering.errors[0].find("m1.amc"), std::string::npos);
        for (const std::string &question : answering.questions)
            EXPECT_EQ(question.find("m1.amc"), std::string::npos) << question;
        EXPECT_EQ(ReadFileBytes(source / "m2.amc"), std::string(2000, 'x'));
        EXPECT_EQ(ReadFileBytes(html / "m1.amc"), std::string(2000, 'x'));
    }
}

namespace {

// Ends the process as kill -9 does, once the named movie's bytes are copied
// and before it is complete.
struct KillDuring : TPublishObserver
{
    std::string movie;

    void FileProgress(const TPublishTarget &target, std::uintmax_t, std::uintmax_t) override
    {
        if (target.Name == movie)
            ::raise(SIGKILL);
    }
    void FileDone(const TPublishTarget &, TCopyResult) override {}
};

} // namespace

TEST_F(MakeHtmlFilesTest, ARunAfterAKillLeavesNoBrokenFileWhateverItsPolicy)
{
    addMovies(3, 2);
    for (const bool onFat : {false, true}) {
        for (int policy = 0; policy <= 4; ++policy) {
            SCOPED_TRACE((onFat ? "as on FAT, policy " : "policy ") + std::to_string(policy));
            fs::remove_all(html.path());
            fs::create_directory(html.path());
            job.Placement = onFat ? TPlacementWays{false, false, false, false, true} : TPlacementWays{};
            const pid_t child = ::fork();
            ASSERT_GE(child, 0);
            if (child == 0) {
                KillDuring killer;
                killer.movie = "m2.amc";
                MakeHtmlFiles(job, list, prompt, &killer);
                ::_exit(0);
            }
            int status = 0;
            ASSERT_EQ(::waitpid(child, &status, 0), child);
            ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);

            FakePrompt answering;
            answering.answer = false;
            job.Policy = OverwritePolicyFromIndex(policy);
            const bool refused = job.Policy == TOverwritePolicy::WarnAndStop; // m1 is there, complete
            EXPECT_NE(MakeHtmlFiles(job, list, answering).Complete(), refused);
            for (const char *movie : {"m1.amc", "m2.amc", "m3.amc"}) {
                if (refused && std::string_view(movie) != "m1.amc")
                    continue;
                EXPECT_EQ(ReadFileBytes(html / movie), ReadFileBytes(source / movie)) << movie;
                EXPECT_NE(fs::status(html / movie).permissions() & fs::perms::owner_read, fs::perms::none) << movie;
            }
            for (const std::string &question : answering.questions)
                EXPECT_EQ(question.find("m2.amc"), std::string::npos) << question;
            if (!refused) {
                EXPECT_EQ(Names(html.path()), (std::vector<std::string>{"ezmovie.html", "ezmovie02.html", "m1.amc",
                                                                        "m2.amc", "m3.amc"}));
            }
        }
    }
}

TEST_F(MakeHtmlFilesTest, HiddenFilesOfAnEndedRunGoWithTheNextRunNotWithADryRun)
{
    addMovies(1, 1);
    const std::string leftover = ".kpx" + std::to_string(kpx::test::EndedProcessId()) + "-1.tmp";
    WriteFileBytes(html / leftover, "partial");
    ASSERT_TRUE(PlanHtmlFiles(job, list, prompt, [](const TPlannedCopy &) {}));
    EXPECT_TRUE(fs::exists(html / leftover));
    ASSERT_TRUE(MakeHtmlFiles(job, list, prompt).Complete());
    EXPECT_EQ(Names(html.path()), (std::vector<std::string>{"ezmovie.html", "m1.amc"}));
}

TEST_F(MakeHtmlFilesTest, APageThatCannotBePutInPlaceEndsTheRun)
{
    addMovies(4, 2);
    fs::create_directory(html / "ezmovie.html"); // a folder where page 1 goes
    RunLog log;
    EXPECT_FALSE(MakeHtmlFiles(job, list, prompt, &log).Complete());
    ASSERT_EQ(prompt.errors.size(), 1u);
    EXPECT_NE(prompt.errors[0].find("ezmovie.html"), std::string::npos);
    EXPECT_EQ(log.lines.back(), "failed ezmovie.html");
    EXPECT_FALSE(fs::exists(html / "ezmovie02.html")); // its footer would link the missing page
    EXPECT_FALSE(fs::exists(html / "m3.amc"));
}

namespace {

// Starts a second run at the first file of the first, as the desktop program
// waiting at a question and a nightly kpx_publish would.
struct SecondRunAtFirstFile : TPublishObserver
{
    TPublishJob second;
    const TEntryList *list = nullptr;
    FakePrompt told;
    std::optional<TRunSummary> summary;

    void FileStarting(const TPublishTarget &, std::uintmax_t, std::uintmax_t) override
    {
        if (!summary)
            summary = MakeHtmlFiles(second, *list, told);
    }
    void FileDone(const TPublishTarget &, TCopyResult) override {}
};

} // namespace

TEST_F(MakeHtmlFilesTest, ASecondRunOnABusyFolderIsRefusedAtOnceNamingIt)
{
    addMovies(2, 1);
    TempDir otherHtml, otherMovies;
    const struct
    {
        const char *shared;
        std::string html, movies, named;
    } cases[] = {
        {"both folders", html.cp932(), html.cp932(), "ezmovieディレクトリ「" + html.path().native()},
        {"the html folder", html.cp932(), otherMovies.cp932(), "htmlディレクトリ「" + html.path().native()},
        {"the movie folder", otherHtml.cp932(), html.cp932(), "ezmovieディレクトリ「" + html.path().native()},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.shared);
        for (const TempDir *folder : {&html, &otherHtml, &otherMovies}) {
            fs::remove_all(folder->path());
            fs::create_directory(folder->path());
        }
        SecondRunAtFirstFile second;
        second.second = job;
        second.second.HtmlDir = c.html;
        second.second.MovieDir = c.movies;
        second.second.Policy = TOverwritePolicy::WarnAndStop; // the lock comes before the pre-check
        second.list = &list;
        ASSERT_TRUE(MakeHtmlFiles(job, list, prompt, &second).Complete());
        ASSERT_TRUE(second.summary);
        EXPECT_EQ(second.summary->End, TRunEnd::Refused);
        ASSERT_EQ(second.told.warnings.size(), 1u);
        EXPECT_EQ(second.told.warnings[0].find(c.named), 0u) << second.told.warnings[0];
        EXPECT_NE(second.told.warnings[0].find("別のhtmlファイル作成が実行中です"), std::string::npos);
        EXPECT_TRUE(fs::is_empty(otherHtml.path()));
        EXPECT_TRUE(fs::is_empty(otherMovies.path()));
        // Held only while the run lasts.
        second.second.Policy = TOverwritePolicy::Overwrite;
        EXPECT_TRUE(MakeHtmlFiles(second.second, list, second.told).Complete());
    }
}

TEST_F(MakeHtmlFilesTest, ARunThatEndsEarlyLinksNoPageItNeverMade)
{
    addMovies(3, 1); // run order: m1, ezmovie.html, m2, ezmovie02.html, m3, ezmovie03.html
    const struct
    {
        const char *what;
        int cancelAfter;          // files done before the run is cancelled; -1: it runs on
        bool thirdPageFails;      // a folder where ezmovie03.html goes
        bool thirdPageFromBefore; // an earlier run left ezmovie03.html
        std::string first, second;
        const char *mended, *firstUnmade;
    } cases[] = {
        {"cancelled after page 1", 2, false, false, "H1/1\r\n" + block(1), "", "ezmovie.html", "ezmovie02.html"},
        {"cancelled after page 2", 4, false, false, "H1/1\r\n" + block(1) + "F1 ezmovie02.html\r\n",
         "H2/2\r\n" + block(2) + "F3 ezmovie.html\r\n", "ezmovie02.html", "ezmovie03.html"},
        {"page 3 of an earlier run kept", 4, false, true, "H1/1\r\n" + block(1) + "F1 ezmovie02.html\r\n",
         "H2/2\r\n" + block(2) + "F2 ezmovie.html ezmovie03.html\r\n", "", "ezmovie03.html"},
        {"page 3 cannot be written", -1, true, false, "H1/1\r\n" + block(1) + "F1 ezmovie02.html\r\n",
         "H2/2\r\n" + block(2) + "F3 ezmovie.html\r\n", "ezmovie02.html", "ezmovie03.html"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(html.path());
        fs::create_directory(html.path());
        if (c.thirdPageFails)
            fs::create_directory(html / "ezmovie03.html");
        if (c.thirdPageFromBefore)
            WriteFileBytes(html / "ezmovie03.html", "earlier");
        RunLog log;
        log.cancelAfter = c.cancelAfter;
        FakePrompt told;
        const TRunSummary summary = MakeHtmlFiles(job, list, told, &log);
        EXPECT_EQ(summary.End, c.thirdPageFails ? TRunEnd::Failed : TRunEnd::Cancelled);
        EXPECT_EQ(page("ezmovie.html"), c.first);
        EXPECT_EQ(fs::exists(html / "ezmovie02.html") ? page("ezmovie02.html") : "", c.second);
        EXPECT_EQ(summary.MendedPage, c.mended);
        EXPECT_EQ(summary.FirstUnmadePage, c.firstUnmade);
        EXPECT_EQ(summary.LastPage, "ezmovie03.html");
        EXPECT_EQ(told.errors.size(), c.thirdPageFails ? 1u : 0u);
    }
}

TEST_F(MakeHtmlFilesTest, UnderUpdateAPageIsRewrittenExactlyWhenItsTextDiffers)
{
    addMovies(3, 1);
    ASSERT_TRUE(MakeHtmlFiles(job, list, prompt).Complete());
    const std::string second = page("ezmovie02.html"), third = page("ezmovie03.html");
    std::string sameSize = second;
    sameSize[0] = 'h';
    WriteFileBytes(html / "ezmovie02.html", sameSize);
    WriteFileBytes(html / "ezmovie03.html", third + " ");
    struct stat kept{};
    ASSERT_EQ(::stat((html / "ezmovie.html").c_str(), &kept), 0);

    job.Policy = TOverwritePolicy::Update;
    ASSERT_TRUE(MakeHtmlFiles(job, list, prompt).Complete());
    struct stat now{};
    ASSERT_EQ(::stat((html / "ezmovie.html").c_str(), &now), 0);
    EXPECT_EQ(now.st_ino, kept.st_ino); // the same text: left as it was
    EXPECT_EQ(page("ezmovie02.html"), second);
    EXPECT_EQ(page("ezmovie03.html"), third);
}

TEST_F(MakeHtmlFilesTest, AWriteOutThatFailsIsAFailure)
{
    addMovies(1, 1);
    const kpx::test::TSeam<int (*)(int)> failing(TestSeams().SyncFileSystem, [](int) {
        errno = EIO;
        return -1;
    });
    const TRunSummary summary = MakeHtmlFiles(job, list, prompt);
    EXPECT_TRUE(summary.SyncFailed);
    EXPECT_TRUE(summary.AnyFailed());
    ASSERT_EQ(prompt.errors.size(), 1u);
    EXPECT_NE(prompt.errors[0].find("ディスクに保存できませんでした"), std::string::npos) << prompt.errors[0];
    EXPECT_NE(prompt.errors[0].find("入出力エラー"), std::string::npos);
    EXPECT_TRUE(ClosingWords(summary).Warning);
}
