#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <utility>
#include <vector>

#include "FakePrompt.h"
#include "pages/CopyRecord.h"
#include "pages/EarlierCopies.h"
#include "pages/PageGenerator.h"
#include "support/TestSupport.h"
#include "text/Cp932.h"

using namespace kpx;
using namespace std::chrono;
using kpx::test::TempDir;
using kpx::test::WriteFileBytes;
namespace fs = std::filesystem;

namespace {

struct TFile
{
    const char *Name;
    const char *Bytes;
    int Minute = 0; // of the modification time
};

using TNames = std::vector<std::pair<std::string, std::string>>; // name -> copy name

// Scans a folder of these files, then lets it recognise the earlier copies
// with the movie folder that folder or another.
TNames Published(std::initializer_list<TFile> files, bool movieFolderIsSource = true)
{
    const TempDir source, other;
    const fs::file_time_type noon = fs::file_time_type::clock::now() - hours(12);
    for (const TFile &file : files) {
        WriteFileBytes(source / file.Name, file.Bytes);
        fs::last_write_time(source / file.Name, noon + minutes(file.Minute));
    }
    const TScanOptions options{true, "'mv'yymmdd", year_month_day{year(2007), month(12), day(7)}};
    std::vector<TRecFileData> entries;
    EXPECT_TRUE(ScanSourceFolder(source.cp932(), options, entries));
    EXPECT_TRUE(AdoptEarlierCopies(source.cp932(), movieFolderIsSource ? source.cp932() : other.cp932(), options,
                                   entries));
    TNames names;
    for (const TRecFileData &entry : entries) {
        names.emplace_back(Cp932ToUtf8(entry.OrgName), entry.CopyName);
        EXPECT_EQ(entry.NativeName, Cp932ToNativePath(entry.OrgName).native()); // still names its file
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(source.path()), fs::directory_iterator()),
              static_cast<long>(files.size())); // nothing deleted
    return names;
}

} // namespace

