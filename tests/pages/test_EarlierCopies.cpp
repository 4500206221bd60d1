#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <utility>
#include <vector>

#include "pages/EarlierCopies.h"
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
    };
    for (const auto &c : cases)
        EXPECT_EQ(Published(c.files, c.movieFolderIsSource), c.expected) << c.what;
}
