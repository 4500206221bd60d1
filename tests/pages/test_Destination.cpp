#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>

#include "PageTestSupport.h"
#include "pages/Destination.h"
#include "support/TestSupport.h"

using namespace kpx;
using kpx::test::TempDir;
using kpx::test::At;
using kpx::test::Opened;
using kpx::test::WriteFileBytes;
namespace fs = std::filesystem;

TEST(FindDestination, KnowsFilesByDeviceAndInodeWhateverTheirName)
{
    TempDir dir;
    for (const char *name : {"a", "b"})
        WriteFileBytes(dir / name, "x");
    WriteFileBytes(dir / "copy", "xy");
    fs::create_hard_link(dir / "a", dir / "hard");
    fs::create_symlink(dir / "b", dir / "soft");
    const TOpenFolder folder = Opened(dir.path());
    const TRunSources sources(folder, [] { return std::vector<std::string>{"a", "b"}; });
    const struct
    {
        const char *source;
        const char *destination;
        TDestination expected;
    } cases[] = {
        {"a", "a", TDestination::TheSource},
        {"a", "hard", TDestination::TheSource},
        {"b", "soft", TDestination::TheSource},
        {"a", "soft", TDestination::AnotherSource},
        {"b", "hard", TDestination::AnotherSource},
        {"a", "copy", TDestination::Other},
        {"a", "missing", TDestination::Missing},
        {"missing", "b", TDestination::AnotherSource},
    };
    for (const auto &c : cases)
        EXPECT_EQ(FindDestination(At(dir / c.source), At(dir / c.destination), {&sources}), c.expected)
            << c.source << " -> " << c.destination;
    EXPECT_EQ(FindDestination(At(dir / "b"), At(dir / "copy")), TDestination::Other);
}

TEST(UpdatePolicy, ReplacesOnlyWhatChanged)
{
    using A = TCopyAction;
    TempDir dir;
    const auto at = [&](const char *name, const char *bytes, int secondsFromSource) {
        WriteFileBytes(dir / name, bytes);
        fs::last_write_time(dir / name, fs::last_write_time(dir / "source") + std::chrono::seconds(secondsFromSource));
    };
    WriteFileBytes(dir / "source", "abc");
    const struct
    {
        const char *name, *bytes;
        int seconds;
        A expected;
    } movies[] = {
        {"same", "xyz", 0, A::KeepCurrent}, // size and time decide, as for rsync
        {"newer", "abc", 10, A::Replace},
        {"older", "abc", -10, A::Replace},
        {"bigger", "abcd", 0, A::Replace},
    };
    for (const auto &m : movies) {
        at(m.name, m.bytes, m.seconds);
        EXPECT_EQ(DecideCopy(TOverwritePolicy::Update, FindDestination(At(dir / "source"), At(dir / m.name))), m.expected)
            << m.name;
    }
    EXPECT_EQ(DecideCopy(TOverwritePolicy::Update, FindDestination(At(dir / "source"), At(dir / "missing"))), A::Copy);
    EXPECT_EQ(DecideCopy(TOverwritePolicy::Update, TDestination::TheSource), A::KeepSameFile);
    EXPECT_EQ(DecideCopy(TOverwritePolicy::Update, TDestination::AnotherSource), A::KeepSource);
    // Other policies take a current copy for any existing file.
    EXPECT_EQ(DecideCopy(TOverwritePolicy::Confirm, TDestination::Current), A::AskToReplace);
    EXPECT_EQ(DecideCopy(TOverwritePolicy::Overwrite, TDestination::Current), A::Replace);

    WriteFileBytes(dir / "page.html", "page");
    const std::pair<const char *, A> pages[] = {
        {"page", A::KeepCurrent}, {"pagf", A::Replace}, {"page!", A::Replace}};
    for (const auto &[bytes, expected] : pages)
        EXPECT_EQ(DecideWrite(TOverwritePolicy::Update, bytes, At(dir / "page.html")), expected) << bytes;
    EXPECT_EQ(DecideWrite(TOverwritePolicy::Update, "page", At(dir / "new.html")), A::Copy);
    EXPECT_EQ(DecideWrite(TOverwritePolicy::Overwrite, "page", At(dir / "page.html")), A::Replace);
}

TEST(FileBytes, NextBytesAreExactlyTheExpectedOnesAndThenTheEndWhenAsked)
{
    const struct
    {
        const char *held, *expected;
        bool thenEnd, same;
    } cases[] = {
        {"abc", "abc", true, true},  {"abcd", "abc", true, false}, {"abcd", "abc", false, true},
        {"ab", "abc", false, false}, {"abd", "abc", true, false},  {"", "", true, true},
        {"x", "", true, false},
    };
    TempDir dir;
    for (const auto &c : cases) {
        WriteFileBytes(dir / "f", c.held);
        const TFileDescriptor file(::open((dir / "f").c_str(), O_RDONLY));
        EXPECT_EQ(NextBytesAre(file.Get(), c.expected, c.thenEnd), c.same) << c.held << " / " << c.expected;
    }
}
