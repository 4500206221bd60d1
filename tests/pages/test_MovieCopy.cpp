#include <gtest/gtest.h>

#include <chrono>
#include <limits>
#include <csignal>
#include <fcntl.h>
#include <pthread.h>
#include <sys/wait.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include "FakePrompt.h"
#include "PageTestSupport.h"
#include "pages/FileErrors.h"
#include "pages/MovieCopy.h"
#include "pages/TestSeams.h"
#include "support/TestSupport.h"
#include "text/Cp932.h"

using namespace kpx;
using kpx::test::FakePrompt;
using kpx::test::FileSizeLimit;
using kpx::test::ReadFileBytes;
using kpx::test::TempDir;
using kpx::test::At;
using kpx::test::Opened;
using kpx::test::WriteFileBytes;
namespace fs = std::filesystem;

namespace {

// What the user would be told of a failed outcome, UTF-8.
std::string Told(const TFileOutcome &outcome)
{
    return Cp932ToUtf8(FailureText(outcome.Failure));
}

std::vector<std::string> FileNamesIn(const fs::path &folder)
{
    std::vector<std::string> names;
    for (const auto &entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

class MovieCopyTest : public ::testing::Test
{
protected:
    TempDir dir;
    FakePrompt prompt;
    fs::path source = dir / "source.amc";
    fs::path target = dir / "target.amc";

    void SetUp() override { WriteFileBytes(source, "new movie"); }
};

TEST_F(MovieCopyTest, CopiesAreMadeWithoutQuestionUnderEveryPolicyAndKeepTheSourcesTime)
{
    for (const size_t bytes : {size_t{9}, size_t{CopyChunkBytes + 1}}) { // made under its name, or without one
        WriteFileBytes(source, std::string(bytes, 'n'));
        const auto sourceTime = fs::last_write_time(source) - std::chrono::hours(30);
        fs::last_write_time(source, sourceTime);
        // Read before it was last written: a read would normally note the access.
        struct stat before = {};
        ASSERT_EQ(::stat(source.c_str(), &before), 0);
        const timespec times[2] = {{before.st_mtim.tv_sec - 3600, 0}, before.st_mtim};
        ASSERT_EQ(::utimensat(AT_FDCWD, source.c_str(), times, 0), 0);
        for (int policy = 0; policy <= 4; ++policy) {
            fs::remove(target);
            EXPECT_EQ(CopyUnderPolicy(At(source), At(target), OverwritePolicyFromIndex(policy), prompt).Result, TCopyResult::Copied);
            EXPECT_EQ(fs::file_size(target), bytes);
            EXPECT_EQ(fs::last_write_time(target), sourceTime) << policy;
        }
        struct stat after = {};
        ASSERT_EQ(::stat(source.c_str(), &after), 0);
        EXPECT_EQ(after.st_atim.tv_sec, times[0].tv_sec); // publishing writes nothing to the source
    }
    EXPECT_TRUE(prompt.questions.empty());
}

TEST_F(MovieCopyTest, ExistingDestinationFollowsThePolicy)
{
    struct Case
    {
        TOverwritePolicy policy;
        bool answer;
        TCopyResult result;
        const char *content;
        size_t questions;
    };
    const Case cases[] = {
        {TOverwritePolicy::Confirm, true, TCopyResult::Copied, "new movie", 1},
        {TOverwritePolicy::Confirm, false, TCopyResult::Declined, "old", 1},
        {TOverwritePolicy::Overwrite, false, TCopyResult::Copied, "new movie", 0},
        {TOverwritePolicy::Skip, true, TCopyResult::Skipped, "old", 0},
        {TOverwritePolicy::WarnAndStop, true, TCopyResult::Skipped, "old", 0},
    };
    for (const Case &c : cases) {
        FakePrompt answering;
        answering.answer = c.answer;
        WriteFileBytes(target, "old");
        EXPECT_EQ(CopyUnderPolicy(At(source), At(target), c.policy, answering).Result, c.result);
        EXPECT_EQ(ReadFileBytes(target), c.content);
        ASSERT_EQ(answering.questions.size(), c.questions);
        if (c.questions) {
            EXPECT_NE(answering.questions[0].find("target.amc"), std::string::npos);
        }
    }
    EXPECT_EQ(FileNamesIn(dir.path()), (std::vector<std::string>{"source.amc", "target.amc"}));
}

// Every way of putting a file in place, and none of them, as on FAT and
// exFAT: a hidden name beside the destination, renamed once the name is seen
// to be free.
class BothWays
{
public:
    template <typename Test>
    static void Run(Test &&test)
    {
        for (const bool every : {true, false}) {
            SCOPED_TRACE(every ? "every way" : "as on FAT");
            TPlacementWays ways;
            if (!every)
                ways = {false, false, false, false, true};
            test(TRunKnowledge{nullptr, nullptr, &ways});
        }
    }
};

TEST_F(MovieCopyTest, PagesAreWrittenUnderThePolicyAndNothingElseIsLeft)
{
    struct Case
    {
        TOverwritePolicy policy;
        bool answer;
        bool targetExists;
        TCopyResult result;
        const char *content;
        size_t questions;
    };
    const Case cases[] = {
        {TOverwritePolicy::Confirm, true, false, TCopyResult::Copied, "page", 0},
        {TOverwritePolicy::WarnAndStop, true, false, TCopyResult::Copied, "page", 0},
        {TOverwritePolicy::Confirm, true, true, TCopyResult::Copied, "page", 1},
        {TOverwritePolicy::Confirm, false, true, TCopyResult::Declined, "old", 1},
        {TOverwritePolicy::Overwrite, false, true, TCopyResult::Copied, "page", 0},
        {TOverwritePolicy::Skip, true, true, TCopyResult::Skipped, "old", 0},
    };
    BothWays::Run([&](TRunKnowledge known) {
        for (const Case &c : cases) {
            FakePrompt answering;
            answering.answer = c.answer;
            fs::remove(target);
            if (c.targetExists)
                WriteFileBytes(target, "old");
            EXPECT_EQ(WriteUnderPolicy("page", At(target), c.policy, answering, known).Result, c.result);
            EXPECT_EQ(ReadFileBytes(target), c.content);
            EXPECT_EQ(answering.questions.size(), c.questions);
            EXPECT_EQ(FileNamesIn(dir.path()), (std::vector<std::string>{"source.amc", "target.amc"}));
        }
    });
}

TEST_F(MovieCopyTest, APageThatCannotBeMadeFailsNamingIt)
{
    BothWays::Run([&](TRunKnowledge known) {
        const TFileOutcome outcome =
            WriteUnderPolicy("page", At(dir / "nofolder" / "x.html"), TOverwritePolicy::Confirm, prompt, known);
        EXPECT_EQ(outcome.Result, TCopyResult::Failed);
        EXPECT_NE(Told(outcome).find("x.html」を作成できません。"), std::string::npos);
    });
}

TEST_F(MovieCopyTest, ADestinationThatAppearsDuringALargeCopyIsDecidedAgain)
{
    WriteFileBytes(source, std::string(CopyChunkBytes + 1, 'n'));
    BothWays::Run([&](TRunKnowledge known) {
        for (const bool answer : {true, false}) {
            fs::remove(target);
            FakePrompt answering;
            answering.answer = answer;
            const auto appear = [&](std::uintmax_t) {
                if (!fs::exists(target))
                    WriteFileBytes(target, "appeared");
            };
            EXPECT_EQ(CopyUnderPolicy(At(source), At(target), TOverwritePolicy::Confirm, answering, appear, known).Result,
                      answer ? TCopyResult::Copied : TCopyResult::Declined);
            EXPECT_EQ(fs::file_size(target), answer ? CopyChunkBytes + 1 : 8u);
            EXPECT_EQ(answering.questions.size(), 1u);
            EXPECT_EQ(FileNamesIn(dir.path()), (std::vector<std::string>{"source.amc", "target.amc"}));
        }
    });
}

namespace {

// Gives every name of the folder but the movie's to a file of someone else's,
// as a run that took over an unfinished copy would.
void TakeEveryNameBut(const fs::path &folder, const std::string &kept)
{
    for (const std::string &name : FileNamesIn(folder)) {
        if (name == kept)
            continue;
        WriteFileBytes(folder / "theirs", "theirs");
        fs::rename(folder / "theirs", folder / name);
    }
}

int RaiseTermOnClose(int fd)
{
    const int closed = ::close(fd);
    ::raise(SIGTERM);
    return closed;
}

} // namespace

TEST_F(MovieCopyTest, ATerminationWhileCopyingLeavesNothingUnderTheNameOrHidden)
{
    enum TWhen
    {
        Filled,      // the bytes are in, the file not yet in place
        NameTaken,   // the same, after another process gave its names to files of its own
        InPlace,     // the file is complete under its name, its descriptor closing
    };
    const struct
    {
        const char *way;
        size_t bytes;
        bool targetExists;
        bool onFat;
        int signal;
        TWhen when;
    } cases[] = {
        {"small new file", 1000, false, false, SIGTERM, Filled},
        {"large new file", CopyChunkBytes + 1, false, false, SIGTERM, Filled},
        {"replacement", 1000, true, false, SIGTERM, Filled},
        {"new file on FAT", 1000, false, true, SIGTERM, Filled},
        {"replacement on FAT", 1000, true, true, SIGTERM, Filled},
        {"Ctrl+C", 1000, false, false, SIGINT, Filled},
        {"a logout", 1000, false, false, SIGHUP, Filled},
        {"Ctrl+\\", 1000, false, false, SIGQUIT, Filled},
        {"small new file taken over", 1000, false, false, SIGTERM, NameTaken},
        {"hidden file on FAT taken over", 1000, false, true, SIGTERM, NameTaken},
        {"small new file in place", 1000, false, false, SIGTERM, InPlace},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.way);
        fs::remove(target);
        if (c.targetExists)
            WriteFileBytes(target, "old");
        WriteFileBytes(source, std::string(c.bytes, 's'));
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            TPlacementWays ways;
            if (c.onFat)
                ways = {false, false, false, false, true};
            if (c.when == InPlace) {
                ways.ModesSeen = true; // no probe: the file's own close is the first
                TestSeams().Close = RaiseTermOnClose;
            }
            const int signal = c.signal;
            const bool takeNames = c.when == NameTaken;
            const fs::path folder = dir.path();
            CopyUnderPolicy(
                At(source), At(target), TOverwritePolicy::Overwrite, prompt,
                [&](std::uintmax_t) {
                    if (takeNames)
                        TakeEveryNameBut(folder, "source.amc");
                    if (c.when != InPlace)
                        ::raise(signal);
                },
                {nullptr, nullptr, &ways});
            ::_exit(0);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == c.signal);
        const std::vector<std::string> left = FileNamesIn(dir.path());
        switch (c.when) {
        case Filled:
            EXPECT_EQ(left.size(), c.targetExists ? 2u : 1u) << left.back();
            EXPECT_EQ(fs::exists(target) ? ReadFileBytes(target) : "(none)", c.targetExists ? "old" : "(none)");
            break;
        case NameTaken: // their files stay, whatever name ours had
            EXPECT_EQ(left.size(), 2u);
            for (const std::string &name : left) {
                if (name != "source.amc") {
                    EXPECT_EQ(ReadFileBytes(dir / name), "theirs") << name;
                }
            }
            break;
        case InPlace:
            EXPECT_EQ(ReadFileBytes(target), std::string(c.bytes, 's'));
            break;
        }
    }
}

TEST_F(MovieCopyTest, FolderNamesSpareLooksOnlyForNamesTheFolderCannotHold)
{
    WriteFileBytes(dir / "Movie.AMC", "x");
    const TFolderNames names(Opened(dir.path()));
    const std::pair<const char *, bool> cases[] = {
        {"Movie.AMC", true}, {"movie.amc", true}, {"other.amc", false}, {"\xE6\x98\xA0.amc", true}};
    for (const auto &[name, mayHold] : cases)
        EXPECT_EQ(names.MayHold(name), mayHold) << name;
    EXPECT_TRUE(TFolderNames(Opened(dir / "missing")).MayHold("other.amc"));

    // Named after the listing: still asked about, never replaced unseen.
    WriteFileBytes(target, "appeared");
    prompt.answer = false;
    EXPECT_EQ(CopyUnderPolicy(At(source), At(target), TOverwritePolicy::Confirm, prompt, {}, {nullptr, &names}).Result,
              TCopyResult::Declined);
    EXPECT_EQ(ReadFileBytes(target), "appeared");
}

TEST_F(MovieCopyTest, FileCopiedOntoItselfStaysIntact)
{
    fs::create_directory(dir / "sub");
    fs::create_hard_link(source, dir / "hardlink.amc");
    fs::create_symlink(source, dir / "symlink.amc");
    fs::create_directory_symlink(dir.path(), dir / "same");
    const fs::path aliases[] = {source, dir / "hardlink.amc", dir / "symlink.amc", dir / "same" / "source.amc"};
    for (const fs::path &alias : aliases) {
        for (TOverwritePolicy policy : {TOverwritePolicy::Confirm, TOverwritePolicy::Overwrite}) {
            EXPECT_EQ(CopyUnderPolicy(At(source), At(alias), policy, prompt).Result, TCopyResult::SameFile) << alias;
            EXPECT_EQ(CopyUnderPolicy(At(alias), At(source), policy, prompt).Result, TCopyResult::SameFile) << alias;
            EXPECT_EQ(ReadFileBytes(source), "new movie");
        }
    }
    EXPECT_TRUE(prompt.questions.empty());
}

namespace {

int FailingClose(int fd)
{
    ::close(fd);
    errno = EIO; // as NFS reports a write-back that failed
    return -1;
}

} // namespace

TEST_F(MovieCopyTest, FailedCopyLeavesNoPartialFileAndIsReported)
{
    const struct
    {
        const char *what;
        size_t bytes;
        bool targetExists, onFat, closeFails;
        const char *reason;
    } cases[] = {
        {"too large to replace", 1 << 20, true, false, false, "ファイルが大きすぎます"},
        {"too large to make", 1 << 20, false, false, false, "ファイルが大きすぎます"},
        {"a close that fails", 9, false, false, true, "入出力エラー"},
        {"a close that fails on FAT", 9, false, true, true, "入出力エラー"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        WriteFileBytes(source, std::string(c.bytes, 'm'));
        fs::remove(target);
        if (c.targetExists)
            WriteFileBytes(target, "old");
        TFileOutcome outcome;
        TPlacementWays ways;
        if (c.onFat)
            ways = {false, false, false, false, true};
        {
            FileSizeLimit limit(64 * 1024);
            const kpx::test::TSeam<int (*)(int)> closing(TestSeams().Close, c.closeFails ? FailingClose : nullptr);
            outcome =
                CopyUnderPolicy(At(source), At(target), TOverwritePolicy::Overwrite, prompt, {}, {nullptr, nullptr, &ways});
        }
        EXPECT_EQ(outcome.Result, TCopyResult::Failed);
        EXPECT_EQ(fs::exists(target) ? ReadFileBytes(target) : "(none)", c.targetExists ? "old" : "(none)");
        EXPECT_EQ(FileNamesIn(dir.path()).size(), c.targetExists ? 2u : 1u);
        EXPECT_NE(Told(outcome).find("target.amc"), std::string::npos);
        EXPECT_NE(Told(outcome).find(c.reason), std::string::npos) << Told(outcome);
    }
}

TEST_F(MovieCopyTest, MissingSourceOrFolderIsReportedWithTheFileName)
{
    EXPECT_EQ(ShellCopyFile(dir / "gone.amc", target, true, prompt).Result, TCopyResult::Failed);
    EXPECT_EQ(ShellCopyFile(source, dir / "nofolder" / "x.amc", true, prompt).Result, TCopyResult::Failed);
    ASSERT_EQ(prompt.errors.size(), 2u);
    EXPECT_NE(prompt.errors[0].find("gone.amc"), std::string::npos);
    EXPECT_NE(prompt.errors[0].find("見つかりません"), std::string::npos);
    EXPECT_NE(prompt.errors[1].find("x.amc"), std::string::npos);
    EXPECT_FALSE(fs::exists(target));
}

TEST_F(MovieCopyTest, LargeFileIsCopiedWhole)
{
    std::string content(3 * 1024 * 1024 + 17, '\0');
    for (size_t i = 0; i < content.size(); ++i)
        content[i] = static_cast<char>(i * 7 % 251);
    WriteFileBytes(source, content);
    std::vector<std::uintmax_t> told;
    EXPECT_EQ(ShellCopyFile(source, target, false, prompt, [&told](std::uintmax_t copied) { told.push_back(copied); }).Result,
              TCopyResult::Copied);
    EXPECT_EQ(ReadFileBytes(target), content);
    // A chunk at a time, so that a window can repaint within one big movie.
    ASSERT_GE(told.size(), 4u);
    EXPECT_EQ(told.back(), content.size());
    EXPECT_TRUE(std::is_sorted(told.begin(), told.end()));
    EXPECT_LE(told.front(), CopyChunkBytes * 2);
}

class PreCheckTest : public ::testing::Test
{
protected:
    TempDir movies, html;
    FakePrompt prompt;
    TEntryList list;
    std::vector<std::string> pages{"ezmovie.html", "ezmovie02.html", "ezmovie03.html"};

    void SetUp() override
    {
        for (const char *name : {"a.amc", "b.amc", "c.amc"}) {
            TRecFileData entry;
            entry.CopyName = name;
            list.FEntries.push_back(entry);
        }
        list.FEntryCount = 3;
        list.FPageItemCount = 1;
        list.FPageCount = 3;
    }
    bool check() { return PreCheckTargets(list, Opened(movies.path()), Opened(html.path()), pages, prompt); }
};

TEST_F(PreCheckTest, NothingExistingLetsTheRunGo)
{
    EXPECT_TRUE(check());
    EXPECT_TRUE(prompt.warnings.empty());
}

TEST_F(PreCheckTest, FirstExistingMovieIsNamed)
{
    WriteFileBytes(movies / "c.amc", "x");
    WriteFileBytes(movies / "b.amc", "x");
    WriteFileBytes(html / "ezmovie.html", "x");
    EXPECT_FALSE(check());
    ASSERT_EQ(prompt.warnings.size(), 1u);
    EXPECT_EQ(prompt.warnings[0], "ezmovieディレクトリに同名のファイル「b.amc」が\r\n存在しますので、実行を中止します。");
}

TEST_F(PreCheckTest, ExistingLastPageIsNamed)
{
    WriteFileBytes(html / "ezmovie03.html", "x");
    EXPECT_FALSE(check());
    ASSERT_EQ(prompt.warnings.size(), 1u);
    EXPECT_EQ(prompt.warnings[0], "htmlディレクトリに同名のファイル「ezmovie03.html」が\r\n存在しますので、実行を中止します。");
}

TEST(DisplayPath, NamesShowTheirCharactersWhateverTheirEncoding)
{
    EXPECT_EQ(DisplayPath("/a/\x89\x66\x89\xE6.amc"), Sjis("/a/映画.amc")); // CP932 bytes
    EXPECT_EQ(DisplayPath("/a/映画.amc"), Sjis("/a/映画.amc"));
    EXPECT_EQ(DisplayPath("/a/\xF0\x9F\x98\x80"), Sjis("/a/〓")); // a character CP932 lacks
}

TEST_F(MovieCopyTest, ACopyIsNoMoreReadableThanItsSource)
{
    const mode_t umask = [] {
        const mode_t current = ::umask(022);
        ::umask(current);
        return current;
    }();
    BothWays::Run([&](TRunKnowledge known) {
        for (const size_t bytes : {size_t{9}, size_t{CopyChunkBytes + 1}}) {
            for (const mode_t mode : {0640, 0600, 0755, 0444}) {
                WriteFileBytes(source, std::string(bytes, 'm'));
                fs::permissions(source, static_cast<fs::perms>(mode));
                fs::remove(target);
                ASSERT_EQ(CopyUnderPolicy(At(source), At(target), TOverwritePolicy::Overwrite, prompt, {}, known).Result,
                          TCopyResult::Copied);
                EXPECT_EQ(static_cast<mode_t>(fs::status(target).permissions()), mode & ~umask)
                    << std::oct << mode << " " << bytes;
            }
        }
    });
}

TEST_F(MovieCopyTest, AFileAnInterruptedRunLeftIsReplacedUnderEveryPolicy)
{
    for (int policy = 0; policy <= 4; ++policy) {
        WriteFileBytes(target, "partial");
        fs::permissions(target, fs::perms::none);
        prompt.answer = false;
        EXPECT_EQ(CopyUnderPolicy(At(source), At(target), OverwritePolicyFromIndex(policy), prompt).Result, TCopyResult::Copied);
        EXPECT_EQ(ReadFileBytes(target), "new movie") << policy;
        EXPECT_NE(fs::status(target).permissions(), fs::perms::none);
        fs::remove(target);
        WriteFileBytes(target, "partial page");
        fs::permissions(target, fs::perms::none);
        EXPECT_EQ(WriteUnderPolicy("page", At(target), OverwritePolicyFromIndex(policy), prompt).Result, TCopyResult::Copied);
        EXPECT_EQ(ReadFileBytes(target), "page") << policy;
    }
    EXPECT_TRUE(prompt.questions.empty());
}

TEST_F(MovieCopyTest, ASourceWrittenToWhileCopiedIsCopiedOnceMoreThenRefused)
{
    const struct
    {
        const char *name;
        int changes;              // how many times the source changes during the copy
        std::string changedTo;
        TCopyResult result;
    } cases[] = {
        {"rewritten once at the same size", 1, std::string(CopyChunkBytes + 100, 'r'), TCopyResult::Copied},
        {"cut short once", 1, "new", TCopyResult::Copied},
        {"rewritten exactly twice", 2, "rewritten movie", TCopyResult::Failed},
        {"rewritten all the time", 100, "rewritten movie", TCopyResult::Failed},
        {"touched once, in nanoseconds only", -1, "", TCopyResult::Copied},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove(target);
        WriteFileBytes(source, std::string(CopyChunkBytes + 100, 'n'));
        fs::last_write_time(source, fs::last_write_time(source) - std::chrono::hours(1));
        // Once in each attempt to copy, until it has changed c.changes times.
        int changes = 0;
        std::uintmax_t before = std::numeric_limits<std::uintmax_t>::max();
        const auto change = [&](std::uintmax_t copied) {
            const bool attemptStarts = copied < before;
            before = copied;
            if (attemptStarts && c.changes < 0 && changes++ == 0) {
                // The same bytes and second: only a finer time tells.
                struct stat now = {};
                ::stat(source.c_str(), &now);
                const timespec times[2] = {now.st_atim, {now.st_mtim.tv_sec, (now.st_mtim.tv_nsec + 1) % 1000000000}};
                ::utimensat(AT_FDCWD, source.c_str(), times, 0);
            } else if (attemptStarts && changes++ < c.changes) {
                WriteFileBytes(source, c.changedTo);
                fs::last_write_time(source, fs::last_write_time(source) - std::chrono::minutes(changes));
            }
        };
        const TFileOutcome outcome = CopyUnderPolicy(At(source), At(target), TOverwritePolicy::Overwrite, prompt, change);
        EXPECT_EQ(outcome.Result, c.result);
        if (c.result == TCopyResult::Copied) {
            EXPECT_EQ(ReadFileBytes(target), ReadFileBytes(source));
            EXPECT_EQ(fs::last_write_time(target), fs::last_write_time(source));
        } else {
            EXPECT_FALSE(fs::exists(target));
            EXPECT_NE(Told(outcome).find("コピー中に元のファイルが書き換えられました"), std::string::npos);
        }
        EXPECT_EQ(FileNamesIn(dir.path()).size(), fs::exists(target) ? 2u : 1u);
    }
}

TEST_F(MovieCopyTest, NothingThatIsNoFileIsReadOrWaitedOn)
{
    ASSERT_EQ(::mkfifo((dir / "pipe.amc").c_str(), 0644), 0);
    fs::create_symlink("/dev/zero", dir / "device.amc");
    for (const char *name : {"pipe.amc", "device.amc"}) {
        const TFileOutcome outcome = CopyUnderPolicy(At(dir / name), At(target), TOverwritePolicy::Overwrite, prompt);
        EXPECT_EQ(outcome.Result, TCopyResult::Failed);
        EXPECT_NE(Told(outcome).find("通常のファイルではありません"), std::string::npos) << name;
        EXPECT_FALSE(fs::exists(target));
    }
    // The update choice compares a page with what is at its name; a pipe there holds nothing.
    ASSERT_EQ(::mkfifo(target.c_str(), 0644), 0);
    EXPECT_EQ(DecideWrite(TOverwritePolicy::Update, "page", At(target)), TCopyAction::Replace);
    EXPECT_EQ(WriteUnderPolicy("page", At(target), TOverwritePolicy::Update, prompt).Result, TCopyResult::Copied);
    EXPECT_EQ(ReadFileBytes(target), "page");
}

TEST_F(PreCheckTest, AFileAnInterruptedRunLeftIsNoConflict)
{
    WriteFileBytes(movies / "a.amc", "partial");
    fs::permissions(movies / "a.amc", fs::perms::none);
    EXPECT_TRUE(check());
    EXPECT_TRUE(prompt.warnings.empty());
}