TEST(AdoptEarlierCopies, AFileOfTheSameBytesSizeAndTimeIsTheCopyOfAPatternNamedMovie)
{
    const struct
    {
        const char *what;
        std::initializer_list<TFile> files;
        bool movieFolderIsSource;
        TNames expected;
    } cases[] = {
        {"the copies of a run on another day",
         {{"a.amc", "a"}, {"映画.amc", "eiga"}, {"mv07110901.amc", "eiga"}, {"動画.amc", "doga"}, {"mv07110902.amc", "doga"}},
         true,
         {{"a.amc", "a.amc"}, {"動画.amc", "mv07110902.amc"}, {"映画.amc", "mv07110901.amc"}}},
        {"another time or other bytes of the same size",
         {{"映画.amc", "eiga"}, {"mv07120701.amc", "eiga", 1}, {"動画.amc", "doga"}, {"mv07120702.amc", "dogo"}},
         true,
         {{"mv07120701.amc", "mv07120701.amc"}, {"mv07120702.amc", "mv07120702.amc"}, {"動画.amc", "mv07120703.amc"},
          {"映画.amc", "mv07120704.amc"}}},
        {"movies copied elsewhere",
         {{"映画.amc", "eiga"}, {"mv07120701.amc", "eiga"}},
         false,
         {{"mv07120701.amc", "mv07120701.amc"}, {"映画.amc", "mv07120702.amc"}}},
        {"equal movies take the copies in the order their serials were given",
         {{"動画.amc", "same"}, {"映画.amc", "same"}, {"mv071207100.amc", "same"}, {"mv07120799.amc", "same"},
          {"mv07120798.amc", "same", 1}},
         true,
         {{"mv07120798.amc", "mv07120798.amc"}, {"動画.amc", "mv07120799.amc"}, {"映画.amc", "mv071207100.amc"}}},
        {"a name another file's copy took, kept through that file",
         {{"MOVIE.AMC", "m"}, {"movie.amc", "m"}},
         true,
         {{"MOVIE.AMC", "movie.amc"}}},
        {"a name the program gives no copy of that movie",
         {{"clip.amc", "same"}, {"映画.amc", "same"}, {"movie.amc", "m"}, {"MV.AMC", "m"}},
         true,
         {{"clip.amc", "clip.amc"}, {"movie.amc", "movie.amc"}, {"MV.AMC", "mv.amc"}, {"映画.amc", "mv07120701.amc"}}},
        {"a record that is none of ours",
         {{".kinopage-copies", "garbled"}, {"映画.amc", "eiga"}, {"mv07110901.amc", "eiga"}},
         true,
         {{"映画.amc", "mv07110901.amc"}}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(Published(c.files, c.movieFolderIsSource), c.expected) << c.what;
}

namespace {

// Sessions of scan and run into the source folder itself, on later and later days.
class PublishingBesideTheMovies : public ::testing::Test
{
protected:
    TempDir folder;
    int dayOfMonth = 7;

    struct TSession
    {
        TNames names;                  // name -> copy name
        std::vector<std::string> told; // left out and named
    };

    TSession Session()
    {
        TScanOptions options{true, "'mv'yymmdd", year_month_day{year(2007), month(12), day(static_cast<unsigned>(dayOfMonth++))}};
        TEntryList list;
        std::vector<TLeftOutEntry> leftOut;
        EXPECT_TRUE(ScanPublication(folder.cp932(), folder.cp932(), folder.cp932(), options, list.FEntries, {}, &leftOut));
        list.FEntryCount = static_cast<int>(list.FEntries.size());
        LayOutPages(list, 10);
        TPublishJob job;
        job.SourceDir = job.HtmlDir = job.MovieDir = folder.cp932();
        job.HtmlFileName = "index.html";
        job.PageNames = PageFileNames(job.HtmlFileName, list.FPageCount);
        job.Policy = TOverwritePolicy::Update;
        kpx::test::FakePrompt prompt;
        EXPECT_TRUE(MakeHtmlFiles(job, list, prompt).Complete());
        EXPECT_TRUE(prompt.errors.empty());
        TSession session;
        for (const TRecFileData &entry : list.FEntries)
            session.names.emplace_back(Cp932ToUtf8(entry.OrgName), entry.CopyName);
        for (const TLeftOutEntry &entry : leftOut)
            session.told.push_back(Cp932ToUtf8(DescribeLeftOut(entry)));
        return session;
    }
    void Write(const char *name, const char *bytes, int minute)
    {
        WriteFileBytes(folder / name, bytes);
        fs::last_write_time(folder / name, fs::file_time_type::clock::now() - hours(12) + minutes(minute));
    }
};

} // namespace

TEST_F(PublishingBesideTheMovies, RecordedCopiesLeaveTheListExactlyAndKeepTheirNames)
{
    Write("clip.amc", "same", 0);
    Write("映画.amc", "same", 0); // the same clip under a name that needs the pattern
    Write("Other.AMC", "other", 1);
    const TNames published{{"clip.amc", "clip.amc"}, {"Other.AMC", "other.amc"}, {"映画.amc", "mv07120701.amc"}};
    EXPECT_EQ(Session().names, published);
    EXPECT_EQ(Session().names, published) << "a rerun on another day";

    Write("映画.amc", "edited", 2); // edited movies keep their copies' names, which get the new bytes
    Write("Other.AMC", "edited too", 3);
    EXPECT_EQ(Session().names, published);
    EXPECT_EQ(kpx::test::ReadFileBytes(folder / "mv07120701.amc"), "edited");
    EXPECT_EQ(kpx::test::ReadFileBytes(folder / "other.amc"), "edited too");

    fs::remove(folder / "映画.amc"); // its copy is named once, never listed
    const TSession gone = Session();
    EXPECT_EQ(gone.names, (TNames{{"clip.amc", "clip.amc"}, {"Other.AMC", "other.amc"}}));
    EXPECT_EQ(gone.told,
              std::vector<std::string>{"mv07120701.amc（以前のコピーで、元の動画はもうありません。不要なら削除できます）"});
    const TSession after = Session();
    EXPECT_EQ(after.names, gone.names);
    EXPECT_TRUE(after.told.empty());
    EXPECT_TRUE(fs::exists(folder / "mv07120701.amc")); // nothing deleted
}

TEST(CopyRecord, ReadsBackWhatItWroteAndNothingElse)
{
    using TState = TRecordedCopy::TState;
    const std::vector<TRecordedCopy> copies = {
        {TState::Current, "mv07120701.amc", "映画.amc", 1234, {1700000000, 123456789}},
        {TState::Stale, "a\tb\nc\\d\x01\x7F.amc", "x\\x41.amc", 0, {0, 0}},
        {TState::StaleTold, "clip.amc", "Clip.AMC", 5, {7, 8}},
    };
    const std::optional<std::vector<TRecordedCopy>> read = ParseCopyRecord(FormatCopyRecord(copies));
    ASSERT_TRUE(read);
    ASSERT_EQ(read->size(), copies.size());
    for (size_t i = 0; i < copies.size(); ++i) {
        EXPECT_EQ((*read)[i].State, copies[i].State) << i;
        EXPECT_EQ((*read)[i].Copy, copies[i].Copy) << i;
        EXPECT_EQ((*read)[i].Movie, copies[i].Movie) << i;
        EXPECT_EQ((*read)[i].Size, copies[i].Size) << i;
        EXPECT_EQ((*read)[i].Modified.tv_nsec, copies[i].Modified.tv_nsec) << i;
    }
    const std::string good = FormatCopyRecord({copies[0]});
    for (const std::string &garbled : {std::string(), std::string("kinopage-copies 2\n"), good.substr(0, good.size() - 1),
                                       good + "C\ta.amc\tb.amc\t1\n", good + "X\ta.amc\tb.amc\t1\t2.3\n",
                                       good + "C\ta\\q.amc\tb.amc\t1\t2.3\n", good + "C\t\tb.amc\t1\t2.3\n"})
        EXPECT_FALSE(ParseCopyRecord(garbled)) << garbled;
}
