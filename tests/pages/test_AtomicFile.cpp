#include <gtest/gtest.h>

#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "pages/AtomicFile.h"
#include "pages/MovieCopy.h"
#include "pages/TestSeams.h"
#include "PageTestSupport.h"
#include "support/TestSupport.h"

using namespace kpx;
using kpx::test::ReadFileBytes;
using kpx::test::TempDir;
using kpx::test::At;
using kpx::test::Opened;
using kpx::test::WriteFileBytes;
namespace fs = std::filesystem;

namespace {

constexpr TPlacementWays AsOnFat{false, false, false, false, true};

// Runs `work` in a child process and waits for it to end.
template <typename Work>
void InChild(Work &&work)
{
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        work();
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
}

} // namespace

TEST(AtomicFile, AKillWhileFillingLeavesTheNameCompleteAbsentOrMarked)
{
    const struct
    {
        const char *way;
        size_t bytes;
        bool replace;
        TPlacementWays ways;
        const char *left; // at the destination afterwards: "", "old" or "unfinished"
    } cases[] = {
        {"small new file", 1000, false, {}, "unfinished"},
        {"large new file", CopyChunkBytes + 1, false, {}, ""},
        {"replacement", 1000, true, {}, "old"},
        {"new file on FAT", 1000, false, AsOnFat, ""},
        {"replacement on FAT", 1000, true, AsOnFat, "old"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.way);
        const TempDir dir;
        const fs::path target = dir / "m.amc";
        if (c.replace)
            WriteFileBytes(target, "old");
        InChild([&] {
            TPlacementWays ways = c.ways;
            const At place(target);
            TAtomicFile file(place, c.replace, c.bytes, 0644, ways);
            if (file.Open() == 0 && WriteAll(file.Fd(), std::string(c.bytes / 2, 'x')) == 0)
                ::raise(SIGKILL);
        });
        struct stat info = {};
        const bool exists = ::stat(target.c_str(), &info) == 0;
        const std::string left = !exists ? "" : IsUnfinishedFile(info) ? "unfinished" : ReadFileBytes(target);
        EXPECT_EQ(left, c.left);
        // The next run into the folder removes what the killed process hid there.
        const TFolderNames names(Opened(dir.path()), true);
        for (const auto &entry : fs::directory_iterator(dir.path()))
            EXPECT_EQ(entry.path().filename(), "m.amc");
    }
}

TEST(AtomicFile, OnlyHiddenNamesOfProcessesThatEndedAreRemoved)
{
    const TempDir dir;
    const std::string ended = std::to_string(kpx::test::EndedProcessId());
    const std::string running = std::to_string(::getpid());
    const struct
    {
        std::string name;
        bool removed;
    } cases[] = {
        {".kpx" + ended + "-3.tmp", true}, {".kpx" + running + "-3.tmp", false}, {".kpx" + ended + "-3.tmp.bak", false},
        {".kpx" + ended + ".tmp", false},  {"kpx" + ended + "-3.tmp", false},
    };
    for (const auto &c : cases)
        WriteFileBytes(dir / c.name, "x");
    const TFolderNames listedOnly(Opened(dir.path()));
    for (const auto &c : cases)
        EXPECT_TRUE(fs::exists(dir / c.name)) << c.name;
    const TFolderNames cleaned(Opened(dir.path()), true);
    for (const auto &c : cases)
        EXPECT_NE(fs::exists(dir / c.name), c.removed) << c.name;
    EXPECT_FALSE(cleaned.MayHold(cases[0].name));
}

TEST(AtomicFile, ModificationTimesMatchToTheSecondOrAsFatRoundsThem)
{
    const struct
    {
        timespec source, copy;
        bool same;
    } cases[] = {
        {{100, 5}, {100, 999}, true}, {{101, 700}, {100, 0}, true}, // FAT keeps the even second below
        {{101, 700}, {102, 0}, true},                               // or above
        {{101, 0}, {103, 0}, false},  {{102, 0}, {101, 0}, false},  // an odd second is no FAT time
        {{101, 0}, {100, 10}, false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(SameModificationTime(c.source, c.copy), c.same) << c.source.tv_sec << " " << c.copy.tv_sec;
}

TEST(AtomicFile, TheProbeForPermissionBitsNeverTakesTheFinalName)
{
    const TempDir dir;
    const fs::path target = dir / "m.amc";
    InChild([&] {
        // kill -9 while the folder's file system is probed
        TestSeams().ModesProbed = [](const std::string &) { ::raise(SIGKILL); };
        TPlacementWays ways;
        const At place(target);
        TAtomicFile file(place, false, 10, 0644, ways);
        file.Open();
    });
    EXPECT_FALSE(fs::exists(target));
    const TFolderNames names(Opened(dir.path()), true); // the next run's clean-up
    EXPECT_TRUE(fs::is_empty(dir.path()));
}

TEST(AtomicFile, AListingCutShortRulesOutNoName)
{
    const TempDir dir;
    for (const char *name : {"a.amc", "b.amc", "c.amc", "d.amc"})
        WriteFileBytes(dir / name, "x");
    const kpx::test::TListingCutShort failing(2);
    const TFolderNames names(Opened(dir.path()));
    for (const char *name : {"a.amc", "b.amc", "c.amc", "d.amc", "e.amc"})
        EXPECT_TRUE(names.MayHold(name)) << name;
}
